#include "import/databaseimportmgr.h"

#include "db/database.h"
#include "db/recordset.h"
#include "import/importconvert.h"
#include "import/sourcefactory.h"
#include "invoices/invoicerecord.h"
#include "invoices/invoicerules.h"
#include "project/quorvanedoc.h"
#include "project/schema.h"
#include "stores/pricingrules.h"
#include "stores/storeitemrecord.h"
#include "trace/tracesink.h"
#include "ui/prompter.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <initializer_list>
#include <limits>
#include <unordered_map>

const QString CDatabaseImportMgr::kDoNotImport = QStringLiteral("<do not import>");
const QString CDatabaseImportMgr::kNoMatch = QStringLiteral("<no match>");

namespace {

const QString kID = QStringLiteral("ID");
const QString kMappingTable = QStringLiteral("ImportMapping");

void TraceName(const char* op) { Trace(20, QStringLiteral("CDatabaseImportMgr::%1()").arg(QLatin1String(op))); }

CQuorvaneDoc::Counter IDCounter(int index) {
    switch (index) {
    case CDatabaseImportMgr::StoreItems: return CQuorvaneDoc::StoreItemsID;
    case CDatabaseImportMgr::Customers: return CQuorvaneDoc::CustomerID;
    case CDatabaseImportMgr::Invoices: return CQuorvaneDoc::InvoiceID;
    default: return CQuorvaneDoc::InvItemsID;
    }
}

QString Select(const QString& table) { return QStringLiteral("select * from [%1]").arg(table); }

// One destination row being built: values by field index.
class CRow {
public:
    CRow(const db::TableDef& def, std::vector<QVariant>& values) : m_def(def), m_values(values) {}
    int Index(const char* name) const {
        const QString n = QLatin1String(name);
        for (size_t i = 0; i < m_def.fields.size(); ++i)
            if (m_def.fields[i].name == n) return int(i);
        return -1;
    }
    double D(const char* f) const { const int i = Index(f); return i < 0 ? 0.0 : m_values[size_t(i)].toDouble(); }
    int I(const char* f) const { const int i = Index(f); return i < 0 ? 0 : m_values[size_t(i)].toInt(); }
    QString T(const char* f) const { const int i = Index(f); return i < 0 ? QString() : m_values[size_t(i)].toString(); }
    void Set(const char* f, const QVariant& v) {
        const int i = Index(f);
        if (i < 0) return;
        const db::FieldDef& field = m_def.fields[size_t(i)];
        if (field.type == db::Type::Text) {
            QString s = v.toString();
            if (s.isEmpty()) s = QStringLiteral(" ");
            m_values[size_t(i)] = field.size > 0 && s.size() > field.size ? s.left(field.size) : s;
        } else {
            m_values[size_t(i)] = v;
        }
    }

private:
    const db::TableDef& m_def;
    std::vector<QVariant>& m_values;
};

void ValidateItemRow(CRow& row) {
    CStoreItemRecord r;
    r.ItemCode = row.T("ItemCode");
    r.Description = row.T("Description");
    r.ContainerType = row.T("ContainerType");
    r.DiscountGrpName = row.T("DiscountGrpName");
    r.BaseLinePrice = row.D("BaseLinePrice");
    r.DiscountPrice = row.D("DiscountPrice");
    r.MarkupPrice = row.D("MarkupPrice");
    r.DiscountPercent = row.D("DiscountPercent");
    r.MarkupPercent = row.D("MarkupPercent");
    r.BasePricePerOz = row.D("BasePricePerOz");
    r.DiscPricePerOz = row.D("DiscPricePerOz");
    r.MarkupPricePerOz = row.D("MarkupPricePerOz");
    r.ProdOunces = row.D("ProdOunces");
    r.ProdPounds = row.D("ProdPounds");
    r.ShipOunces = row.D("ShipOunces");
    r.ShipPounds = row.D("ShipPounds");
    r.QtyInStock = row.I("QtyInStock");
    ValidateStoreItem(r);
    row.Set("ItemCode", r.ItemCode);
    row.Set("Description", r.Description);
    row.Set("ContainerType", r.ContainerType);
    row.Set("DiscountGrpName", r.DiscountGrpName);
    row.Set("BaseLinePrice", r.BaseLinePrice);
    row.Set("DiscountPrice", r.DiscountPrice);
    row.Set("MarkupPrice", r.MarkupPrice);
    row.Set("DiscountPercent", r.DiscountPercent);
    row.Set("MarkupPercent", r.MarkupPercent);
    row.Set("BasePricePerOz", r.BasePricePerOz);
    row.Set("DiscPricePerOz", r.DiscPricePerOz);
    row.Set("MarkupPricePerOz", r.MarkupPricePerOz);
    row.Set("ProdOunces", r.ProdOunces);
    row.Set("ProdPounds", r.ProdPounds);
    row.Set("ShipOunces", r.ShipOunces);
    row.Set("ShipPounds", r.ShipPounds);
    row.Set("QtyInStock", r.QtyInStock);
}

void ValidateInvoiceRow(CRow& row) {
    CInvoiceRecord r;
    r.GroupInvoice = row.I("GroupInvoice") != 0;
    r.DateEntered = row.D("DateEntered");
    r.DateOrdered = row.D("DateOrdered");
    r.DateOnHold = row.D("DateOnHold");
    r.DateShipped = row.D("DateShipped");
    r.DateReceived = row.D("DateReceived");
    r.DatePickedUp = row.D("DatePickedUp");
    r.DateClosed = row.D("DateClosed");
    r.DatePaid = row.D("DatePaid");
    r.Ordered = row.I("Ordered") != 0;
    r.OnHold = row.I("OnHold") != 0;
    r.Shipped = row.I("Shipped") != 0;
    r.Received = row.I("Received") != 0;
    r.PickedUp = row.I("PickedUp") != 0;
    r.Paid = row.I("Paid") != 0;
    r.Closed = row.I("Closed") != 0;
    r.ItemCount = row.I("ItemCount");
    r.ItemsSubtotal = row.D("ItemsSubtotal");
    r.DiscountPercent = row.D("DiscountPercent");
    r.DiscountAmount = row.D("DiscountAmount");
    r.ShipWeight = row.D("ShipWeight");
    r.ShipCostPerLb = row.D("ShipCostPerLb");
    r.ShipCharge = row.D("ShipCharge");
    r.TaxRate = row.D("TaxRate");
    r.SalesTax = row.D("SalesTax");
    r.InvoiceTotal = row.D("InvoiceTotal");
    r.AmountPaid = row.D("AmountPaid");
    r.PriceChoice = row.I("PriceChoice");
    if (!ValidateInvoiceValues(r)) return;
    using Number = std::pair<const char*, double>;
    using Flag = std::pair<const char*, bool>;
    for (const auto& [f, v] : std::initializer_list<Number>{{"DateEntered", r.DateEntered}, {"DateOrdered", r.DateOrdered},
                               {"DateOnHold", r.DateOnHold}, {"DateShipped", r.DateShipped},
                               {"DateReceived", r.DateReceived}, {"DatePickedUp", r.DatePickedUp},
                               {"DateClosed", r.DateClosed}, {"DatePaid", r.DatePaid},
                               {"ItemsSubtotal", r.ItemsSubtotal}, {"DiscountPercent", r.DiscountPercent},
                               {"DiscountAmount", r.DiscountAmount}, {"ShipWeight", r.ShipWeight},
                               {"ShipCostPerLb", r.ShipCostPerLb}, {"ShipCharge", r.ShipCharge},
                               {"TaxRate", r.TaxRate}, {"SalesTax", r.SalesTax},
                               {"InvoiceTotal", r.InvoiceTotal}, {"AmountPaid", r.AmountPaid}})
        row.Set(f, v);
    for (const auto& [f, v] : std::initializer_list<Flag>{{"Ordered", r.Ordered}, {"OnHold", r.OnHold}, {"Shipped", r.Shipped},
                               {"Received", r.Received}, {"PickedUp", r.PickedUp}, {"Paid", r.Paid},
                               {"Closed", r.Closed}, {"GroupInvoice", r.GroupInvoice}})
        row.Set(f, v ? 1 : 0);
    row.Set("ItemCount", r.ItemCount);
    row.Set("PriceChoice", r.PriceChoice);
}

// The first row's ID for each value of a field, in table order.
std::unordered_map<int, int> FirstIDByValue(db::Database& database, const QString& table, const QString& field) {
    std::unordered_map<int, int> first;
    if (!database.hasTable(table)) return first;
    db::Recordset rs(database);
    rs.open(Select(table));
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) first.emplace(rs.intValue(field), rs.intValue(kID));
    return first;
}

} // namespace

