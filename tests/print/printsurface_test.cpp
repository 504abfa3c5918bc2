// The painting surface: twips with y upward on a real device, the font the printouts ask for,
// and the PDF writer that leaves nothing behind when it fails.
#include "print/printblocks.h"
#include "print/printrun.h"
#include "print/printsurface.h"
#include "testutil.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

// A device of 1440 dots per inch: one twip is one pixel.
QImage TwipImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(56693);
    image.setDotsPerMeterY(56693);
    return image;
}

// The rows of the image that hold a dark pixel: first and last.
std::pair<int, int> InkRows(const QImage& image) {
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                if (first < 0) first = y;
                last = y;
                break;
            }
    return {first, last};
}

TEST(PrintSurface, TimesNewRomanIsAnsweredByLiberationSerif) {
#ifdef Q_OS_LINUX
    EXPECT_EQ(ResolvedPrintFamily(), QStringLiteral("Liberation Serif"));
#endif
    const QFont heading = PrintoutFont(PrintFont::Heading, 1.0);
    EXPECT_EQ(heading.family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(heading.weight(), QFont::Bold);
    EXPECT_EQ(PrintoutFont(PrintFont::Text, 1.0).weight(), QFont::Normal);
}

TEST(PrintSurface, MeasuresInTwipsAndDrawsDownFromTheTopEdge) {
    QImage image = TwipImage(3000, 2000);
    QPainter painter(&image);
    CPainterSurface surface(image, &painter);
    const PageRect page = surface.Page();
    EXPECT_EQ(page.right, 3000);
    EXPECT_EQ(page.bottom, -2000);
    for (const auto& [font, cell] : {std::pair{PrintFont::Text, 240}, std::pair{PrintFont::Heading, 280}}) {
        surface.SelectFont(font);
        // The cell asked for, plus a little external leading.
        EXPECT_GE(surface.LineHeight(), cell - 5);
        EXPECT_LE(surface.LineHeight(), cell + 60);
        const int x = surface.TextWidth(QStringLiteral("X"));
        EXPECT_GT(x, 100);
        EXPECT_NEAR(surface.TextWidth(QStringLiteral("XXXX")), 4 * x, 4);
    }
    surface.SelectFont(PrintFont::Heading);
    surface.DrawText(100, -500, QStringLiteral("HIJ"));
    painter.end();
    const auto [first, last] = InkRows(image);
    // Capitals start a little below the cell's top edge and end above its bottom.
    EXPECT_GE(first, 500);
    EXPECT_LE(first, 500 + 120);
    EXPECT_LE(last, 500 + 280);
}

TEST(PrintSurface, MeasuringWithoutAPainterDrawsNothing) {
    QImage image = TwipImage(500, 500);
    CPainterSurface surface(image);
    surface.DrawText(10, -10, QStringLiteral("HIJ"));
    EXPECT_EQ(InkRows(image).first, -1);
}

TEST(PrintBlocks, CutToWidthStopsAtAnEmptyTextOrNoRoom) {
    CRecordingSurface s; // 100 twips a character
    struct Case {
        QString text;
        int width;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("abcdef"), 600, QStringLiteral("abcdef")},
        {QStringLiteral("abcdef"), 599, QStringLiteral("abcd")},
        {QStringLiteral("abcdefg"), 200, QStringLiteral("a")},
        {QStringLiteral("abcdef"), 99, QString()},
        {QStringLiteral("abcdef"), 0, QString()},
        {QStringLiteral("abcdef"), -500, QString()},
        {QString(), 100, QString()},
    };
    for (const Case& c : cases) EXPECT_EQ(printblocks::CutToWidth(s, c.text, c.width), c.expected) << c.width;
}

TEST(PrintBlocks, LongDateIsEnglishWithTwoDigitDay) {
    EXPECT_EQ(printblocks::LongDate(QDate(2026, 3, 5)), QStringLiteral("March 05, 2026"));
    EXPECT_EQ(printblocks::LongDate(QDate(2025, 12, 31)), QStringLiteral("December 31, 2025"));
}

// A printout of fixed texts, for the PDF writer.
class CTwoPages : public CPrintout {
public:
    explicit CTwoPages(int pages = 2) : m_pages(pages) {}
    int CountPages(CPrintSurface&, PageRect) override { return m_pages; }
    void PrintPage(CPrintSurface& surface, PageRect, int n) override {
        surface.SelectFont(PrintFont::Text);
        surface.DrawText(720, -720, QStringLiteral("Page number %1").arg(n));
    }

private:
    int m_pages;
};

TEST(PrintPdf, WritesEveryPageWithTheFontEmbedded) {
    TempFolder folder;
    const QString pdf = folder.path(QStringLiteral("two.pdf"));
    CTwoPages printout;
    QString failure;
    int pages = 0;
    ASSERT_TRUE(WritePrintoutPdf(printout, pdf, QStringLiteral("A4"), &failure, &pages)) << failure.toStdString();
    EXPECT_EQ(pages, 2);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(60000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QLatin1String("Page number 1")) && out.contains(QLatin1String("Page number 2"))) << out.toStdString();
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {pdf});
    ASSERT_TRUE(fonts.waitForFinished(60000));
    const QString list = QString::fromUtf8(fonts.readAllStandardOutput());
#ifdef Q_OS_LINUX
    EXPECT_TRUE(list.contains(QLatin1String("LiberationSerif"))) << list.toStdString();
#endif
    // Embedded: the "emb" column says yes for every font.
    for (const QString& line : list.split(QLatin1Char('\n')).mid(2))
        if (!line.trimmed().isEmpty()) {
            EXPECT_TRUE(line.contains(QLatin1String(" yes "))) << line.toStdString();
        }
}

TEST(PrintPdf, ProgressIsToldEveryPageAndCancelStopsThePrinting) {
    TempFolder folder;
    CTwoPages printout(6);
    struct Case {
        int from, to, cancelAt;
        PrintOutcome outcome;
        std::vector<std::pair<int, int>> told;
    };
    const Case cases[] = {
        {0, 0, 0, PrintOutcome::Done, {{1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6}}},
        {0, 0, 2, PrintOutcome::Cancelled, {{1, 6}, {2, 6}}},
        {2, 3, 0, PrintOutcome::Done, {{1, 2}, {2, 2}}},
        {5, 99, 0, PrintOutcome::Done, {{1, 2}, {2, 2}}},
    };
    for (const Case& c : cases) {
        QPdfWriter writer(folder.path(QStringLiteral("p.pdf")));
        std::vector<std::pair<int, int>> told;
        QString failure;
        const PrintOutcome outcome = PaintPrintout(printout, writer, c.from, c.to, [&](int done, int total) {
            told.emplace_back(done, total);
            return done != c.cancelAt;
        }, &failure);
        EXPECT_EQ(outcome, c.outcome) << c.from << "-" << c.to;
        EXPECT_EQ(told, c.told) << c.from << "-" << c.to;
    }
}

TEST(PrintPdf, AFailedWriteLeavesNoFile) {
    TempFolder folder;
    CTwoPages printout;
    for (const QString& path : {folder.path(QStringLiteral("missing/out.pdf")), QStringLiteral("/proc/qv-out.pdf")}) {
        QString failure;
        EXPECT_FALSE(WritePrintoutPdf(printout, path, QStringLiteral("Letter"), &failure)) << path.toStdString();
        EXPECT_FALSE(failure.isEmpty());
        EXPECT_FALSE(QFile::exists(path));
    }
}

} // namespace
