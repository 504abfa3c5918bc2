#include "items/invoiceprintout.h"

#include "customers/customerlistctrl.h"
#include "db/recordset.h"
#include "invoices/invoicerules.h"
#include "invoices/invoiceslistctrl.h"
#include "stores/storelistctrl.h"
#include "stores/storetabctrl.h"

#include <QLocale>
#include <algorithm>

using printblocks::Frame;
// A column's x and its heading.
using Column = std::pair<int, const char*>;

namespace {

QString Fmt(const char* format, double value) { return QString::asprintf(format, value); }

// Engine dates count days from 1899-12-30; below 1 is not set.
QString CreatedText(double date) {
    if (!(date >= 1.0) || date > 2958465.0) return {};
    const QDate day = QDate(1899, 12, 30).addDays(qint64(date));
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(day, QStringLiteral("'Created: 'MMM dd, yyyy"));
}

} // namespace

InvoicePrintData ReadInvoicePrintData(CCustomerListCtrl& customers, CInvoicesListCtrl& invoices,
                                      CInvoiceItemsListCtrl& items, CStoreTabCtrl& stores) {
    InvoicePrintData data;
    if (const CStoreListCtrl* list = stores.CurrentStoreList(); list && stores.ActivateRecordInRecordset(list->GetStoreID()))
        CStoreTabCtrl::XferRecordsetToDlg(*stores.GetPtrRecordset(), data.store);
    const int customerID = customers.GetCurrentID();
    if (customerID >= 0 && customers.ActivateRecordInRecordset(customerID)) {
        CCustomerRecord record;
        CCustomerListCtrl::XferRecordsetToDlg(*customers.GetPtrRecordset(), record);
        data.customer = record;
    }
    const int invoiceID = invoices.GetCurrentID();
    if (invoiceID >= 0 && invoices.ActivateRecordInRecordset(invoiceID)) {
        CInvoiceRecord record;
        CInvoicesListCtrl::XferRecordsetToDlg(*invoices.GetPtrRecordset(), record);
        data.invoice = record;
    }
    // The lines in the list's order; afterwards the selected line is the current record again,
    // so the next quantity change acts on it.
    const int currentLine = items.GetCurrentID();
    for (int row = 0; row < items.GetItemCount(); ++row) {
        if (!items.ActivateRecordInRecordset(items.GetItemID(row))) continue;
        CInvoiceItemRecord line;
        CInvoiceItemsListCtrl::XferFromRecordset(*items.GetPtrRecordset(), line);
        data.lines.push_back(line);
    }
    if (currentLine >= 0) items.ActivateRecordInRecordset(currentLine);
    return data;
}

int CInvoicePrintout::FirstPageBlocks(const Frame& f, int n) {
    if (n != 1) return 0;
    int y = printblocks::PageHeader(f, 0, QStringLiteral("I N V O I C E"), m_data.today);
    y = printblocks::StoreBlock(f, y, m_data.store);
    y = CustomerBlock(f, y);
    return InvoiceHeader(f, y);
}

int CInvoicePrintout::CustomerBlock(const Frame& f, int y) {
    if (!m_data.customer) return y;
    const CCustomerRecord& c = *m_data.customer;
    const int x = f.Left();
    f.surface.SelectFont(PrintFont::Heading);
    y -= f.surface.LineHeight();
    f.Draw(x, y, QStringLiteral("Customer # %1").arg(c.CustomerNbr));
    if (c.Name.size() > 2) {
        y -= f.surface.LineHeight();
        f.Draw(x, y, c.Name);
    }
    f.surface.SelectFont(PrintFont::Text);
    const int h = f.surface.LineHeight();
    for (const QString* line : {&c.Address1, &c.Address2})
        if (line->size() > 2) {
            y -= h;
            f.Draw(x, y, *line);
        }
    const QString city = c.City + QStringLiteral(", ") + c.State + QLatin1Char(' ') + c.Zip;
    if (city.size() > 10) {
        y -= h;
        f.Draw(x, y, city);
    }
    QString phones;
    if (c.Phone.size() > 2) phones = QStringLiteral("Ph: ") + c.Phone;
    if (c.Work.size() > 2) phones += QStringLiteral("  Wk: ") + c.Work;
    if (phones.size() > 5) {
        y -= h;
        f.Draw(x, y, phones);
    }
    f.Draw(x, y - h, c.Comment);
    return y - 2 * h;
}