CDatabaseImportMgr::CDatabaseImportMgr(CQuorvaneDoc& doc, CPrompter& prompter) : m_doc(doc), m_prompter(prompter) {}
CDatabaseImportMgr::~CDatabaseImportMgr() = default;

QString CDatabaseImportMgr::Title(int index) {
    static const char* const titles[] = {"STORE ITEMS", "CUSTOMERS", "INVOICES", "INVOICE ITEMS"};
    return index >= 0 && index < IndexCount ? QLatin1String(titles[index]) : QString();
}

QString CDatabaseImportMgr::SourceLines() {
    return QStringLiteral(".mdb\tMicrosoft Access\n.dbf\tMicrosoft dBase\n.dbf\tMicrosoft FoxPro\n"
                          ".xls\tMicrosoft Excel\n.db\tMicrosoft Paradox\n.txt\tText");
}

int CDatabaseImportMgr::KindOfLine(const QString& line) {
    static const char* const words[] = {"Text", "Paradox", "Excel", "FoxPro", "dBase", "Access"};
    for (int i = 0; i < 6; ++i)
        if (line.contains(QLatin1String(words[i]))) return 5 - i;
    return -1;
}

QStringList CDatabaseImportMgr::MatchEntries(const QStringList& destination, const QStringList& sourceLines) {
    QStringList out;
    out.reserve(destination.size());
    for (const QString& dest : destination) {
        QString match = kNoMatch;
        for (const QString& source : sourceLines)
            if (source.startsWith(dest, Qt::CaseInsensitive)) {
                match = source;
                break;
            }
        out << QStringLiteral("%1\t= %2").arg(dest, match);
    }
    return out;
}

