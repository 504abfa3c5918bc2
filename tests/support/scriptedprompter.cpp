#include "scriptedprompter.h"

CPrompter::Answer CScriptedPrompter::MessageBox(const QString& text, Buttons buttons, Icon,
                                                Answer defaultAnswer) {
    m_shown << text;
    m_buttons.push_back(buttons);
    m_defaults.push_back(defaultAnswer);
    if (!m_expected.empty() && m_expected.front().text == text) {
        const Answer a = m_expected.front().answer;
        m_expected.pop_front();
        return a;
    }
    m_unexpected << text;
    return defaultAnswer;
}

QString CScriptedPrompter::GetOpenFileName(const FileRequest& request) {
    m_fileRequests.push_back(request);
    if (m_files.empty()) return {};
    const QString f = m_files.front();
    m_files.pop_front();
    return f;
}

QString CScriptedPrompter::GetSaveFileName(const FileRequest& request) {
    return GetOpenFileName(request);
}

bool CScriptedPrompter::ChooseColor(unsigned& rgb) {
    if (m_colors.empty()) return false;
    rgb = m_colors.front();
    m_colors.pop_front();
    return true;
}

int CScriptedPrompter::ExecDialog(QDialog& dialog) {
    if (m_dialogs.empty()) return 0;
    auto handler = std::move(m_dialogs.front());
    m_dialogs.pop_front();
    return handler(dialog);
}
