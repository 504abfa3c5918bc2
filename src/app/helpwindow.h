#pragma once

#include <QDialog>

class QTextBrowser;

// The help topics, one page per context number, in a window that stays open beside the
// program.
class CHelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    void ShowTopic(int context);
    int Topic() const { return m_topic; }
    QTextBrowser* Browser() const { return m_browser; }

    // The folder of the topic pages: docs/help beside or above the program, if there is one.
    static QString HelpFolder();
    // A short name of the topic, for the window title and the built-in text.
    static QString TopicName(int context);

private:
    QTextBrowser* m_browser;
    int m_topic = 0;
};