void CDatabaseImportMgr::Message(const QString& text) { m_prompter.MessageBox(text); }

QString CDatabaseImportMgr::DestinationTable(int index) const {
    switch (index) {
    case StoreItems: return m_storeID >= 0 ? schema::StoreItemsTableName(m_storeID) : QString();
    case Customers: return QStringLiteral("Customer");
    case Invoices: return QStringLiteral("Invoice");
    case InvoiceItems: return QStringLiteral("InvoiceItems");
    default: return {};
    }
}

// ---------------------------------------------------------------- the source

bool CDatabaseImportMgr::OpenDaoDatabase(const QString& path) {
    TraceName("OpenDaoDatabase");
    CloseSource();
    try {
        m_source = import::OpenSource(import::SourceKind::Access, path);
        m_sourcePath = path;
        return true;
    } catch (const import::SourceError& e) {
        Trace(10, e.message());
        Message(QStringLiteral("Unable to open the database:\n\n  %1\n%2").arg(path, e.message()));
        return false;
    }
}

bool CDatabaseImportMgr::OpenIsamDatabase(const QString& path, import::SourceKind kind) {
    TraceName("OpenIsamDatabase");
    CloseSource();
    try {
        m_source = import::OpenSource(kind, path);
        m_sourcePath = path;
        Trace(20, QStringLiteral("  Opened database in: (%1)\n").arg(path));
        return true;
    } catch (const import::SourceError& e) {
        Trace(10, e.message());
        Message(QStringLiteral("Unable to open a database in:\n\n  %1\n%2").arg(path, e.message()));
        return false;
    }
}

void CDatabaseImportMgr::CloseSource() {
    m_source.reset();
    m_sourcePath.clear();
}

int CDatabaseImportMgr::LoadSourceDatabaseTableNames() {
    TraceName("LoadSourceDatabaseTableNames");
    m_tableNames.clear();
    if (!m_source) return 0;
    try {
        m_tableNames = m_source->tableNames();
    } catch (const import::SourceError& e) {
        Trace(10, e.message());
    }
    return int(m_tableNames.size());
}

bool CDatabaseImportMgr::LoadSourceTableEntryNames(const QString& table) {
    TraceName("LoadSourceTableEntryNames");
    m_sourceEntries.clear();
    m_sourceFields.clear();
    m_fieldNote.clear();
    if (!m_source) return false;
    try {
        auto t = m_source->openTable(table);
        const auto& fields = t->fields();
        if (fields.empty()) {
            Message(QStringLiteral("Unable to read table, or\ntable is empty.\n\n  %1").arg(table));
            return false;
        }
        for (const import::SourceField& f : fields) {
            if (int(m_sourceFields.size()) == kMaxFields) {
                m_fieldNote = QStringLiteral("The table %1 has %2 fields: only the first %3 can be imported.")
                                  .arg(table)
                                  .arg(fields.size())
                                  .arg(kMaxFields);
                Trace(10, m_fieldNote);
                break;
            }
            m_sourceFields.push_back({f.name, int(f.type), f.size});
            m_sourceEntries << QStringLiteral("%1\t%2").arg(f.name, import::TypeText(int(f.type)));
        }
        return true;
    } catch (const import::SourceError& e) {
        Trace(10, e.message());
        Message(QStringLiteral("Failed to open table\n\n   %1\n%2").arg(table, e.message()));
        return false;
    }
}

bool CDatabaseImportMgr::LoadDestinationTableEntryNames(int index) {
    TraceName("LoadDestinationTableEntryNames");
    m_destEntries.clear();
    m_destFields.clear();
    db::Database& database = *m_doc.GetPtrDatabase();
    const QString table = DestinationTable(index);
    if (!database.isOpen() || table.isEmpty() || !database.hasTable(table)) {
        Message(QStringLiteral("Error accessing database table."));
        return false;
    }
    const db::TableDef def = database.tableDef(table);
    for (const db::FieldDef& f : def.fields) {
        if (int(m_destFields.size()) == kMaxFields) break;
        m_destFields.push_back({f.name, int(f.type), f.size});
        m_destEntries << QStringLiteral("%1\t%2").arg(f.name, import::TypeText(int(f.type)));
    }
    return true;
}

// ---------------------------------------------------------------- the copy

