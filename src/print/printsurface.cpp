#include "print/printsurface.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kHeadingTwips = 280;
constexpr int kTextTwips = 240;

QFont BaseFont(PrintFont kind) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif, QFont::PreferOutline);
    // The same advances on every device, so a counted page is the page printed.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setWeight(kind == PrintFont::Heading ? QFont::Bold : QFont::Normal);
    return font;
}

} // namespace

QFont PrintoutFont(PrintFont kind, double pixelsPerTwip) {
    QFont font = BaseFont(kind);
    const double cell = (kind == PrintFont::Heading ? kHeadingTwips : kTextTwips) * pixelsPerTwip;
    // The height asked for is the cell (ascent plus descent), not the em.
    font.setPixelSize(std::max(1, int(std::lround(cell))));
    const double measured = QFontMetricsF(font).ascent() + QFontMetricsF(font).descent();
    if (measured > 0) font.setPixelSize(std::max(1, int(std::lround(cell * cell / measured))));
    return font;
}

QString ResolvedPrintFamily() { return QFontInfo(BaseFont(PrintFont::Text)).family(); }

struct CPainterSurface::Metrics {
    QFont font;
    QFontMetricsF fm;
    Metrics(const QFont& f, QPaintDevice* device) : font(f), fm(f, device) {}
};

CPainterSurface::CPainterSurface(QPaintDevice& device, QPainter* painter)
    : m_device(device), m_painter(painter), m_scaleX(device.logicalDpiX() / 1440.0),
      m_scaleY(device.logicalDpiY() / 1440.0) {
    for (PrintFont kind : {PrintFont::Heading, PrintFont::Text})
        m_metrics[int(kind)] = std::make_unique<Metrics>(PrintoutFont(kind, m_scaleY), &device);
    SelectFont(PrintFont::Text);
}

CPainterSurface::~CPainterSurface() = default;

void CPainterSurface::SelectFont(PrintFont font) {
    m_current = m_metrics[int(font)].get();
    if (m_painter) m_painter->setFont(m_current->font);
}

int CPainterSurface::LineHeight() const {
    return int(std::lround(m_current->fm.lineSpacing() / m_scaleY));
}

int CPainterSurface::TextWidth(const QString& text) const {
    return int(std::lround(m_current->fm.horizontalAdvance(text) / m_scaleX));
}

void CPainterSurface::DrawText(int x, int y, const QString& text) {
    if (m_painter) m_painter->drawText(QPointF(x * m_scaleX, -y * m_scaleY + m_current->fm.ascent()), text);
}

PageRect CPainterSurface::Page() const {
    return {int(std::lround(m_device.width() / m_scaleX)), -int(std::lround(m_device.height() / m_scaleY))};
}

const CRecordingSurface::Drawn* CRecordingSurface::Find(const QString& text) const {
    for (const Drawn& d : m_drawn)
        if (d.text == text) return &d;
    return nullptr;
}

const CRecordingSurface::Drawn* CRecordingSurface::FindStarting(const QString& prefix) const {
    for (const Drawn& d : m_drawn)
        if (d.text.startsWith(prefix)) return &d;
    return nullptr;
}
