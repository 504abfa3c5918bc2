#include "columndefs.h"

#include "lookup/groupedstringlist.h"
#include "trace/tracesink.h"

#include <algorithm>
#include <optional>

namespace {

const ColumnTableEntry kCustomerColumns[] = {
    {"Customer#", "Customer number", 65, 1},
    {"Name", "Customer name", 100, 0},
    {"Address", "Address line 1", 75, 0},
    {"Address", "Address line 2", 75, 0},
    {"City", "City", 75, 0},
    {"State", "State", 60, 0},
    {"Zip", "Zip code", 60, 0},
    {"Phone", "Main phone number", 80, 0},
    {"Wk. Phone", "Daytime/Work phone number", 80, 0},
    {"Fax#", "Fax phone number", 80, 0},
    {"Cnt", "Number of invoices", 40, 1},
    {"BalanceDue", "Outstanding balance", 75, 1},
    {"Disc%", "Default customer discount", 60, 1},
    {"Tax%", "Default customer tax rate", 60, 1},
    {"Bus", "Is this customer a business?", 30, 2},
    {"Tax", "Is this customer taxable?", 30, 2},
    {"Grp", "Is this customer ordering for a group?", 30, 2},
    {"Price", "Default price: base, discount, markup", 70, 2},
    {"User Field1", "User text field 1", 80, 0},
    {"User Field2", "User text field 2", 80, 0},
};

const ColumnTableEntry kInvoiceColumns[] = {
    {"Invoice#", "Invoice number", 65, 1},
    {"Grp#", "Invoice GROUP number", 45, 1},
    {"Customer", "Customer name", 80, 0},
    {"Status", "Current invoice status", 70, 0},
    {"Date", "Current status date", 70, 0},
    {"Cnt", "Number of items on invoice", 30, 1},
    {"SubTotal", "Subtotal of items on invoice", 60, 1},
    {"Use Price", "Price used: baseline, discount or markup", 65, 0},
    {"Disc%", "Discount percent applied to invoice", 60, 1},
    {"Discount", "Discount amount applied to invoice", 60, 1},
    {"Weight", "Shipping weight in pounds", 50, 1},
    {"Ship rate", "Cost of shipping per pound", 50, 1},
    {"S&H", "Shipping charge", 60, 1},
    {"Tax%", "Tax rate applied to invoice", 50, 1},
    {"Taxes", "Tax amount applied to invoice", 60, 1},
    {"Total", "Grand total", 60, 1},
    {"Paid$", "Amount paid", 60, 1},
    {"Due", "Balance due", 60, 1},
    {"Entered", "Date invoice was entered/created", 70, 2},
    {"Ordered", "Date invoice items were ordered", 70, 2},
    {"On Hold", "Date invoice was placed on hold", 70, 2},
    {"Shipped", "Date items were shipped to customer", 70, 2},
    {"Received", "Date items were received by customer", 70, 2},
    {"Pickup", "Date items were picked up by customer", 70, 2},
    {"Paid", "Date customer last paid", 70, 2},
    {"User Field1", "User text field 1", 80, 0},
    {"User Field2", "User text field 2", 80, 0},
};

const ColumnTableEntry kInvoiceItemColumns[] = {
    {"Store", "Store name item belongs to", 70, 0},
    {"Code", "Item code number", 40, 0},
    {"Item Description", "Item description", 140, 0},
    {"Qty", "Quantity of items wanted", 40, 1},
    {"BkOrd", "Quantity of items put on backorder", 50, 1},
    {"QtyOrd", "Quantity of items to order/ship", 50, 1},
    {"Weight", "Shipping weight of item(s) in pounds", 50, 1},
    {"Unit Price", "Price of one item", 60, 1},
    {"Cost", "Total cost of item(s)", 60, 1},
};

const ColumnTableEntry kStoreItemColumns[] = {
    {"Code", "Item code number", 40, 0},
    {"Item Description", "Item description", 140, 0},
    {"Container", "Container description", 75, 2},
    {"Grp", "Discount group name", 50, 2},
    {"Base Price", "Baseline price of item", 75, 1},
    {"Dscnt Price", "Discount price of item", 75, 1},
    {"Markup Price", "Markup price of item", 75, 1},
    {"Dscnt%", "Discount percent applied to base price", 60, 1},
    {"Markup%", "Markup percent applied to discount price", 60, 1},
    {"Base/Oz.", "Baseline price-per-ounce of item", 60, 1},
    {"Disc/Oz.", "Discount price-per-ounce of item", 60, 1},
    {"Markup/Oz.", "Markup price-per-ounce of item", 65, 1},
    {"Prod Weight", "Weight of product in pounds", 78, 1},
    {"Prod Weight", "Weight of product in ounces", 78, 1},
    {"Ship Weight", "Shipping weight of item in pounds", 78, 1},
    {"Ship Weight", "Shipping weight of item in ounces", 78, 1},
    {"Stock Qty", "Number of items in stock", 65, 1},
    {"User Field1", "User text field 1", 80, 1},
    {"User Field2", "User text field 2", 80, 1},
};

template <std::size_t N> constexpr int countOf(const ColumnTableEntry (&)[N]) {
    return int(N);
}

// Field positions of a stored row.
constexpr int kIndexWidth = 4;
constexpr int kTitlePos = kIndexWidth + 1;
constexpr int kDescriptionPos = kTitlePos + kColumnTitleWidth;
constexpr int kNumberPos = kDescriptionPos + kColumnDescriptionWidth;
constexpr int kNumberWidth = 5;
constexpr int kNumberCount = 5; // width, format, used, column index, list column
constexpr int kRowLength = kNumberPos + kNumberCount * kNumberWidth;

// Cuts at a character boundary so that a surrogate pair is never split.
QString cut(const QString& text, int width) {
    if (text.size() <= width)
        return text;
    int n = width;
    if (n > 0 && text.at(n - 1).isHighSurrogate())
        --n;
    return text.left(n);
}

// A number wider than its field would shift every field after it.
QString numberField(int value) {
    return QString::number(std::clamp(value, -9999, 99999)).rightJustified(kNumberWidth);
}

// Blanks, an optional minus, then digits up to the first non-digit, all inside the field.
bool readNumber(const QString& row, int pos, int len, int& out) {
    const int end = std::min<int>(pos + len, int(row.size()));
    int p = pos;
    while (p < end && row.at(p) == QLatin1Char(' '))
        ++p;
    bool negative = false;
    if (p < end && row.at(p) == QLatin1Char('-')) {
        negative = true;
        ++p;
    }
    const int first = p;
    long long value = 0; // at most 5 digits, cannot overflow
    while (p < end && row.at(p) >= QLatin1Char('0') && row.at(p) <= QLatin1Char('9')) {
        value = value * 10 + (row.at(p).unicode() - u'0');
        ++p;
    }
    if (p == first)
        return false;
    out = int(negative ? -value : value);
    return true;
}

QString trimTrailingBlanks(const QString& text) {
    int n = int(text.size());
    while (n > 0 && text.at(n - 1) == QLatin1Char(' '))
        --n;
    return text.left(n);
}

} // namespace