bool CDatabaseImportMgr::LoadSourceItems(int index, const QString& table, IImportProgress* progress) {
    TraceName("LoadSourceItems");
    if (index < 0 || index >= IndexCount) return false;
    Result result;
    m_results[size_t(index)] = result;
    db::Database& database = *m_doc.GetPtrDatabase();
    const QString destTable = DestinationTable(index);
    if (!m_source || !database.isOpen() || destTable.isEmpty() || !database.hasTable(destTable)) {
        Message(QStringLiteral("Error accessing destination database table."));
        return false;
    }
    const db::TableDef def = database.tableDef(destTable);

    // The mapping lines: destination field <- source field, with both types.
    struct Map {
        int dest = -1;
        QString sourceName;
        import::FieldType from{};
        import::FieldType to{};
        int size = 0;
        int column = -1; // in the source table
    };
    std::vector<Map> maps;
    int idMap = -1; // the map that feeds ID, if any
    for (const QString& line : m_destEntries) {
        const int at = line.indexOf(QLatin1String("= "));
        if (at < 0) continue;
        const QString sourcePart = line.mid(at + 2);
        if (sourcePart == kNoMatch) continue;
        Map m;
        const QString destName = line.section(QLatin1Char('\t'), 0, 0);
        m.sourceName = sourcePart.section(QLatin1Char('\t'), 0, 0);
        const auto src = std::find_if(m_sourceFields.begin(), m_sourceFields.end(),
                                      [&](const FieldEntry& f) { return f.name == m.sourceName; });
        const auto dst = std::find_if(m_destFields.begin(), m_destFields.end(),
                                      [&](const FieldEntry& f) { return f.name == destName; });
        if (src == m_sourceFields.end() || dst == m_destFields.end()) continue;
        for (size_t i = 0; i < def.fields.size(); ++i)
            if (def.fields[i].name == destName) m.dest = int(i);
        if (m.dest < 0) continue;
        m.from = import::FieldType(src->type);
        m.to = import::FieldType(dst->type);
        m.size = dst->size;
        if (destName == kID) idMap = int(maps.size());
        maps.push_back(m);
    }

    // The rows are read whole first: their count sizes the progress, and a source that breaks
    // off halfway leaves the project untouched.
    std::vector<std::vector<QVariant>> rows;
    try {
        auto t = m_source->openTable(table);
        for (Map& m : maps) {
            m.column = -1;
            for (int i = 0; i < int(t->fields().size()); ++i)
                if (t->fields()[size_t(i)].name == m.sourceName) m.column = i;
            if (m.column < 0) m.column = t->fieldIndex(m.sourceName);
        }
        while (t->next()) {
            std::vector<QVariant> values(maps.size());
            for (size_t i = 0; i < maps.size(); ++i)
                if (maps[i].column >= 0) values[i] = t->value(maps[i].column);
            rows.push_back(std::move(values));
        }
    } catch (const import::SourceError& e) {
        Trace(10, e.message());
        Message(QStringLiteral("Unable to read table, or\ntable is empty.\n\n  %1\n%2").arg(table, e.message()));
        return false;
    }
    TraceF(20, "  Source Count = %d  Fields = %d  Name %s\n", int(rows.size()), int(m_sourceFields.size()),
           qUtf8Printable(table));
    if (rows.empty()) {
        result.ok = true;
        m_results[size_t(index)] = result;
        return true;
    }

    const int total = int(rows.size());
    const bool showProgress = progress && total > 200;
    if (showProgress) progress->Start(total);

    // Links that a source fills with its own identifiers follow the rows imported in this run.
    struct Link {
        QString field;
        int from;
    };
    std::vector<Link> links;
    if (index == Invoices) links.push_back({QStringLiteral("CustomerID"), Customers});
    if (index == InvoiceItems) {
        links.push_back({QStringLiteral("InvoiceID"), Invoices});
        links.push_back({QStringLiteral("StoreItemID"), StoreItems});
    }

    std::vector<int> stored;
    QHash<qint64, int> idFromSource;
    std::vector<QVariant> values(def.fields.size());
    CRow row(def, values);
    const int idField = row.Index("ID");
    if (idField < 0) {
        Message(QStringLiteral("Error accessing destination database table."));
        return false;
    }
    try {
        db::Transaction tx(database);
        const CQuorvaneDoc::Counter counter = IDCounter(index);
        int nextID = std::max(m_doc.GetCounter(counter), 1);
        int nextNumber = index == Customers ? m_doc.GetCounter(CQuorvaneDoc::CustomerNbr) : 0;
        int nextInvoiceNumber = index == Invoices ? m_doc.GetCounter(CQuorvaneDoc::InvoiceNbr) : 0;
        int nextGroup = index == Invoices ? m_doc.GetCounter(CQuorvaneDoc::InvoiceGroupID) : 0;
        std::unordered_map<int, int> customerOfNumber;
        std::unordered_map<int, int> invoiceOfNumber;
        std::unordered_map<int, int> numberOfInvoice;
        std::unordered_map<int, int> numberOfCustomer;
        if (index == Invoices) {
            customerOfNumber = FirstIDByValue(database, QStringLiteral("Customer"), QStringLiteral("CustomerNbr"));
            for (const auto& [number, id] : customerOfNumber) numberOfCustomer.emplace(id, number);
        }
        if (index == InvoiceItems) {
            invoiceOfNumber = FirstIDByValue(database, QStringLiteral("Invoice"), QStringLiteral("InvoiceNumber"));
            db::Recordset all(database);
            all.open(Select(QStringLiteral("Invoice")));
            for (all.moveFirst(); !all.isEOF(); all.moveNext())
                numberOfInvoice[all.intValue(kID)] = all.intValue(QStringLiteral("InvoiceNumber"));
        }
        db::Recordset rs(database);
        rs.open(Select(destTable));
        int count = 0;
        int shown = 0;
        for (const std::vector<QVariant>& source : rows) {
            ++count;
            if (showProgress) {
                if (progress->EscapePressed()) {
                    result.stopped = true;
                    break;
                }
                const int percent = int(double(count) / total * 100.0);
                if (percent >= shown + 5) {
                    progress->Show(percent);
                    shown = percent;
                }
            }
            if (std::all_of(source.begin(), source.end(), import::IsBlankValue)) {
                ++result.dropped;
                continue;
            }
            for (size_t i = 0; i < def.fields.size(); ++i) {
                switch (def.fields[i].type) {
                case db::Type::Text: values[i] = QStringLiteral(" "); break;
                case db::Type::Double:
                case db::Type::Date: values[i] = 0.0; break;
                default: values[i] = 0; break;
                }
            }
            if (nextID == CQuorvaneDoc::kCounterMax)
                throw db::Error(QStringLiteral("No identifiers are left for the table %1.").arg(destTable));
            const int id = nextID++;
            values[size_t(idField)] = id;
            for (size_t i = 0; i < maps.size(); ++i) {
                const auto v = import::ConvertValue(source[i], maps[i].from, maps[i].to, maps[i].size);
                if (!v) continue;
                if (int(i) == idMap) {
                    // The identifier stays the counter's; the source's one is kept for the links.
                    idFromSource.insert(v->toLongLong(), id);
                    continue;
                }
                values[size_t(maps[i].dest)] = *v;
            }
            for (const Link& link : links) {
                const int at = row.Index(link.field.toLatin1().constData());
                if (at < 0 || !m_imported[size_t(link.from)]) continue;
                // An identifier of the other program means nothing here unless its row came in
                // this run; re-linking by number or code finds the others.
                values[size_t(at)] = m_idFromSource[size_t(link.from)].value(values[size_t(at)].toInt(), 0);
            }
            switch (index) {
            case StoreItems: ValidateItemRow(row); break;
            case Customers: {
                int number = row.I("CustomerNbr");
                if (number <= 0) {
                    number = nextNumber;
                    row.Set("CustomerNbr", number);
                    ++result.numbered;
                }
                if (number >= nextNumber) nextNumber = number < CQuorvaneDoc::kCounterMax ? number + 1 : number;
                break;
            }
            case Invoices: {
                ValidateInvoiceRow(row);
                const int number = row.I("InvoiceNumber");
                if (number >= nextInvoiceNumber)
                    nextInvoiceNumber = number < CQuorvaneDoc::kCounterMax ? number + 1 : number;
                const int group = row.I("InvoiceGroupID");
                if (group >= nextGroup) nextGroup = group < CQuorvaneDoc::kCounterMax ? group + 1 : group;
                // An invoice without a customer number repeats its customer's.
                const auto ownNumber = numberOfCustomer.find(row.I("CustomerID"));
                if (row.I("CustomerNumber") == 0 && ownNumber != numberOfCustomer.end()) row.Set("CustomerNumber", ownNumber->second);
                const auto customer = customerOfNumber.find(row.I("CustomerNumber"));
                if (customer != customerOfNumber.end()) row.Set("CustomerID", customer->second);
                break;
            }
            case InvoiceItems: {
                const int quantity = std::max(row.I("Quantity"), 0);
                row.Set("Quantity", quantity);
                row.Set("BackOrderCnt", std::clamp(row.I("BackOrderCnt"), 0, quantity));
                // A line whose invoice is not there, or has another number, goes to the first
                // invoice of the project with its number.
                const int invoiceID = row.I("InvoiceID");
                const auto own = numberOfInvoice.find(invoiceID);
                if (row.I("InvoiceNumber") == 0 && own != numberOfInvoice.end()) row.Set("InvoiceNumber", own->second);
                const int number = row.I("InvoiceNumber");
                if (own == numberOfInvoice.end() || own->second != number) {
                    const auto byNumber = invoiceOfNumber.find(number);
                    if (byNumber != invoiceOfNumber.end()) row.Set("InvoiceID", byNumber->second);
                }
                break;
            }
            default: break;
            }
            rs.addNew();
            for (size_t i = 0; i < def.fields.size(); ++i) rs.setValue(int(i), values[i]);
            rs.update();
            stored.push_back(id);
        }
        m_doc.SetCounter(counter, nextID);
        if (index == Customers) m_doc.SetCounter(CQuorvaneDoc::CustomerNbr, nextNumber);
        if (index == Invoices) {
            m_doc.SetCounter(CQuorvaneDoc::InvoiceNbr, nextInvoiceNumber);
            m_doc.SetCounter(CQuorvaneDoc::InvoiceGroupID, nextGroup);
        }
        tx.commit();
    } catch (const db::Error& e) {
        Trace(10, e.description());
        if (showProgress) progress->Finish();
        Message(QStringLiteral("Error accessing destination database table.\n\n  %1 from %2 in %3\n%4")
                    .arg(destTable, table, m_sourcePath, e.description()));
        return false;
    }
    if (showProgress) progress->Finish();
    result.ok = true;
    result.rows = int(stored.size());
    m_results[size_t(index)] = result;
    m_imported[size_t(index)] = true;
    m_newIDs[size_t(index)].insert(m_newIDs[size_t(index)].end(), stored.begin(), stored.end());
    for (auto it = idFromSource.cbegin(); it != idFromSource.cend(); ++it)
        m_idFromSource[size_t(index)].insert(it.key(), it.value());
    Trace(10, QStringLiteral("  Imported %1 rows into %2 from %3; %4 blank rows dropped; %5 customers numbered%6\n")
                  .arg(result.rows)
                  .arg(destTable, table)
                  .arg(result.dropped)
                  .arg(result.numbered)
                  .arg(result.stopped ? QStringLiteral("; stopped by Escape") : QString()));
    return true;
}

