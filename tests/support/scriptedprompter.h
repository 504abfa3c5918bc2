#pragma once

#include "ui/prompter.h"

#include <QStringList>
#include <deque>
#include <functional>

// Answers the program's questions from a script and records everything it was asked.
// A message that was not expected is answered with the default and recorded, so a test can
// assert on m_shown afterwards.
class CScriptedPrompter : public CPrompter {
public:
    struct Expected {
        QString text;
        Answer answer = Answer::Ok;
    };

    Answer MessageBox(const QString& text, Buttons buttons, Icon icon, Answer defaultAnswer) override;
    QString GetOpenFileName(const FileRequest& request) override;
    QString GetSaveFileName(const FileRequest& request) override;
    bool ChooseColor(unsigned& rgb) override;
    int ExecDialog(QDialog& dialog) override;

    // Queue the answer to the next message box; its text must match exactly.
    void Expect(const QString& text, Answer answer = Answer::Ok) { m_expected.push_back({text, answer}); }
    // Queue the next file chooser's answer (empty = cancel).
    void ExpectFile(const QString& path) { m_files.push_back(path); }
    // Queue what the next modal dialog does: fill it and return its result code.
    void ExpectDialog(std::function<int(QDialog&)> handler) { m_dialogs.push_back(std::move(handler)); }
    void ExpectColor(unsigned rgb) { m_colors.push_back(rgb); }

    bool AllAnswered() const { return m_expected.empty() && m_files.empty() && m_dialogs.empty(); }

    QStringList m_shown;            // every message box text, in order
    QStringList m_unexpected;       // texts that did not match the script
    std::vector<Buttons> m_buttons; // the buttons of each message box
    std::vector<Answer> m_defaults; // the default button of each
    std::vector<FileRequest> m_fileRequests;

private:
    std::deque<Expected> m_expected;
    std::deque<QString> m_files;
    std::deque<std::function<int(QDialog&)>> m_dialogs;
    std::deque<unsigned> m_colors;
};
