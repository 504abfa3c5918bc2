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

// Times New Roman (answered by Liberation Serif), bold for headings; a surface without a painter
// measures but draws nothing.
TEST(PrintSurface, MeasuresInTwipsAndDrawsDownFromTheTopEdge) {
#ifdef Q_OS_LINUX
    EXPECT_EQ(ResolvedPrintFamily(), QStringLiteral("Liberation Serif"));
#endif
    const QFont heading = PrintoutFont(PrintFont::Heading, 1.0);
    EXPECT_EQ(std::pair(heading.family(), heading.weight()), std::pair(QStringLiteral("Times New Roman"), QFont::Bold));
    EXPECT_EQ(PrintoutFont(PrintFont::Text, 1.0).weight(), QFont::Normal);
    QImage image = TwipImage(3000, 2000);
    QPainter painter(&image);
    CPainterSurface surface(image, &painter);
    EXPECT_EQ(std::pair(surface.Page().right, surface.Page().bottom), std::pair(3000, -2000));
    for (const auto& [font, cell] : {std::pair{PrintFont::Text, 240}, std::pair{PrintFont::Heading, 280}}) {
        surface.SelectFont(font);
        EXPECT_GE(surface.LineHeight(), cell - 5);
        EXPECT_LE(surface.LineHeight(), cell + 60) << "the cell plus a little external leading";
        const int x = surface.TextWidth(QStringLiteral("X"));
        EXPECT_GT(x, 100);
        EXPECT_NEAR(surface.TextWidth(QStringLiteral("XXXX")), 4 * x, 4);
    }
    surface.SelectFont(PrintFont::Heading);
    surface.DrawText(100, -500, QStringLiteral("HIJ"));
    painter.end();
    const auto [first, last] = InkRows(image);
    EXPECT_GE(first, 500);
    EXPECT_LE(first, 500 + 120);
    EXPECT_LE(last, 500 + 280);

    QImage blank = TwipImage(500, 500);
    CPainterSurface measuring(blank);
    measuring.DrawText(10, -10, QStringLiteral("HIJ"));
    EXPECT_EQ(InkRows(blank).first, -1);
}

// The cut ends at an empty text or when no width is left.
TEST(PrintBlocks, CutToWidthStopsAtAnEmptyTextOrNoRoom) {
    CRecordingSurface s; // 100 twips a character
    const std::tuple<QString, int, QString> cases[] = {
        {QStringLiteral("abcdef"), 600, QStringLiteral("abcdef")}, {QStringLiteral("abcdef"), 599, QStringLiteral("abcd")},
        {QStringLiteral("abcdefg"), 200, QStringLiteral("a")},     {QStringLiteral("abcdef"), 99, QString()},
        {QStringLiteral("abcdef"), 0, QString()},                  {QStringLiteral("abcdef"), -500, QString()},
        {QString(), 100, QString()},
    };
    for (const auto& [text, width, expected] : cases) EXPECT_EQ(printblocks::CutToWidth(s, text, width), expected) << width;
    EXPECT_EQ(printblocks::LongDate(QDate(2026, 3, 5)), QStringLiteral("March 05, 2026"));
    EXPECT_EQ(printblocks::LongDate(QDate(2025, 12, 31)), QStringLiteral("December 31, 2025"));
}

QString Output(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// A printout of fixed texts, for the PDF writer.
struct CPages : CPrintout {
    explicit CPages(int pages) : m_pages(pages) {}
    int CountPages(CPrintSurface&, PageRect) override { return m_pages; }
    void PrintPage(CPrintSurface& surface, PageRect, int n) override {
        surface.SelectFont(PrintFont::Text);
        surface.DrawText(720, -720, QStringLiteral("Page number %1").arg(n));
    }
    int m_pages;
};

// Every page with the font embedded; a failed write leaves no file and says why.
TEST(PrintPdf, WritesEveryPageWithTheFontEmbeddedOrNoFileAtAll) {
    TempFolder folder;
    CPages printout(2);
    for (const QString& pdf : {folder.path(QStringLiteral("two.pdf")), folder.path(QStringLiteral("missing/out.pdf")),
                               QStringLiteral("/proc/qv-out.pdf")}) {
        const bool good = pdf.endsWith(QLatin1String("two.pdf"));
        QString failure;
        int pages = 0;
        EXPECT_EQ(WritePrintoutPdf(printout, pdf, QStringLiteral("A4"), &failure, &pages), good) << pdf.toStdString();
        EXPECT_EQ(failure.isEmpty(), good) << failure.toStdString();
        EXPECT_EQ(QFile::exists(pdf), good) << pdf.toStdString();
        if (!good) continue;
        EXPECT_EQ(pages, 2);
        const QString out = Output(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        EXPECT_TRUE(out.contains(QLatin1String("Page number 1")) && out.contains(QLatin1String("Page number 2"))) << out.toStdString();
        const QString list = Output(QStringLiteral("pdffonts"), {pdf});
#ifdef Q_OS_LINUX
        EXPECT_TRUE(list.contains(QLatin1String("LiberationSerif"))) << list.toStdString();
#endif
        for (const QString& line : list.split(QLatin1Char('\n')).mid(2)) // the "emb" column
            EXPECT_TRUE(line.trimmed().isEmpty() || line.contains(QLatin1String(" yes "))) << line.toStdString();
    }
}

TEST(PrintPdf, ProgressIsToldEveryPageAndCancelStopsThePrinting) {
    TempFolder folder;
    CPages printout(6);
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

} // namespace
