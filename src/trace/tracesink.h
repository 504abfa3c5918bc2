#pragma once

#include <QString>
#include <deque>
#include <functional>

// Collects the trace lines of the program's operations while the trace window is open.
class CTraceSink {
public:
    static constexpr int kMaxLines = 5000;
    static constexpr int kVisibleLines = 15;

    void AddTraceLine(unsigned level, const QString& text);

    // Tracing starts when the window opens and never stops while the frame lives.
    void SetTracing(bool on) { m_tracing = on; }
    bool IsTracing() const { return m_tracing; }

    // The threshold is the text of the window's "Level:" field; non-numeric text counts as 0.
    void SetThresholdText(const QString& text);
    unsigned Threshold() const { return m_threshold; }

    void Erase();
    const std::deque<QString>& Lines() const { return m_lines; }
    int TopLine() const { return m_topLine; }

    // Told after every change of the lines, so a window can follow them.
    std::function<void()> m_onChanged;

private:
    bool m_tracing = false;
    unsigned m_threshold = 0;
    std::deque<QString> m_lines;
    int m_topLine = 0;
};

// The sink of the main frame; none outside the program (tools, most tests).
void SetTraceSink(CTraceSink* sink);
CTraceSink* GetTraceSink();

inline bool IsTraceActive() {
    const CTraceSink* s = GetTraceSink();
    return s && s->IsTracing();
}

inline void Trace(unsigned level, const QString& text) {
    if (CTraceSink* s = GetTraceSink()) s->AddTraceLine(level, text);
}

// Builds the text only while someone watches.
template <typename... Args> void TraceF(unsigned level, const char* format, Args... args) {
    if (IsTraceActive()) Trace(level, QString::asprintf(format, args...));
}
