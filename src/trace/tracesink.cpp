#include "tracesink.h"

namespace {
CTraceSink* g_sink = nullptr;
}

void SetTraceSink(CTraceSink* sink) { g_sink = sink; }
CTraceSink* GetTraceSink() { return g_sink; }

void CTraceSink::SetThresholdText(const QString& text) {
    bool ok = false;
    const uint v = text.trimmed().toUInt(&ok);
    m_threshold = ok ? v : 0;
}

void CTraceSink::AddTraceLine(unsigned level, const QString& text) {
    if (!m_tracing) return;
    if (level <= m_threshold) return;
    if (!m_lines.empty() && m_lines.back() == text) return;
    m_lines.push_back(text);
    if (int(m_lines.size()) >= kMaxLines) m_lines.pop_front();
    const int count = int(m_lines.size());
    m_topLine = count > kVisibleLines ? count - kVisibleLines : 0;
    if (m_onChanged) m_onChanged();
}

void CTraceSink::Erase() {
    m_lines.clear();
    m_topLine = 0;
    if (m_onChanged) m_onChanged();
}