const ListColumnSet& CustomerColumnSet() {
    static const ListColumnSet columnSet{
        countOf(kCustomerColumns), kCustomerColumns, {1, 14, 15, 16, 10, 11}};
    return columnSet;
}

const ListColumnSet& InvoiceColumnSet() {
    static const ListColumnSet columnSet{
        countOf(kInvoiceColumns), kInvoiceColumns, {0, 3, 4, 5, 15, 17}};
    return columnSet;
}

const ListColumnSet& InvoiceItemColumnSet() {
    static const ListColumnSet columnSet{
        countOf(kInvoiceItemColumns), kInvoiceItemColumns, {1, 2, 3, 4, 8}};
    return columnSet;
}

const ListColumnSet& StoreItemColumnSet() {
    static const ListColumnSet columnSet{
        countOf(kStoreItemColumns), kStoreItemColumns, {0, 1, 2, 4, 7, 5, 14}};
    return columnSet;
}

QString FormatColumnRow(int index, const ColumnDef& def, const ColumnSlot& slot) {
    QString row;
    row.reserve(kRowLength);
    row += QString::number(index).rightJustified(kIndexWidth);
    row += QLatin1Char(' ');
    row += cut(def.Title, kColumnTitleWidth).leftJustified(kColumnTitleWidth);
    row += cut(def.Description, kColumnDescriptionWidth).leftJustified(kColumnDescriptionWidth);
    row += numberField(def.Width);
    row += numberField(def.Format);
    row += numberField(slot.Used);
    row += numberField(slot.ColumnIndex);
    row += numberField(slot.ListColumn);
    return row;
}

bool ParseColumnRow(const QString& row, int n, int& index, ColumnDef& def, ColumnSlot& slot) {
    if (row.size() < kRowLength)
        return false;
    int i = 0;
    if (!readNumber(row, 0, kIndexWidth, i) || i < 0 || i >= n)
        return false;
    int numbers[kNumberCount];
    for (int f = 0; f < kNumberCount; ++f)
        if (!readNumber(row, kNumberPos + f * kNumberWidth, kNumberWidth, numbers[f]))
            return false;
    const bool used = numbers[2] != 0;
    const int columnIndex = numbers[3];
    if (used && (columnIndex < 0 || columnIndex >= n))
        return false;

    index = i;
    def.Title = trimTrailingBlanks(row.mid(kTitlePos, kColumnTitleWidth));
    def.Description = trimTrailingBlanks(row.mid(kDescriptionPos, kColumnDescriptionWidth));
    def.Width = numbers[0];
    def.Format = numbers[1];
    slot.Used = used ? 1 : 0;
    // An unused slot's column index means nothing; keep it harmless for anyone who indexes by it.
    slot.ColumnIndex = used ? columnIndex : 0;
    slot.ListColumn = numbers[4];
    return true;
}

