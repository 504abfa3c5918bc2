#include "quorvanedoc.h"

#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
#include "project/schema.h"
#include "trace/tracesink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <optional>

namespace {

const char* const kCounterFields[CQuorvaneDoc::CounterCount] = {
    "HighWaterCustomerID",     "HighWaterCustomerNbr",  "HighWaterInvoiceID",
    "HighWaterInvoiceNbr",     "HighWaterInvoiceGroupID", "HighWaterInvItemsID",
    "HighWaterStoreID",        "HighWaterStoreItemsID", "HighWaterLookupItemID",
    "HighWaterDaoStringListID"};


} // namespace

CQuorvaneDoc::CQuorvaneDoc(CPrompter* prompter, QObject* parent)
    : QObject(parent), m_prompter(prompter ? prompter : &m_silentPrompter) {
    m_counters.fill(1);
    m_lookup = std::make_unique<CLookupTable>(this);
    m_discTableNames = std::make_unique<CDaoGroupedStringList>(this, QStringLiteral("DiscTableNamesList"));
    m_containerNames = std::make_unique<CDaoGroupedStringList>(this, QStringLiteral("ContainerNamesList"));
    m_containers = std::make_unique<CDaoGroupedStringList>(this, QStringLiteral("ContainerList"));
    m_columnDefs = std::make_unique<CDaoGroupedStringList>(this, QStringLiteral("ColumnDefs"));
    m_headlessCustomers = std::make_unique<CHeadlessListOwner>(
        this, QStringLiteral("CCustomerListCtrl"), schema::Customer(), QStringLiteral("customer"),
        CustomerColumnSet(), kCustomerColumnGroup);
    m_headlessInvoices = std::make_unique<CHeadlessListOwner>(
        this, QStringLiteral("CInvoicesListCtrl"), schema::Invoice(), QStringLiteral("invoice"),
        InvoiceColumnSet(), kInvoiceColumnGroup);
    m_headlessInvoiceItems = std::make_unique<CHeadlessListOwner>(
        this, QStringLiteral("CInvoiceItemsListCtrl"), schema::InvoiceItems(), QStringLiteral("Invoice Items"),
        InvoiceItemColumnSet(), kInvoiceItemColumnGroup);
    m_headlessStores = std::make_unique<CHeadlessStoreTabs>(this);
    SetListOwners(nullptr, nullptr, nullptr, nullptr);
}

CQuorvaneDoc::~CQuorvaneDoc() {
    if (IsProjectOpen()) OnFileCloseProject();
}

void CQuorvaneDoc::SetPrompter(CPrompter* prompter) {
    m_prompter = prompter ? prompter : &m_silentPrompter;
}

void CQuorvaneDoc::SetListOwners(IListTableOwner* customers, IListTableOwner* invoices,
                                 IListTableOwner* invoiceItems, IStoreTabsOwner* stores) {
    m_customers = customers ? customers : m_headlessCustomers.get();
    m_invoices = invoices ? invoices : m_headlessInvoices.get();
    m_invoiceItems = invoiceItems ? invoiceItems : m_headlessInvoiceItems.get();
    m_stores = stores ? stores : m_headlessStores.get();
}

QString CQuorvaneDoc::ProjectPathWithExtension(const QString& path) {
    return path.contains(QLatin1String(".qvp")) ? path : path + QStringLiteral(".qvp");
}

QString CQuorvaneDoc::SuggestNewProjectName(const QString& folder) {
    for (int n = 1;; ++n) {
        const QString candidate = QDir(folder).filePath(QStringLiteral("NewProject_%1.qvp").arg(n));
        if (!QFileInfo::exists(candidate)) return candidate;
    }
}

QVariantHash CQuorvaneDoc::NewStoreValues(int storeID, int discTableID, int containerID) {
    return {{QStringLiteral("ID"), storeID},
            {QStringLiteral("DiscTableID"), discTableID},
            {QStringLiteral("ContainerID"), containerID},
            {QStringLiteral("ShippingCost"), 0.01},
            {QStringLiteral("StoreTabName"), QStringLiteral("Store %1").arg(storeID)},
            {QStringLiteral("TrackStockQty"), 0}};
}

const char* CQuorvaneDoc::CounterFieldName(Counter c) { return kCounterFields[c]; }