// ---------------------------------------------------------------- after the copy

void CDatabaseImportMgr::FinishImport() {
    TraceName("FinishImport");
    db::Database& database = *m_doc.GetPtrDatabase();
    if (!database.isOpen()) return;
    bool duplicateCustomers = false;
    bool duplicateInvoices = false;
    try {
        db::Transaction tx(database);
        if (m_imported[InvoiceItems]) MatchItems();
        if (m_imported[Customers] || m_imported[Invoices]) RefreshCustomerTotals();
        // Numbers that another row already has: the lists warn about them.
        const auto duplicates = [&](int index, const QString& table, const QString& field) {
            if (m_newIDs[size_t(index)].empty()) return false;
            std::unordered_map<int, int> seen;
            db::Recordset rs(database);
            rs.open(Select(table));
            for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
                if (++seen[rs.intValue(field)] > 1) return true;
            return false;
        };
        duplicateCustomers = duplicates(Customers, QStringLiteral("Customer"), QStringLiteral("CustomerNbr"));
        duplicateInvoices = duplicates(Invoices, QStringLiteral("Invoice"), QStringLiteral("InvoiceNumber"));
        tx.commit();
    } catch (const db::Error& e) {
        Trace(10, e.description());
        Message(e.description());
    }
    if (duplicateCustomers)
        Message(QStringLiteral("WARNING!\n\nMore than one customer has\nthe same customer number.\n"
                               "Invoices will be assigned to\nthe first customer found."));
    if (duplicateInvoices)
        Message(QStringLiteral("WARNING!\n\nMore than one invoice has\nthe same invoice number.\n"
                               "Invoice items will be assigned to\nthe first invoice found."));
}