int CInvoicePrintout::InvoiceHeader(const Frame& f, int y) {
    if (!m_data.invoice) return y;
    f.surface.SelectFont(PrintFont::Heading);
    y -= f.surface.LineHeight();
    f.DrawRight(f.Right(), y, QStringLiteral("Invoice # %1").arg(m_data.invoice->InvoiceNumber));
    f.surface.SelectFont(PrintFont::Text);
    const int h = f.surface.LineHeight();
    // An invoice without a date (as imported) shows none, as the invoice list does.
    const QString created = CreatedText(m_data.invoice->DateEntered);
    if (!created.isEmpty()) f.DrawRight(f.Right(), y - h, created);
    return y - 2 * h;
}

int CInvoicePrintout::ItemLines(const Frame& f, int y, int n) {
    const int rows = int(m_data.lines.size());
    if (rows == 0) return y;
    y = std::min(y, -printblocks::kMargin);
    m_starts.SetRows(rows);
    m_starts.Set(0, 0);
    CPrintSurface& s = f.surface;
    s.SelectFont(PrintFont::Heading);
    const int L = f.Left(), R = f.Right();
    const int X = s.TextWidth(QStringLiteral("X"));
    const int W4 = s.TextWidth(QStringLiteral("XXXX"));
    const int W8 = s.TextWidth(QStringLiteral("00000.00"));
    const bool wide = f.Wide();
    const int t = R - W8;
    const int u = wide ? R - X - 2 * W8 : R - 2 * W8 - X;
    int a, b, c, d = 0, e = 0, w = 0;
    if (wide) {
        a = L + W4, b = L + 2 * W4, c = L + 3 * W4, d = L + 4 * W4, e = L + 5 * W4;
        w = u - s.TextWidth(QStringLiteral("XXXXXX"));
    } else {
        const int W3 = s.TextWidth(QStringLiteral("XXX"));
        a = L + W3, b = L + 2 * W3, c = b + W4;
    }
    const int headingLine = s.LineHeight();
    y -= headingLine;
    if (wide) {
        for (const auto& [x, text] : std::initializer_list<Column>{{L, "Item"}, {a, "Qty"}, {b, "Qty"}, {c, "Qty"}, {d, "Item"},
                                      {w, "Ship"}, {u, "Unit"}, {t, "Total"}})
            f.Draw(x, y, QLatin1String(text));
        y -= headingLine;
        for (const auto& [x, text] : std::initializer_list<Column>{{L, "   #"}, {a, "Ordr"}, {b, "Sold"}, {c, "B/O"}, {d, "Code"},
                                      {e, "Item Description"}, {w, "Weight"}, {u, "Price"}, {t, "Price"}})
            f.Draw(x, y, QLatin1String(text));
    } else {
        for (const auto& [x, text] : std::initializer_list<Column>{{L, "Item"}, {a, "Qty"}, {b, "Code"}, {c, "Description"},
                                      {u, "Each"}, {t, "Total"}})
            f.Draw(x, y, QLatin1String(text));
    }
    y -= headingLine / 2;
    s.SelectFont(PrintFont::Text);
    const int h = s.LineHeight();
    const CInvoiceRecord invoice = m_data.invoice.value_or(CInvoiceRecord{});
    return printblocks::PageRows(f, m_starts, n, rows, y, h, [&](int r, int y) {
        const CInvoiceItemRecord& line = m_data.lines[size_t(r)];
        const int shipped = line.Quantity - line.BackOrderCnt;
        const QString sold = invoice.Ordered ? QString::number(shipped) : QStringLiteral("0");
        const double unit =
            UnitPriceForChoice(invoice.PriceChoice, line.BaseLinePrice, line.DiscountPrice, line.MarkupPrice);
        f.DrawRight(a - X, y, QStringLiteral("%1.").arg(r + 1));
        if (wide) {
            f.DrawRight(b - 2 * X, y, QString::number(line.Quantity));
            f.DrawRight(c - 2 * X, y, sold);
            f.DrawRight(d - 2 * X, y, QString::number(line.BackOrderCnt));
            f.Draw(d, y, line.ItemCode);
            const int at = printblocks::AfterCode(s, d, line.ItemCode, e);
            f.Draw(at, y, printblocks::CutToWidth(s, line.Description, w - at - 2));
            f.DrawRight(u - 2 * X, y, Fmt("%4.0lf", shipped * line.ItemWeight));
        } else {
            f.DrawRight(b - 2 * X, y, sold);
            f.Draw(b, y, line.ItemCode);
            const int at = printblocks::AfterCode(s, b, line.ItemCode, c);
            f.Draw(at, y, printblocks::CutToWidth(s, line.Description, u - at - 2));
        }
        f.Draw(u, y, QStringLiteral("$"));
        f.DrawRight(t - X, y, Fmt("%7.2lf", unit));
        f.Draw(t, y, QStringLiteral("$"));
        f.DrawRight(R, y, Fmt("%7.2lf", shipped * unit));
    });
}