CDaoGroupedStringList* CQuorvaneDoc::GetPtrColumnDefs() {
    Trace(20, QStringLiteral("CQuorvaneDoc::GetPtrColumnDefs()"));
    if (m_shared && m_userColumnDefs) return m_userColumnDefs.get();
    return m_columnDefs.get();
}

bool CQuorvaneDoc::IsDatabaseOpen() {
    Trace(2, QStringLiteral("CQuorvaneDoc::IsDatabaseOpen()"));
    return m_primary.isOpen();
}

QString CQuorvaneDoc::GetTitle() const {
    return m_pathName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(m_pathName).fileName();
}

// ---------------------------------------------------------------- the Project row

bool CQuorvaneDoc::XferToRecordset(db::Recordset& rs) {
    Trace(20, QStringLiteral("CQuorvaneDoc::XferToRecordset()"));
    try {
        rs.edit();
        rs.setValue(QStringLiteral("Version"), m_version);
        rs.setValue(QStringLiteral("Shared"), m_shared ? 1 : 0);
        rs.setValue(QStringLiteral("SharedFileSpec"), CRecordTable::Blank(m_sharedFileSpec));
        rs.setValue(QStringLiteral("Description"), CRecordTable::Blank(m_description.left(kDescriptionLength)));
        rs.setValue(QStringLiteral("BarPosition"), m_barPosition);
        rs.setValue(QStringLiteral("VerifyDelete"), m_verifyDelete ? 1 : 0);
        rs.update();
        return true;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::XferToRecordset()"));
        Trace(10, e.description());
        if (rs.isOpen() && rs.editMode() != db::Recordset::NoEdit) rs.cancelUpdate();
        return false;
    }
}

void CQuorvaneDoc::XferFromRecordset(db::Recordset& rs) {
    Trace(20, QStringLiteral("CQuorvaneDoc::XferFromRecordset()"));
    m_version = rs.intValue(QStringLiteral("Version"));
    m_shared = rs.intValue(QStringLiteral("Shared")) != 0;
    // A stored blank stands for an empty text.
    m_sharedFileSpec = rs.textValue(QStringLiteral("SharedFileSpec")).trimmed();
    m_description = rs.textValue(QStringLiteral("Description"));
    if (m_description == QLatin1String(" ")) m_description.clear();
    m_barPosition = rs.intValue(QStringLiteral("BarPosition"));
    m_verifyDelete = rs.intValue(QStringLiteral("VerifyDelete")) != 0;
}

bool CQuorvaneDoc::WriteOwnProjectRow() {
    db::Recordset* rs = m_secondary.isOpen() ? m_pRecordSetSec.get() : m_pRecordSet.get();
    return rs && rs->isOpen() && XferToRecordset(*rs);
}

void CQuorvaneDoc::SetBarPosition(int height) {
    Trace(20, QStringLiteral("CQuorvaneDoc::SetBarPosition()"));
    m_barPosition = height;
    WriteOwnProjectRow();
}

void CQuorvaneDoc::SetDescription(const QString& description) {
    Trace(20, QStringLiteral("CQuorvaneDoc::SetDescription()"));
    m_description = description.left(kDescriptionLength);
    WriteOwnProjectRow();
}

void CQuorvaneDoc::OnToggleVerifyDelete() {
    Trace(20, QStringLiteral("CQuorvaneDoc::OnToggleVerifyDelete()"));
    m_verifyDelete = !m_verifyDelete;
    WriteOwnProjectRow();
}

bool CQuorvaneDoc::CreateProjectTable(db::Database& database, std::unique_ptr<db::Recordset>& rs) {
    Trace(20, QStringLiteral("CQuorvaneDoc::DefineDaoTable()"));
    try {
        database.createTable(schema::Project());
        rs = std::make_unique<db::Recordset>(database);
        rs->open(QStringLiteral("select * from [Project]"));
        rs->addNew();
        rs->update();
        rs->moveFirst();
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::DefineDaoTable()"));
        Trace(10, e.description());
        rs.reset();
        return false;
    }
    return XferToRecordset(*rs);
}

// ---------------------------------------------------------------- counters

int CQuorvaneDoc::GetCounter(Counter c) {
    RefreshCounters();
    return m_counters[c];
}