// Points the imported lines at their store items (by the item identifier where it names an
// item of the same code, else by code, the current store first) and completes their prices
// and descriptions. Throws db::Error.
void CDatabaseImportMgr::MatchItems() {
    db::Database& database = *m_doc.GetPtrDatabase();
    struct Item {
        int storeID;
        QString code;
        QString description;
        double base, discount, markup;
    };
    std::unordered_map<int, Item> items;
    std::vector<std::pair<int, QHash<QString, int>>> codes; // per store, in search order
    std::vector<int> storeIDs;
    {
        db::Recordset stores(database);
        stores.open(Select(QStringLiteral("Store")));
        for (stores.moveFirst(); !stores.isEOF(); stores.moveNext()) storeIDs.push_back(stores.intValue(kID));
    }
    const auto current = std::find(storeIDs.begin(), storeIDs.end(), m_storeID);
    if (current != storeIDs.end()) std::rotate(storeIDs.begin(), current, current + 1);
    for (int storeID : storeIDs) {
        const QString table = schema::StoreItemsTableName(storeID);
        if (!database.hasTable(table)) continue;
        QHash<QString, int> byCode;
        db::Recordset rs(database);
        rs.open(Select(table));
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
            const int id = rs.intValue(kID);
            const QString code = rs.textValue(QStringLiteral("ItemCode"));
            items.emplace(id, Item{storeID, code, rs.textValue(QStringLiteral("Description")),
                                   rs.doubleValue(QStringLiteral("BaseLinePrice")),
                                   rs.doubleValue(QStringLiteral("DiscountPrice")),
                                   rs.doubleValue(QStringLiteral("MarkupPrice"))});
            if (!byCode.contains(code)) byCode.insert(code, id);
        }
        codes.emplace_back(storeID, std::move(byCode));
    }
    std::unordered_map<int, bool> closed;
    {
        db::Recordset rs(database);
        rs.open(Select(QStringLiteral("Invoice")));
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
            closed.emplace(rs.intValue(kID), rs.intValue(QStringLiteral("Closed")) != 0);
    }
    db::Recordset rs(database);
    rs.open(Select(QStringLiteral("InvoiceItems")));
    for (const int id : m_newIDs[InvoiceItems]) {
        if (!rs.findFirst(QStringLiteral("ID = %1").arg(id))) continue;
        int storeID = rs.intValue(QStringLiteral("StoreID"));
        int itemID = rs.intValue(QStringLiteral("StoreItemID"));
        const QString code = rs.textValue(QStringLiteral("ItemCode"));
        const bool blank = code.trimmed().isEmpty();
        const auto held = itemID >= 1 ? items.find(itemID) : items.end();
        if (held != items.end() && (blank || held->second.code == code)) {
            storeID = held->second.storeID;
        } else if (!blank && !closed[rs.intValue(QStringLiteral("InvoiceID"))]) {
            for (const auto& [store, byCode] : codes) {
                const auto it = byCode.constFind(code);
                if (it == byCode.constEnd()) continue;
                storeID = store;
                itemID = it.value();
                break;
            }
        }
        const auto item = itemID >= 1 ? items.find(itemID) : items.end();
        if (item == items.end()) itemID = std::min(itemID, 0);
        QString description = rs.textValue(QStringLiteral("Description"));
        const double price = rs.doubleValue(QStringLiteral("Price"));
        double base = rs.doubleValue(QStringLiteral("BaseLinePrice"));
        double discount = rs.doubleValue(QStringLiteral("DiscountPrice"));
        double markup = rs.doubleValue(QStringLiteral("MarkupPrice"));
        // A line with one price keeps it whatever price choice its invoice makes.
        if (base == 0.0 && discount == 0.0 && markup == 0.0 && price > 0.0) base = discount = markup = price;
        if (item != items.end() && description.trimmed().size() < 2) description = item->second.description;
        rs.edit();
        rs.setValue(QStringLiteral("StoreID"), storeID);
        rs.setValue(QStringLiteral("StoreItemID"), itemID);
        rs.setValue(QStringLiteral("Description"), description.isEmpty() ? QStringLiteral(" ") : description);
        rs.setValue(QStringLiteral("BaseLinePrice"), base);
        rs.setValue(QStringLiteral("DiscountPrice"), discount);
        rs.setValue(QStringLiteral("MarkupPrice"), markup);
        rs.update();
    }
}

