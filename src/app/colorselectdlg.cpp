#include "colorselectdlg.h"

#include "ui/prompter.h"
#include "ui/qtprompter.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The caption as the views will paint it.
class CCaptionSample : public QWidget {
public:
    CCaptionSample(const unsigned& frame, const unsigned& text, QWidget* parent)
        : QWidget(parent), m_frame(frame), m_text(text) {
        setMinimumSize(220, 40);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), CQtPrompter::ToQColor(m_frame));
        p.setPen(CQtPrompter::ToQColor(m_text));
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("Window Caption"));
    }

private:
    const unsigned& m_frame;
    const unsigned& m_text;
};

} // namespace

CColorSelectDlg::CColorSelectDlg(CPrompter& prompter, unsigned frameColor, unsigned textColor, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_frame(frameColor), m_text(textColor) {
    setWindowTitle(QStringLiteral("Color Selection Dialog - For List Control Windows"));
    setObjectName(QStringLiteral("ColorSelectDlg"));
    auto* frameButton = new QPushButton(QStringLiteral("Select Frame Color..."), this);
    frameButton->setObjectName(QStringLiteral("buttonFrameColor"));
    auto* textButton = new QPushButton(QStringLiteral("Select Text Color..."), this);
    textButton->setObjectName(QStringLiteral("buttonTextColor"));
    m_sample = new CCaptionSample(m_frame, m_text, this);
    m_sample->setObjectName(QStringLiteral("sampleCaption"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    for (QPushButton* b : {frameButton, textButton, ok, cancel}) b->setAutoDefault(false);

    auto* choose = new QVBoxLayout;
    choose->addWidget(frameButton);
    choose->addWidget(textButton);
    choose->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addLayout(choose);
    middle->addWidget(m_sample, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(middle);
    top->addLayout(buttons);

    connect(frameButton, &QPushButton::clicked, this, &CColorSelectDlg::OnSelectFrameColor);
    connect(textButton, &QPushButton::clicked, this, &CColorSelectDlg::OnSelectTextColor);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CColorSelectDlg::OnSelectFrameColor() {
    unsigned c = m_frame;
    if (m_prompter.ChooseColor(c)) m_frame = c;
    m_sample->update();
}

void CColorSelectDlg::OnSelectTextColor() {
    unsigned c = m_text;
    if (m_prompter.ChooseColor(c)) m_text = c;
    m_sample->update();
}
