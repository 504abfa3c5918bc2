#include "import/importprogressdlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

CImportProgressDlg::CImportProgressDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Progress Dialog"));
    setObjectName(QStringLiteral("ImportProgressDlg"));
    setModal(false);
    m_label = new QLabel(QStringLiteral("Progress:"), this);
    m_label->setObjectName(QStringLiteral("labelProgress"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("progressBar"));
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("labelHint"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(m_label);
    top->addWidget(m_bar);
    top->addWidget(m_hint);
}

CImportProgressDlg::~CImportProgressDlg() {
    if (m_filtering) qApp->removeEventFilter(this);
}

void CImportProgressDlg::Start(int total) {
    m_label->setText(QStringLiteral("Reading %1 Records...").arg(total));
    m_hint->setText(QStringLiteral("Press ESCAPE to stop."));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_escape = false;
    if (!m_filtering) qApp->installEventFilter(this);
    m_filtering = true;
    if (QWidget* owner = parentWidget()) {
        adjustSize();
        move(owner->geometry().center() - rect().center());
    }
    show();
    raise();
}

void CImportProgressDlg::Show(int percent) {
    m_bar->setValue(percent);
    emit percentShown(percent);
}

bool CImportProgressDlg::EscapePressed() {
    // The keys typed since the last row.
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
    const bool pressed = m_escape;
    m_escape = false;
    return pressed;
}

void CImportProgressDlg::Finish() {
    if (m_filtering) qApp->removeEventFilter(this);
    m_filtering = false;
    hide();
}

bool CImportProgressDlg::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) m_escape = true;
        return true;
    // No other input reaches the windows while the copy runs.
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel: return true;
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}