// The invoice count and balance due of every customer whose invoices the import touched.
// Throws db::Error.
void CDatabaseImportMgr::RefreshCustomerTotals() {
    db::Database& database = *m_doc.GetPtrDatabase();
    std::unordered_map<int, std::pair<int, double>> totals;
    for (const int id : m_newIDs[Customers]) totals.emplace(id, std::pair{0, 0.0});
    {
        db::Recordset rs(database);
        rs.open(Select(QStringLiteral("Invoice")));
        for (const int id : m_newIDs[Invoices])
            if (rs.findFirst(QStringLiteral("ID = %1").arg(id))) totals.emplace(rs.intValue(QStringLiteral("CustomerID")), std::pair{0, 0.0});
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
            const auto it = totals.find(rs.intValue(QStringLiteral("CustomerID")));
            if (it == totals.end()) continue;
            ++it->second.first;
            it->second.second += rs.doubleValue(QStringLiteral("InvoiceTotal")) - rs.doubleValue(QStringLiteral("AmountPaid"));
        }
    }
    db::Recordset customers(database);
    customers.open(Select(QStringLiteral("Customer")));
    for (const auto& [id, total] : totals) {
        if (!customers.findFirst(QStringLiteral("ID = %1").arg(id))) continue;
        customers.edit();
        customers.setValue(QStringLiteral("InvoiceCnt"), total.first);
        customers.setValue(QStringLiteral("BalanceDue"), total.second);
        customers.update();
    }
}

// ---------------------------------------------------------------- remembered mappings

