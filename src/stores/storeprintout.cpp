#include "stores/storeprintout.h"

#include "db/recordset.h"
#include "stores/storelistctrl.h"
#include "stores/storetabctrl.h"

#include <QHash>
#include <algorithm>

using printblocks::Frame;
// A column's x and its heading.
using Column = std::pair<int, const char*>;

StorePrintData ReadStorePrintData(CStoreTabCtrl& stores) {
    StorePrintData data;
    CStoreListCtrl* list = stores.CurrentStoreList();
    if (!list) return data;
    if (stores.ActivateRecordInRecordset(list->GetStoreID()))
        CStoreTabCtrl::XferRecordsetToDlg(*stores.GetPtrRecordset(), data.store);
    db::Recordset* rs = list->GetPtrRecordset();
    if (!list->CanProceed() || !rs || list->GetItemCount() == 0) return data;
    // One pass over the record set, then the rows in the window's order.
    QHash<int, CStoreItemRecord> byID;
    byID.reserve(int(rs->recordCount()));
    for (rs->moveFirst(); !rs->isEOF(); rs->moveNext()) {
        CStoreItemRecord item;
        CStoreListCtrl::XferRecordsetToDlg(*rs, item);
        byID.insert(item.ID, item);
    }
    data.items.reserve(size_t(list->GetItemCount()));
    for (int row = 0; row < list->GetItemCount(); ++row) {
        const auto found = byID.constFind(list->GetItemID(row));
        if (found != byID.constEnd()) data.items.push_back(*found);
    }
    const int current = list->GetCurrentID();
    if (current >= 0) list->ActivateRecordInRecordset(current);
    return data;
}

int CStorePrintout::FirstPageBlocks(const Frame& f, int n) {
    if (n != 1) return 0;
    const int y = printblocks::PageHeader(f, 0, QStringLiteral("S T O R E    I T E M S"), m_data.today);
    return printblocks::StoreBlock(f, y, m_data.store);
}

int CStorePrintout::ItemLines(const Frame& f, int y, int n) {
    const int rows = int(m_data.items.size());
    if (rows == 0) return y;
    y = std::min(y, -printblocks::kMargin);
    m_starts.SetRows(rows);
    CPrintSurface& s = f.surface;
    s.SelectFont(PrintFont::Heading);
    const int L = f.Left(), R = f.Right();
    const int X = s.TextWidth(QStringLiteral("X"));
    const int w = s.TextWidth(QStringLiteral("XXXX"));
    const int money = s.TextWidth(QStringLiteral("00000.00"));
    const int percent = s.TextWidth(QStringLiteral("00%"));
    const int code = L + w, desc = L + 2 * w;
    const bool wide = f.Wide();
    int weight = 0, markup, markupPct = 0, disc, discPct = 0, base;
    if (wide) {
        weight = R - s.TextWidth(QStringLiteral("000.0 lb"));
        markup = weight - money;
        markupPct = markup - percent;
        disc = markupPct - money;
        discPct = disc - percent;
        base = discPct - money;
    } else {
        markup = R - money;
        disc = R - 2 * money;
        base = R - 3 * money;
    }
    const int headingLine = s.LineHeight();
    y -= headingLine;
    if (wide) {
        for (const auto& [x, text] : std::initializer_list<Column>{{L, "Item"}, {code, "Item"}, {base, "Base"}, {discPct, "Discount"},
                                      {markupPct, "Markup"}, {weight, "Ship"}})
            f.Draw(x, y, QLatin1String(text));
        y -= headingLine;
        for (const auto& [x, text] :
             std::initializer_list<Column>{{L, "   #"}, {code, "Code"}, {desc, "Item Description"}, {base, "Price"}, {discPct, "%"},
              {disc, "Price"}, {markupPct, "%"}, {markup, "Price"}, {weight, "Weight"}})
            f.Draw(x, y, QLatin1String(text));
    } else {
        for (const auto& [x, text] : std::initializer_list<Column>{{L, "Item"}, {code, "Code"}, {desc, "Description"}, {base, "Base"},
                                      {disc, "Disc"}, {markup, "MrkUp"}})
            f.Draw(x, y, QLatin1String(text));
    }
    s.SelectFont(PrintFont::Text);
    const int h = s.LineHeight();
    y -= h / 2;
    return printblocks::PageRows(f, m_starts, n, rows, y, h, [&](int r, int y) {
        const CStoreItemRecord& item = m_data.items[size_t(r)];
        f.DrawRight(code - X, y, QStringLiteral("%1.").arg(r + 1));
        f.Draw(code, y, item.ItemCode);
        const int at = printblocks::AfterCode(s, code, item.ItemCode, desc);
        f.Draw(at, y, printblocks::CutToWidth(s, item.Description, base - at));
        f.Draw(base, y, QStringLiteral("$"));
        f.Draw(disc, y, QStringLiteral("$"));
        f.Draw(markup, y, QStringLiteral("$"));
        if (wide) {
            f.DrawRight(discPct - X, y, QString::asprintf("%7.2f", item.BaseLinePrice));
            f.Draw(discPct, y, QString::asprintf("%2.0f%%", item.DiscountPercent * 100));
            f.DrawRight(markupPct - X, y, QString::asprintf("%7.2f", item.DiscountPrice));
            f.Draw(markupPct, y, QString::asprintf("%2.0f%%", item.MarkupPercent * 100));
            f.DrawRight(weight - X, y, QString::asprintf("%7.2f", item.MarkupPrice));
            f.DrawRight(R, y, QString::asprintf("%5.1f lb", item.ShipPounds));
        } else {
            f.DrawRight(disc - X, y, QString::asprintf("%7.2f", item.BaseLinePrice));
            f.DrawRight(markup - X, y, QString::asprintf("%7.2f", item.DiscountPrice));
            f.DrawRight(R, y, QString::asprintf("%7.2f", item.MarkupPrice));
        }
    });
}

int CStorePrintout::CountPages(CPrintSurface& surface, PageRect page) {
    const Frame f{surface, page, true};
    m_starts.Reset();
    m_starts.SetRows(int(m_data.items.size()));
    const int y = FirstPageBlocks(f, 1);
    int p = 1;
    while (ItemLines(f, p == 1 ? y : 0, p) == 0) ++p;
    return p;
}

void CStorePrintout::PrintPage(CPrintSurface& surface, PageRect page, int n) {
    const Frame f{surface, page, false};
    ItemLines(f, FirstPageBlocks(f, n), n);
}