CListColumns::CListColumns(const ListColumnSet& columnSet, int group) : m_set(&columnSet), m_group(group) {
    InitializeColumnDefinitions();
}

void CListColumns::InitializeColumnDefinitions() {
    const int n = Count();
    m_defs.assign(size_t(n), ColumnDef{});
    m_slots.assign(size_t(n), ColumnSlot{});
    for (int i = 0; i < n; ++i) {
        const ColumnTableEntry& e = m_set->table[i];
        ColumnDef& d = m_defs[size_t(i)];
        d.Active = 0;
        d.Width = e.width;
        d.Format = e.format;
        d.Title = QString::fromUtf8(e.title);
        d.Description = QString::fromUtf8(e.description);
        d.RowID = -1;
    }
}

void CListColumns::SetupDefaultColumns() {
    InitializeColumnDefinitions();
    const int n = Count();
    int k = 0;
    for (int c : m_set->defaultColumns) {
        if (k >= n)
            break;
        if (c < 0 || c >= n)
            continue;
        m_slots[size_t(k)].Used = 1;
        m_slots[size_t(k)].ColumnIndex = c;
        ++k;
    }
}

int CListColumns::UsedSlotCount() const {
    return int(std::count_if(m_slots.begin(), m_slots.end(),
                             [](const ColumnSlot& s) { return s.Used != 0; }));
}

void CListColumns::ApplyColumnSlots(const std::function<int(int, const ColumnDef&)>& insert) {
    for (ColumnDef& d : m_defs)
        d.Active = 0;
    const int n = Count();
    for (int k = 0; k < n; ++k) {
        ColumnSlot& s = m_slots[size_t(k)];
        if (!s.Used || s.ColumnIndex < 0 || s.ColumnIndex >= n)
            continue;
        ColumnDef& d = m_defs[size_t(s.ColumnIndex)];
        d.Active = 1;
        s.ListColumn = insert ? insert(k, d) : k;
    }
}

bool CListColumns::StoreColumnDefinitions(CDaoGroupedStringList* list,
                                          const std::function<int(int)>& widthOf) {
    if (!list)
        return false;
    list->ReQueryRecordsetUsingGroup(m_group);
    const int n = Count();
    if (widthOf) {
        for (const ColumnSlot& s : m_slots)
            if (s.Used && s.ColumnIndex >= 0 && s.ColumnIndex < n)
                m_defs[size_t(s.ColumnIndex)].Width = widthOf(s.ListColumn);
    }

    // One transaction for all N rows; without a reachable database each row commits alone.
    std::optional<db::Transaction> tx;
    if (db::Recordset* rs = list->GetPtrRecordset()) {
        try {
            tx.emplace(rs->database());
        } catch (const db::Error& e) {
            Trace(10, e.description());
        }
    }
    std::vector<int> rowIDs;
    rowIDs.reserve(size_t(n));
    for (const ColumnDef& d : m_defs)
        rowIDs.push_back(d.RowID);

    for (int i = 0; i < n; ++i) {
        ColumnDef& d = m_defs[size_t(i)];
        const QString text = FormatColumnRow(i, d, m_slots[size_t(i)]);
        if (d.RowID == -1) {
            const int id = list->AddItem(m_group, text);
            if (id != -1)
                d.RowID = id;
        } else {
            list->PutItem(d.RowID, text);
        }
    }

    if (tx) {
        try {
            tx->commit();
        } catch (const db::Error& e) {
            Trace(10, e.description());
            tx.reset();
            // The rows added here were rolled back with the rest.
            for (int i = 0; i < n; ++i)
                m_defs[size_t(i)].RowID = rowIDs[size_t(i)];
            return false;
        }
    }
    return true;
}

