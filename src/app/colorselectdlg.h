#pragma once

#include <QDialog>

class CPrompter;

// "Color Selection Dialog - For List Control Windows": the caption bar colours of the views,
// with a sample of the caption as it will look.
class CColorSelectDlg : public QDialog {
    Q_OBJECT
public:
    // Colours as 0x00BBGGRR.
    CColorSelectDlg(CPrompter& prompter, unsigned frameColor, unsigned textColor, QWidget* parent = nullptr);

    unsigned FrameColor() const { return m_frame; }
    unsigned TextColor() const { return m_text; }
    QWidget* Sample() const { return m_sample; }

    void OnSelectFrameColor();
    void OnSelectTextColor();

private:
    CPrompter& m_prompter;
    unsigned m_frame;
    unsigned m_text;
    QWidget* m_sample;
};