void CQuorvaneDoc::RefreshCounters() {
    if (!m_pRecordSetHW || !m_pRecordSetHW->isOpen()) return;
    // Holding the write lock since the last read, nobody else can have changed the row.
    const bool locked = m_primary.transactionDepth() > 0;
    if (locked && m_countersReadIn == m_primary.transactionSerial()) return;
    try {
        m_pRecordSetHW->requery();
        m_pRecordSetHW->moveLast();
        for (int c = 0; c < CounterCount; ++c) {
            const int inFile = m_pRecordSetHW->intValue(QString::fromLatin1(kCounterFields[c]));
            m_counters[size_t(c)] = std::max(m_counters[size_t(c)], inFile);
        }
        m_countersReadIn = locked ? m_primary.transactionSerial() : 0;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::RefreshCounters()"));
        Trace(10, e.description());
    }
}

// One write transaction: read the row again, change the one counter, write only its field.
template <typename Change>
void CQuorvaneDoc::ChangeCounter(Counter c, Change&& change) {
    Trace(20, QStringLiteral("CQuorvaneDoc::XferToRecordset_HW()"));
    bool changed = false;
    try {
        if (!m_pRecordSetHW || !m_pRecordSetHW->isOpen()) throw db::Error(QStringLiteral("No HighWater row is open."));
        // Inside a caller's transaction the write lock is held already (a bulk copy counts each
        // row there); otherwise the change takes it for itself.
        std::optional<db::Transaction> tx;
        if (m_primary.transactionDepth() == 0) tx.emplace(m_primary);
        RefreshCounters();
        m_counters[c] = change(m_counters[c]);
        changed = true;
        m_pRecordSetHW->edit();
        m_pRecordSetHW->setValue(QString::fromLatin1(kCounterFields[c]), m_counters[c]);
        m_pRecordSetHW->update();
        if (tx) tx->commit();
    } catch (const db::Error& e) {
        // The in-memory counter keeps its value, so identifiers stay unique while open.
        if (!changed) m_counters[c] = change(m_counters[c]);
        Trace(10, QStringLiteral("CQuorvaneDoc::XferToRecordset_HW()"));
        Trace(10, e.description());
        if (m_pRecordSetHW && m_pRecordSetHW->isOpen() && m_pRecordSetHW->editMode() != db::Recordset::NoEdit)
            m_pRecordSetHW->cancelUpdate();
    }
}

bool CQuorvaneDoc::StoreWithNewID(Counter c, const std::function<bool(int id)>& store) {
    Trace(20, QStringLiteral("CQuorvaneDoc::StoreWithNewID()"));
    try {
        db::Transaction tx(m_primary);
        if (!store(GetCounter(c))) return false;
        IncrementCounter(c);
        tx.commit();
        return true;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::StoreWithNewID()"));
        Trace(10, e.description());
        m_prompter->MessageBox(e.description());
        return false;
    }
}

void CQuorvaneDoc::IncrementCounter(Counter c) {
    ChangeCounter(c, [c](int value) {
        if (value < kCounterMax) return value + 1;
        Trace(10, QStringLiteral("  %1 has reached its largest value.").arg(QLatin1String(kCounterFields[c])));
        return value;
    });
}

void CQuorvaneDoc::SetCounter(Counter c, int value) {
    ChangeCounter(c, [value](int held) { return std::max(held, value); });
}

std::array<bool, CQuorvaneDoc::CounterCount>
CQuorvaneDoc::RaiseCountersAboveTables(db::Database& data, db::Database* ownFile, Counters& counters) {
    std::array<bool, CounterCount> raised{};
    const QStringList tables = data.tableNames();
    auto raise = [&](Counter c, db::Database& database, const QString& table, const QString& field) {
        if (!database.tableNames().contains(table, Qt::CaseInsensitive)) return;
        const std::int64_t top = database.maxValue(table, field);
        const int next = int(std::min<std::int64_t>(top + 1, kCounterMax));
        if (next > counters[c]) {
            counters[c] = next;
            raised[c] = true;
        }
    };
    const QString id = QStringLiteral("ID");
    raise(CustomerID, data, QStringLiteral("Customer"), id);
    raise(InvoiceID, data, QStringLiteral("Invoice"), id);
    raise(InvoiceGroupID, data, QStringLiteral("Invoice"), QStringLiteral("InvoiceGroupID"));
    raise(InvItemsID, data, QStringLiteral("InvoiceItems"), id);
    raise(StoreID, data, QStringLiteral("Store"), id);
    raise(LookupItemID, data, QStringLiteral("Lookup"), id);
    for (const char* list : {"DiscTableNamesList", "ContainerNamesList", "ContainerList", "ColumnDefs"})
        raise(DaoStringListID, data, QString::fromLatin1(list), id);
    if (ownFile && ownFile->isOpen()) raise(DaoStringListID, *ownFile, QStringLiteral("ColumnDefs"), id);
    // Store item tables are named by their store: a table left without its store row still
    // takes its name, and every table shares the one item counter.
    static const QRegularExpression storeItems(QStringLiteral("^StoreItems_(\\d+)$"),
                                               QRegularExpression::CaseInsensitiveOption);
    for (const QString& table : tables) {
        const auto m = storeItems.match(table);
        if (!m.hasMatch()) continue;
        raise(StoreItemsID, data, table, id);
        const qint64 store = m.captured(1).toLongLong();
        if (store >= counters[StoreID] && store < kCounterMax) {
            counters[StoreID] = int(store + 1);
            raised[StoreID] = true;
        }
    }
    return raised;
}

