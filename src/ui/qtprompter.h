#pragma once

#include "ui/prompter.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

// The seam as the person sees it: Qt's message boxes, file choosers and colour chooser.
class CQtPrompter : public CPrompter {
public:
    explicit CQtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}

    // The window the boxes are centred on.
    void SetParentWidget(QWidget* parent) { m_parent = parent; }

    Answer MessageBox(const QString& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                      Answer defaultAnswer = Answer::Ok) override;
    QString GetOpenFileName(const FileRequest& request) override;
    QString GetSaveFileName(const FileRequest& request) override;
    bool ChooseColor(unsigned& rgb) override;
    int ExecDialog(QDialog& dialog) override;

    // "Name (*.ext)|*.ext|All Files (*.*)|*.*||" becomes "Name (*.ext);;All Files (*.*)".
    static QString QtFilter(const QString& filter);
    // Colours travel as 0x00BBGGRR: red in the low byte.
    static QColor ToQColor(unsigned bgr);
    static unsigned FromQColor(const QColor& color);

private:
    QString RunFileDialog(const FileRequest& request, bool save);

    QPointer<QWidget> m_parent;
};
