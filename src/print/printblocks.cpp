#include "print/printblocks.h"

#include <QLocale>
#include <algorithm>

namespace printblocks {

QString LongDate(const QDate& date) {
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(date, QStringLiteral("MMMM dd, yyyy"));
}

int PageHeader(const Frame& f, int y, const QString& title, const QDate& today) {
    f.surface.SelectFont(PrintFont::Heading);
    y -= f.surface.LineHeight() + kMargin;
    f.Draw(f.Left(), y, title);
    f.DrawRight(f.Right(), y, LongDate(today));
    return y;
}

int StoreBlock(const Frame& f, int y, const CStoreRecord& store) {
    const int centre = (f.page.right - 720) / 2;
    f.surface.SelectFont(PrintFont::Heading);
    if (store.StoreName.size() < 2) {
        y -= kMargin;
    } else {
        y -= f.surface.LineHeight() + kMargin;
        f.DrawCentred(centre, y, store.StoreName);
    }
    f.surface.SelectFont(PrintFont::Text);
    const int h = f.surface.LineHeight();
    for (const QString* line : {&store.Address1, &store.Address2})
        if (line->size() > 2) {
            y -= h;
            f.DrawCentred(centre, y, *line);
        }
    const QString city = store.City + QStringLiteral(", ") + store.State + QLatin1Char(' ') + store.Zip;
    if (city.size() > 10) {
        y -= h;
        f.DrawCentred(centre, y, city);
    }
    QString phones;
    if (store.Phone.size() > 2) phones = QStringLiteral("Ph: ") + store.Phone;
    if (store.Phone2.size() > 2) phones += QStringLiteral("  Ph: ") + store.Phone2;
    if (store.Fax.size() > 2) phones += QStringLiteral("  Fax: ") + store.Fax;
    if (phones.size() > 5) {
        y -= h;
        f.DrawCentred(centre, y, phones);
    }
    return y - h;
}

int AfterCode(const CPrintSurface& surface, int codeX, const QString& code, int descriptionX) {
    return std::max(descriptionX, codeX + surface.TextWidth(code) + surface.TextWidth(QStringLiteral(" ")));
}

QString CutToWidth(const CPrintSurface& surface, QString text, int width) {
    if (width <= 0) return {};
    while (!text.isEmpty() && surface.TextWidth(text) > width) text.chop(2);
    return text;
}

int PageRows(const Frame& f, PageStarts& starts, int n, int rows, int y, int h,
             const std::function<void(int row, int y)>& draw) {
    const int first = starts.At(n - 1);
    for (int r = first; r < rows; ++r) {
        y -= h;
        // A fresh page takes at least one line, so no page count runs away on a tiny page.
        const bool noRoom = y - h < f.Lowest() && !(n > 1 && r == first);
        if (f.counting) {
            starts.Set(n, rows);
            if (noRoom) {
                starts.Set(n, r);
                return 0;
            }
            continue;
        }
        if (noRoom || r >= starts.At(n)) break;
        draw(r, y);
    }
    return y - h;
}

} // namespace printblocks
