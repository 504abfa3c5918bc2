#pragma once

#include <QFont>
#include <QString>
#include <memory>
#include <vector>

class QPainter;
class QPaintDevice;

// The two fonts of the printouts.
enum class PrintFont { Heading, Text };

// What the printouts draw on: twips (1440 per inch) with y growing upward, so moving down the
// page subtracts from y. A text drawn at y has its top edge at y.
class CPrintSurface {
public:
    virtual ~CPrintSurface() = default;
    virtual void SelectFont(PrintFont font) = 0;
    // Height plus external leading of the selected font.
    virtual int LineHeight() const = 0;
    virtual int TextWidth(const QString& text) const = 0;
    virtual void DrawText(int x, int y, const QString& text) = 0;
};

// The page a printout is laid out on: left 0, top 0, right = width, bottom = minus height.
struct PageRect {
    int right = 0;
    int bottom = 0;
};

// "Times New Roman" at a cell height in twips, bold for headings; on Linux the metric twin
// Liberation Serif is what answers it.
QFont PrintoutFont(PrintFont font, double pixelsPerTwip);
// The family the font system gives for "Times New Roman".
QString ResolvedPrintFamily();

// Measures with a device's own metrics (a printer, a PDF writer, a preview page) and paints on
// a QPainter of that device; without a painter it only measures (counting pages).
class CPainterSurface : public CPrintSurface {
public:
    explicit CPainterSurface(QPaintDevice& device, QPainter* painter = nullptr);
    ~CPainterSurface() override;
    void SelectFont(PrintFont font) override;
    int LineHeight() const override;
    int TextWidth(const QString& text) const override;
    void DrawText(int x, int y, const QString& text) override;
    // The device's printable page in twips.
    PageRect Page() const;

private:
    struct Metrics;
    QPaintDevice& m_device;
    QPainter* m_painter;
    double m_scaleX;
    double m_scaleY;
    std::unique_ptr<Metrics> m_metrics[2];
    Metrics* m_current = nullptr;
};

// Records every text with its position and font; measures with fixed widths so that a test can
// work positions out by hand: every character is charWidth wide (heading: headingCharWidth).
class CRecordingSurface : public CPrintSurface {
public:
    struct Drawn {
        int x, y;
        QString text;
        PrintFont font;
    };
    static constexpr int kTextCharWidth = 100;
    static constexpr int kHeadingCharWidth = 120;
    static constexpr int kTextLine = 270;
    static constexpr int kHeadingLine = 320;

    void SelectFont(PrintFont font) override { m_font = font; }
    int LineHeight() const override { return m_font == PrintFont::Heading ? kHeadingLine : kTextLine; }
    int TextWidth(const QString& text) const override {
        return int(text.size()) * (m_font == PrintFont::Heading ? kHeadingCharWidth : kTextCharWidth);
    }
    void DrawText(int x, int y, const QString& text) override { m_drawn.push_back({x, y, text, m_font}); }
    // Starts a new page's record.
    void NewPage() { m_drawn.clear(); }
    // The first drawn text equal to text, or null.
    const Drawn* Find(const QString& text) const;
    // The first drawn text that starts with prefix, or null.
    const Drawn* FindStarting(const QString& prefix) const;

    std::vector<Drawn> m_drawn;

private:
    PrintFont m_font = PrintFont::Text;
};
