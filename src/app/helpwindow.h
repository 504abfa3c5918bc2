#pragma once

#include <QDialog>
#include <QTextBrowser>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Shows the guide's pages; pictures wider than the page are shrunk to fit it.
class CGuideBrowser : public QTextBrowser {
    Q_OBJECT
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl& name) override;
};

// The built-in guide in a window that stays open beside the program: a page per topic, a
// Contents button and a search over every page.
class CHelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    // The page of a help context; the contents page when the guide has none for it.
    void ShowTopic(int context);
    // A page of the guide by its file name; the contents page when there is no such page.
    void ShowPage(const QString& file);
    void ShowContents();

    int Topic() const { return m_topic; }
    // The file name of the page on show, "customers.md".
    QString Page() const;
    QTextBrowser* Browser() const { return m_browser; }
    QLineEdit* SearchField() const { return m_search; }
    QListWidget* Results() const { return m_results; }
    QPushButton* ContentsButton() const { return m_contents; }

private:
    void OnSearchChanged(const QString& text);
    void OnResultChosen(QListWidgetItem* item);
    void OnSourceChanged(const QUrl& url);

    CGuideBrowser* m_browser;
    QPushButton* m_contents;
    QPushButton* m_back;
    QLineEdit* m_search;
    QListWidget* m_results;
    int m_topic = 0;
};
