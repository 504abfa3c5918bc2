#include "quorvanedoc.h"

#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
#include "project/schema.h"
#include "trace/tracesink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
        this, QStringLiteral("CInvoiceItemsListCtrl"), schema::InvoiceItems(), QStringLiteral("item"),
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

void CQuorvaneDoc::IncrementCounter(Counter c) {
    ++m_counters[c];
    XferToRecordset_HW();
}

void CQuorvaneDoc::SetCounter(Counter c, int value) {
    m_counters[c] = value;
    XferToRecordset_HW();
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
