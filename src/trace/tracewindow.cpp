#include "tracewindow.h"

#include "trace/tracesink.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>
#include <QSpinBox>
#include <algorithm>

CTraceWindow::CTraceWindow(CTraceSink& sink, QWidget* parent)
    : QDialog(parent), m_sink(sink), m_list(new QListWidget(this)), m_levelLabel(new QLabel(QStringLiteral("Level:"), this)),
      m_level(new QSpinBox(this)), m_erase(new QPushButton(QStringLiteral("Erase"), this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this)) {
    setWindowTitle(QStringLiteral("Watch Trace Dialog"));
    setObjectName(QStringLiteral("WatchTraceDialog"));
    setModal(false);
    m_list->setObjectName(QStringLiteral("listTrace"));
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_level->setObjectName(QStringLiteral("spinLevel"));
    m_level->setRange(0, 20);
    m_level->setValue(0);
    m_levelLabel->setBuddy(m_level);
    m_erase->setObjectName(QStringLiteral("buttonErase"));
    m_ok->setObjectName(QStringLiteral("IDOK"));
    for (QPushButton* b : {m_erase, m_ok}) b->setAutoDefault(false);

    connect(m_level, &QSpinBox::textChanged, this, [this](const QString& text) { m_sink.SetThresholdText(text); });
    connect(m_erase, &QPushButton::clicked, this, [this] { m_sink.Erase(); });
    connect(m_ok, &QPushButton::clicked, this, &QDialog::hide);

    m_sink.SetThresholdText(m_level->text());
    // A new window starts empty: the lines the sink holds belonged to the window it replaces.
    m_sink.Erase();
    m_sink.m_onChanged = [this] { OnLinesChanged(); };
    OnLinesChanged();
    resize(560, 340);
}

CTraceWindow::~CTraceWindow() { m_sink.m_onChanged = nullptr; }

namespace {
// Trace texts often end in a line break of their own; a row shows the text without it.
QString RowText(const QString& line) {
    qsizetype end = line.size();
    while (end > 0 && (line[end - 1] == QLatin1Char('\n') || line[end - 1] == QLatin1Char('\r'))) --end;
    return line.left(end);
}
} // namespace

void CTraceWindow::OnLinesChanged() {
    const std::deque<QString>& lines = m_sink.Lines();
    const int shown = m_list->count();
    const int now = int(lines.size());
    // Lines come one at a time: append the new one (dropping the oldest when the sink did)
    // instead of refilling thousands of rows.
    if (now > 0 && shown == now - 1) {
        m_list->addItem(RowText(lines.back()));
    } else if (now > 0 && shown == now && m_list->item(shown - 1)->text() != RowText(lines.back())) {
        delete m_list->takeItem(0);
        m_list->addItem(RowText(lines.back()));
    } else {
        m_list->clear();
        for (const QString& line : lines) m_list->addItem(RowText(line));
    }
    if (QListWidgetItem* top = m_list->item(m_sink.TopLine()))
        m_list->scrollToItem(top, QAbstractItemView::PositionAtTop);
}

void CTraceWindow::LayoutControls() {
    const int w = width();
    const int h = height();
    m_list->setGeometry(10, 10, std::max(w - 20, 0), std::max(h - 50, 0));
    const QSize erase = m_erase->sizeHint();
    m_erase->setGeometry(10, h - 30, erase.width(), erase.height());
    const QSize label = m_levelLabel->sizeHint();
    const int labelX = 10 + erase.width() + 20;
    m_levelLabel->setGeometry(labelX, h - 30, label.width(), erase.height());
    m_level->setGeometry(labelX + label.width() + 6, h - 30, 60, erase.height());
    const QSize ok = m_ok->sizeHint();
    m_ok->setGeometry(w - ok.width() - 10, h - 30, ok.width(), ok.height());
}

void CTraceWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayoutControls();
}