int CListColumns::ReadColumnDefinitions(CDaoGroupedStringList* list) {
    if (!list)
        return 0;
    list->ReQueryRecordsetUsingGroup(m_group);
    const int n = Count();
    int read = 0;
    int id = -1;
    QString text;
    for (bool more = list->GetFirst(id, text); more; more = list->GetNext(id, text)) {
        int i = -1;
        ColumnDef def;
        ColumnSlot slot;
        if (text.isEmpty() || !ParseColumnRow(text, n, i, def, slot))
            continue;
        ColumnDef& d = m_defs[size_t(i)];
        d.RowID = id;
        d.Title = def.Title;
        d.Description = def.Description;
        d.Width = def.Width;
        d.Format = def.Format;
        m_slots[size_t(i)] = slot;
        ++read;
    }

    // Rows written by hand or by an interrupted store may leave gaps or show a column twice;
    // everything else relies on used slots being contiguous and distinct.
    std::vector<ColumnSlot> kept;
    std::vector<bool> seen(size_t(n), false);
    bool broken = false;
    bool gap = false;
    for (const ColumnSlot& s : m_slots) {
        if (!s.Used) {
            gap = true;
            continue;
        }
        const bool valid = s.ColumnIndex >= 0 && s.ColumnIndex < n;
        if (gap || !valid || seen[size_t(s.ColumnIndex)])
            broken = true;
        if (!valid || seen[size_t(s.ColumnIndex)])
            continue;
        seen[size_t(s.ColumnIndex)] = true;
        kept.push_back(s);
    }
    if (broken) {
        for (int k = 0; k < n; ++k)
            m_slots[size_t(k)] = k < int(kept.size()) ? kept[size_t(k)] : ColumnSlot{};
    }
    return read;
}

void CListColumns::LoadColumnDefinitions(CDaoGroupedStringList* list) {
    InitializeColumnDefinitions();
    if (ReadColumnDefinitions(list) == 0)
        SetupDefaultColumns();
}

std::vector<ColumnMenuItem> CListColumns::BuildColumnMenu() const {
    std::vector<ColumnMenuItem> menu;
    const int n = Count();
    menu.reserve(size_t(n) + 2);
    for (int i = 0; i < n; ++i) {
        const ColumnDef& d = m_defs[size_t(i)];
        menu.push_back({d.Description, kColumnMenuFirstID + i, d.Active != 0, false});
    }
    menu.push_back({QString(), 0, false, true});
    menu.push_back({QStringLiteral("Refresh"), kColumnMenuFirstID + n, false, false});
    return menu;
}

int CListColumns::ToggleColumnSlot(int commandID) {
    const int n = Count();
    if (commandID == kColumnMenuFirstID + n)
        return 1;
    const int c = commandID - kColumnMenuFirstID;
    if (c < 0 || c >= n)
        return 0;

    int s = -1;
    for (int k = 0; k < n; ++k)
        if (m_slots[size_t(k)].Used && m_slots[size_t(k)].ColumnIndex == c) {
            s = k;
            break;
        }

    if (s < 0) {
        for (ColumnSlot& slot : m_slots)
            if (!slot.Used) {
                slot.Used = 1;
                slot.ColumnIndex = c;
                return 1;
            }
        return 0;
    }

    // The slot keeps its list column with its column index, so widths read before the
    // columns are re-applied still belong to the right definition.
    for (int k = s; k < n - 1; ++k)
        m_slots[size_t(k)] = m_slots[size_t(k) + 1].Used ? m_slots[size_t(k) + 1] : ColumnSlot{};
    m_slots[size_t(n) - 1] = ColumnSlot{};
    return 1;
}

bool CListColumns::MoveColumnSlot(int from, int to) {
    const int n = Count();
    if (from == to || from < 0 || from >= n || to < 0 || to >= n)
        return false;
    if (!m_slots[size_t(from)].Used)
        return false;
    const int used = UsedSlotCount();
    if (to >= used)
        to = used - 1;
    if (to == from)
        return false;

    const ColumnSlot moving = m_slots[size_t(from)];
    if (to > from) {
        for (int k = from; k < to; ++k)
            m_slots[size_t(k)] = m_slots[size_t(k) + 1];
    } else {
        for (int k = from; k > to; --k)
            m_slots[size_t(k)] = m_slots[size_t(k) - 1];
    }
    m_slots[size_t(to)] = moving;
    return true;
}

int CListColumns::ColumnSlotAtX(int x, const std::function<int(int)>& widthOf) const {
    const int n = Count();
    if (n < 1)
        return -1;
    long long left = 0; // widths come from outside; a huge one must not overflow
    int last = -1;
    for (int k = 0; k < n; ++k) {
        const ColumnSlot& s = m_slots[size_t(k)];
        if (!s.Used)
            continue;
        long long w = 0;
        if (widthOf) {
            w = widthOf(s.ListColumn);
        } else if (s.ColumnIndex >= 0 && s.ColumnIndex < n) {
            w = m_defs[size_t(s.ColumnIndex)].Width;
        }
        if (left <= x && x <= left + w)
            return k;
        last = k;
        left += w;
    }
    return last;
}