QStringList CDatabaseImportMgr::RememberedMapping(int index, const QString& table, const QStringList& matched) {
    db::Database& database = *m_doc.GetPtrDatabase();
    QStringList out = matched;
    try {
        if (!database.isOpen() || !database.hasTable(kMappingTable)) return out;
        db::Recordset rs(database);
        rs.open(Select(kMappingTable));
        QHash<QString, QString> remembered;
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
            if (rs.intValue(QStringLiteral("Destination")) == index && rs.textValue(QStringLiteral("SourceTable")) == table)
                remembered.insert(rs.textValue(QStringLiteral("DestField")), rs.textValue(QStringLiteral("SourceField")));
        for (QString& line : out) {
            const QString dest = line.section(QLatin1Char('\t'), 0, 0);
            const auto it = remembered.constFind(dest);
            if (it == remembered.constEnd()) continue;
            QString source = kNoMatch;
            if (it.value() != kNoMatch) {
                const auto found = std::find_if(m_sourceEntries.cbegin(), m_sourceEntries.cend(), [&](const QString& s) {
                    return s.section(QLatin1Char('\t'), 0, 0) == it.value();
                });
                if (found == m_sourceEntries.cend()) continue; // the field is gone: the automatic match stands
                source = *found;
            }
            line = line.left(line.indexOf(QLatin1String("= ")) + 2) + source;
        }
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
    return out;
}

void CDatabaseImportMgr::RememberMapping(int index, const QString& table, const QStringList& mapping) {
    db::Database& database = *m_doc.GetPtrDatabase();
    if (!database.isOpen() || database.isReadOnly()) return;
    try {
        db::Transaction tx(database);
        // Made on first use: older project files open as before.
        if (!database.hasTable(kMappingTable)) {
            db::TableDef def{kMappingTable, {}};
            def.add(QStringLiteral("SourceTable"), db::Type::Text, 255)
                .add(QStringLiteral("Destination"), db::Type::Integer)
                .add(QStringLiteral("DestField"), db::Type::Text, 64)
                .add(QStringLiteral("SourceField"), db::Type::Text, 255);
            database.createTable(def);
        }
        db::Recordset rs(database);
        rs.open(Select(kMappingTable));
        for (rs.moveFirst(); !rs.isEOF();) {
            if (rs.intValue(QStringLiteral("Destination")) == index && rs.textValue(QStringLiteral("SourceTable")) == table.left(255))
                rs.remove();
            rs.moveNext();
        }
        for (const QString& line : mapping) {
            const int at = line.indexOf(QLatin1String("= "));
            if (at < 0) continue;
            rs.addNew();
            rs.setValue(QStringLiteral("SourceTable"), table.left(255));
            rs.setValue(QStringLiteral("Destination"), index);
            rs.setValue(QStringLiteral("DestField"), line.section(QLatin1Char('\t'), 0, 0).left(64));
            rs.setValue(QStringLiteral("SourceField"), line.mid(at + 2).section(QLatin1Char('\t'), 0, 0).left(255));
            rs.update();
        }
        tx.commit();
    } catch (const db::Error& e) {
        Trace(10, e.description());
    }
}

// ---------------------------------------------------------------- the whole import

void CDatabaseImportMgr::ImportDatabase(IImportUi& ui) {
    TraceName("ImportDatabase");
    CloseSource();
    m_imported = {};
    const QString line = ui.ChooseSourceLine();
    const int kind = KindOfLine(line);
    if (kind < 0) return;
    bool opened = false;
    if (kind == 0) {
        CPrompter::FileRequest request;
        request.filter = QStringLiteral("Microsoft Access files (*.mdb)|*.mdb|All Files (*.*)|*.*||");
        const QString path = m_prompter.GetOpenFileName(request);
        if (!path.isEmpty()) opened = OpenDaoDatabase(path);
    } else {
        const QString folder = ui.ChooseFolder();
        if (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
            Message(QStringLiteral("Path entered does not exist!\n\n   %1").arg(folder));
            return;
        }
        if (!folder.isEmpty()) opened = OpenIsamDatabase(folder, import::SourceKind(kind));
    }
    if (!opened) {
        CloseSource();
        return;
    }
    if (LoadSourceDatabaseTableNames() == 0) {
        Message(QStringLiteral("Unable to find any database tables."));
        CloseSource();
        return;
    }
    std::array<QString, 4> choices;
    choices.fill(kDoNotImport);
    if (!ui.MapTables(*this, choices)) {
        CloseSource();
        return;
    }
    for (int index = 0; index < IndexCount; ++index) {
        const QString& choice = choices[size_t(index)];
        if (choice == kDoNotImport || choice.isEmpty()) continue;
        if (!LoadDestinationTableEntryNames(index) || !LoadSourceTableEntryNames(choice)) continue;
        QStringList mapping = m_destEntries;
        if (!ui.MapEntries(*this, index, choice, mapping)) continue;
        RememberMapping(index, choice, mapping);
        if (!LoadSourceTableEntryNames(choice)) continue;
        m_destEntries = mapping;
        LoadSourceItems(index, choice, ui.Progress());
    }
    if (std::any_of(m_imported.begin(), m_imported.end(), [](bool b) { return b; })) {
        FinishImport();
        ui.RefreshLists(m_imported);
    }
    CloseSource();
}
