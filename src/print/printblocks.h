#pragma once

#include "print/printsurface.h"
#include "stores/storerecord.h"

#include <QDate>
#include <QString>
#include <functional>

// The pieces both printouts share. Every block takes the y reached so far and returns the new
// y; while counting it moves y exactly as when printing and draws nothing.
namespace printblocks {

constexpr int kMargin = 360;
// The widest layout starts at a page 7 inches wide.
constexpr int kWideFrom = 10080;

struct Frame {
    CPrintSurface& surface;
    PageRect page;
    bool counting;

    int Left() const { return kMargin; }
    int Right() const { return page.right - kMargin; }
    int Lowest() const { return page.bottom + kMargin; }
    bool Wide() const { return page.right >= kWideFrom; }
    void Draw(int x, int y, const QString& text) const {
        if (!counting) surface.DrawText(x, y, text);
    }
    void DrawRight(int x, int y, const QString& text) const {
        if (!counting) surface.DrawText(x - surface.TextWidth(text), y, text);
    }
    void DrawCentred(int x, int y, const QString& text) const {
        if (!counting) surface.DrawText(x - surface.TextWidth(text) / 2, y, text);
    }
};

// "%B %d, %Y" in English, whatever the system's language.
QString LongDate(const QDate& date);
// The title and today's date.
int PageHeader(const Frame& f, int y, const QString& title, const QDate& today);
// The store's name, address and telephone lines, centred.
int StoreBlock(const Frame& f, int y, const CStoreRecord& store);
// The text cut from its end two characters at a time until it is no wider than width; stops at
// an empty text, and gives an empty text for a width of 0 or less.
QString CutToWidth(const CPrintSurface& surface, QString text, int width);

// Where a line's description starts: at its column, or after an item code too wide for the
// code column, so the two never run into each other.
int AfterCode(const CPrintSurface& surface, int codeX, const QString& code, int descriptionX);

// The page start table of a printout: entry p is the first row of page p + 1. Grows as pages
// are counted, so a printout has as many pages as its rows need.
class PageStarts {
public:
    void Reset() { m_starts.assign(1, 0); }
    int At(int index) const { return index < int(m_starts.size()) ? m_starts[size_t(index)] : m_rows; }
    void Set(int index, int row) {
        if (index >= int(m_starts.size())) m_starts.resize(size_t(index) + 1, m_rows);
        m_starts[size_t(index)] = row;
    }
    void SetRows(int rows) { m_rows = rows; }

private:
    std::vector<int> m_starts{0};
    int m_rows = 0;
};

// Walks the rows of page n (from 1) down from y, one line of height h each. Counting, it records
// where the next page starts; printing, it calls draw with each row of the page and its y.
// Gives the y below the last line, or 0 when the rows go on onto the next page.
int PageRows(const Frame& f, PageStarts& starts, int n, int rows, int y, int h,
             const std::function<void(int row, int y)>& draw);

} // namespace printblocks
