#include "prompter.h"

CPrompter::Answer CRecordingPrompter::MessageBox(const QString& text, Buttons buttons, Icon,
                                                 Answer) {
    m_messages << text;
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return Answer::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return Answer::No;
    }
    return Answer::Cancel;
}
