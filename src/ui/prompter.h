#pragma once

#include <QString>
#include <QStringList>

class QDialog;

// The one door through which the program asks the person anything: message boxes, questions,
// file choosers, colours and modal dialogs. The program installs the Qt implementation; tests
// install a scripted one that checks each question and answers it.
class CPrompter {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    struct FileRequest {
        QString title;
        QString filter;     // "Name (*.ext)|*.ext|All Files (*.*)|*.*||"
        QString defaultExt; // without the dot
        QString initialPath;
        bool confirmOverwrite = false;
    };

    virtual ~CPrompter() = default;

    virtual Answer MessageBox(const QString& text, Buttons buttons = Buttons::Ok,
                              Icon icon = Icon::None, Answer defaultAnswer = Answer::Ok) = 0;
    // Empty when cancelled.
    virtual QString GetOpenFileName(const FileRequest& request) = 0;
    virtual QString GetSaveFileName(const FileRequest& request) = 0;
    // Colour as 0x00BBGGRR (red in the low byte); false when cancelled.
    virtual bool ChooseColor(unsigned& rgb) = 0;
    // Runs a modal dialog; returns its result code (QDialog::Accepted or Rejected).
    virtual int ExecDialog(QDialog& dialog) = 0;

    // Shorthand for a Yes/No question with No as the default button.
    bool AskYesNo(const QString& text) {
        return MessageBox(text, Buttons::YesNo, Icon::Question, Answer::No) == Answer::Yes;
    }
};

// Answers nothing: records every message and cancels every question and chooser.
// Used where there is no person to ask (the command-line tool).
class CRecordingPrompter : public CPrompter {
public:
    Answer MessageBox(const QString& text, Buttons buttons, Icon, Answer) override;
    QString GetOpenFileName(const FileRequest&) override { return {}; }
    QString GetSaveFileName(const FileRequest&) override { return {}; }
    bool ChooseColor(unsigned&) override { return false; }
    int ExecDialog(QDialog&) override { return 0; }

    QStringList m_messages;
};
