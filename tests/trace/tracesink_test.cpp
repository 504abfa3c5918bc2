#include "trace/tracesink.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

QStringList linesOf(const CTraceSink& sink) {
    QStringList out;
    for (const QString& line : sink.Lines())
        out << line;
    return out;
}

CTraceSink tracingSink(const QString& threshold = QStringLiteral("0")) {
    CTraceSink sink;
    sink.SetTracing(true);
    sink.SetThresholdText(threshold);
    return sink;
}

void addAllLevels(CTraceSink& sink) {
    for (unsigned level : {1u, 2u, 10u, 20u})
        sink.AddTraceLine(level, QStringLiteral("level %1").arg(level));
}

} // namespace

TEST(TraceSink, CollectsNothingWhileTracingIsOff) {
    CTraceSink sink;
    int changes = 0;
    sink.m_onChanged = [&] { ++changes; };
    addAllLevels(sink);
    EXPECT_TRUE(sink.Lines().empty());
    EXPECT_EQ(changes, 0);

    sink.SetTracing(true);
    sink.AddTraceLine(20, QStringLiteral("now"));
    EXPECT_EQ(linesOf(sink), QStringList{QStringLiteral("now")});
    EXPECT_EQ(changes, 1);

    sink.SetTracing(false);
    sink.AddTraceLine(20, QStringLiteral("after"));
    EXPECT_EQ(linesOf(sink), QStringList{QStringLiteral("now")});
    EXPECT_EQ(changes, 1);
}

TEST(TraceSink, ThresholdHidesLevelsUpToItself) {
    {
        CTraceSink sink = tracingSink(QStringLiteral("0"));
        addAllLevels(sink);
        EXPECT_EQ(linesOf(sink), (QStringList{"level 1", "level 2", "level 10", "level 20"}));
    }
    {
        CTraceSink sink = tracingSink(QStringLiteral("1"));
        addAllLevels(sink);
        EXPECT_EQ(linesOf(sink), (QStringList{"level 2", "level 10", "level 20"}));
    }
    {
        CTraceSink sink = tracingSink(QStringLiteral("10"));
        addAllLevels(sink);
        EXPECT_EQ(linesOf(sink), (QStringList{"level 20"}));
    }
    {
        CTraceSink sink = tracingSink(QStringLiteral("20"));
        addAllLevels(sink);
        EXPECT_TRUE(sink.Lines().empty());
    }
}

TEST(TraceSink, NonNumericThresholdCountsAsZero) {
    for (const QString& text : {QStringLiteral("abc"), QString(), QStringLiteral("  "),
                                QStringLiteral("-3"), QStringLiteral("x5")}) {
        CTraceSink sink;
        sink.SetThresholdText(QStringLiteral("15")); // a previous value must not survive
        sink.SetThresholdText(text);
        EXPECT_EQ(sink.Threshold(), 0u) << text.toStdString();
        sink.SetTracing(true);
        sink.AddTraceLine(1, QStringLiteral("shown"));
        EXPECT_EQ(sink.Lines().size(), 1u) << text.toStdString();
    }
    CTraceSink sink;
    sink.SetThresholdText(QStringLiteral(" 7 "));
    EXPECT_EQ(sink.Threshold(), 7u);
}

TEST(TraceSink, RepeatedLineIsKeptOnceOnlyWhenConsecutive) {
    CTraceSink sink = tracingSink();
    sink.AddTraceLine(20, QStringLiteral("same"));
    sink.AddTraceLine(10, QStringLiteral("same"));
    EXPECT_EQ(linesOf(sink), QStringList{QStringLiteral("same")});

    CTraceSink other = tracingSink();
    other.AddTraceLine(20, QStringLiteral("same"));
    other.AddTraceLine(20, QStringLiteral("between"));
    other.AddTraceLine(20, QStringLiteral("same"));
    EXPECT_EQ(linesOf(other), (QStringList{"same", "between", "same"}));
}

TEST(TraceSink, KeepsOnlyTheNewestLinesAndFollowsTheEnd) {
    CTraceSink sink = tracingSink();
    const int reports = 6000;
    int changes = 0;
    sink.m_onChanged = [&] { ++changes; };

    for (int i = 0; i < reports; ++i) {
        sink.AddTraceLine(20, QStringLiteral("report %1").arg(i));
        const int count = int(sink.Lines().size());
        const int expectedTop =
            count > CTraceSink::kVisibleLines ? count - CTraceSink::kVisibleLines : 0;
        ASSERT_EQ(sink.TopLine(), expectedTop) << "after report " << i;
    }
    EXPECT_EQ(changes, reports);

    const int kept = CTraceSink::kMaxLines - 1;
    ASSERT_EQ(int(sink.Lines().size()), kept);
    EXPECT_EQ(sink.Lines().front(), QStringLiteral("report %1").arg(reports - kept));
    EXPECT_EQ(sink.Lines().back(), QStringLiteral("report %1").arg(reports - 1));
    EXPECT_EQ(sink.TopLine(), kept - CTraceSink::kVisibleLines);
}

TEST(TraceSink, TopLineStaysZeroWhileEverythingFits) {
    CTraceSink sink = tracingSink();
    for (int i = 0; i < CTraceSink::kVisibleLines; ++i) {
        sink.AddTraceLine(20, QString::number(i));
        EXPECT_EQ(sink.TopLine(), 0);
    }
    sink.AddTraceLine(20, QStringLiteral("one more"));
    EXPECT_EQ(sink.TopLine(), 1);
}

TEST(TraceSink, EraseEmptiesAndStartsOver) {
    CTraceSink sink = tracingSink();
    for (int i = 0; i < 40; ++i)
        sink.AddTraceLine(20, QString::number(i));
    ASSERT_GT(sink.TopLine(), 0);
    int changes = 0;
    sink.m_onChanged = [&] { ++changes; };

    sink.Erase();
    EXPECT_TRUE(sink.Lines().empty());
    EXPECT_EQ(sink.TopLine(), 0);
    EXPECT_EQ(changes, 1);

    // The last line before the erase is no longer there to be repeated.
    sink.AddTraceLine(20, QStringLiteral("39"));
    EXPECT_EQ(linesOf(sink), QStringList{QStringLiteral("39")});
}

TEST(TraceSink, GlobalTraceReachesOnlyAnInstalledTracingSink) {
    SetTraceSink(nullptr);
    EXPECT_FALSE(IsTraceActive());
    Trace(20, QStringLiteral("nowhere")); // no sink: must simply do nothing
    TraceF(20, "nowhere %d", 1);

    CTraceSink sink;
    SetTraceSink(&sink);
    TraceF(20, "while off %d", 1);
    EXPECT_TRUE(sink.Lines().empty());

    sink.SetTracing(true);
    EXPECT_TRUE(IsTraceActive());
    TraceF(20, "Count = %ld  Name %s", 12L, "Customer");
    Trace(20, QStringLiteral("plain"));
    EXPECT_EQ(linesOf(sink), (QStringList{"Count = 12  Name Customer", "plain"}));
    SetTraceSink(nullptr);
}