int CInvoicePrintout::TotalsBlock(const Frame& f, int y) {
    if (!m_data.invoice) return y;
    const CInvoiceRecord& i = *m_data.invoice;
    f.surface.SelectFont(PrintFont::Text);
    const int h = f.surface.LineHeight();
    const int V = f.surface.TextWidth(QStringLiteral("00000.00"));
    y = std::min(y, -printblocks::kMargin) - h;
    const std::pair<QString, double> lines[] = {
        {QStringLiteral("Subtotal:  $"), i.ItemsSubtotal},
        {QString::asprintf("Discount: %4.1f%%  $", i.DiscountPercent * 100), i.DiscountAmount},
        {QString::asprintf("Shipping: %4.1f lbs at $%4.2f per lb  $", i.ShipWeight, i.ShipCostPerLb), i.ShipCharge},
        {QString::asprintf("Sales Tax: %3.1f%%,  $", i.TaxRate * 100), i.SalesTax},
        {QStringLiteral("Invoice Total:  $"), i.InvoiceTotal},
        {QStringLiteral("Amount Paid:  $"), i.AmountPaid},
        {QStringLiteral("Balance Due:  $"), i.InvoiceTotal - i.AmountPaid},
    };
    bool firstLine = true;
    for (const auto& [label, amount] : lines) {
        if (!firstLine) y -= h;
        firstLine = false;
        f.DrawRight(f.Right() - V, y, label);
        f.DrawRight(f.Right(), y, Fmt("%.2lf", amount));
    }
    y -= h;
    if (f.counting && y < f.Lowest()) return 0;
    return y;
}

int CInvoicePrintout::CountPages(CPrintSurface& surface, PageRect page) {
    const Frame f{surface, page, true};
    m_starts.Reset();
    m_starts.SetRows(int(m_data.lines.size()));
    int y = FirstPageBlocks(f, 1);
    int p = 1;
    for (;; ++p) {
        const int reached = ItemLines(f, p == 1 ? y : 0, p);
        if (reached != 0) {
            y = reached;
            break;
        }
    }
    m_pages = TotalsBlock(f, y) == 0 ? p + 1 : p;
    return m_pages;
}

void CInvoicePrintout::PrintPage(CPrintSurface& surface, PageRect page, int n) {
    const Frame f{surface, page, false};
    const int y = ItemLines(f, FirstPageBlocks(f, n), n);
    if (n == m_pages) TotalsBlock(f, y);
}