bool CQuorvaneDoc::RaiseCountersOnOpen() {
    Counters counters = m_counters;
    std::array<bool, CounterCount> raised{};
    try {
        raised = RaiseCountersAboveTables(m_primary, m_shared ? &m_secondary : nullptr, counters);
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::OpenDatabaseTables()"));
        Trace(10, e.description());
        return false;
    }
    for (int c = 0; c < CounterCount; ++c)
        if (raised[size_t(c)]) {
            Trace(20, QStringLiteral("  %1 raised to %2 above the identifiers in use.")
                          .arg(QLatin1String(kCounterFields[c]))
                          .arg(counters[size_t(c)]));
            SetCounter(Counter(c), counters[size_t(c)]);
        }
    return true;
}

bool CQuorvaneDoc::DefineDaoTable_HW(db::Database& database) {
    Trace(20, QStringLiteral("CQuorvaneDoc::DefineDaoTable_HW()"));
    try {
        database.createTable(schema::HighWater());
        return true;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::DefineDaoTable_HW()"));
        Trace(10, e.description());
        return false;
    }
}

bool CQuorvaneDoc::OpenDaoRecordset_HW(db::Database& database) {
    Trace(20, QStringLiteral("CQuorvaneDoc::OpenDaoRecordset_HW()"));
    try {
        auto rs = std::make_unique<db::Recordset>(database);
        rs->open(QStringLiteral("select * from [HighWater]"));
        if (!rs->isEOF()) rs->moveLast();
        m_pRecordSetHW = std::move(rs);
        return true;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::OpenDaoRecordset_HW()"));
        Trace(10, e.description());
        return false;
    }
}

bool CQuorvaneDoc::AddNewHighWaterRecord() {
    Trace(20, QStringLiteral("CQuorvaneDoc::AddNewHighWaterRecord()"));
    if (!m_pRecordSetHW) return false;
    try {
        m_pRecordSetHW->addNew();
        m_pRecordSetHW->update();
        m_pRecordSetHW->moveFirst();
        return true;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::AddNewHighWaterRecord()"));
        Trace(10, e.description());
        return false;
    }
}

bool CQuorvaneDoc::XferToRecordset_HW() {
    Trace(20, QStringLiteral("CQuorvaneDoc::XferToRecordset_HW()"));
    if (!m_pRecordSetHW || !m_pRecordSetHW->isOpen()) return false;
    try {
        m_pRecordSetHW->edit();
        for (int c = 0; c < CounterCount; ++c)
            m_pRecordSetHW->setValue(QString::fromLatin1(kCounterFields[c]), m_counters[size_t(c)]);
        m_pRecordSetHW->update();
        return true;
    } catch (const db::Error& e) {
        // The in-memory counter keeps its value, so identifiers stay unique while open.
        Trace(10, QStringLiteral("CQuorvaneDoc::XferToRecordset_HW()"));
        Trace(10, e.description());
        if (m_pRecordSetHW->editMode() != db::Recordset::NoEdit) m_pRecordSetHW->cancelUpdate();
        return false;
    }
}

bool CQuorvaneDoc::XferFromRecordset_HW() {
    Trace(20, QStringLiteral("CQuorvaneDoc::XferFromRecordset_HW()"));
    if (!m_pRecordSetHW || !m_pRecordSetHW->isOpen()) return false;
    try {
        for (int c = 0; c < CounterCount; ++c)
            m_counters[size_t(c)] = m_pRecordSetHW->intValue(QString::fromLatin1(kCounterFields[c]));
        return true;
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::XferFromRecordset_HW()"));
        Trace(10, e.description());
        return false;
    }
}
