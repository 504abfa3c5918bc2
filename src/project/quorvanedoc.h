#pragma once

#include "db/database.h"
#include "db/recordset.h"
#include "lookup/listtable.h"
#include "project/tableowner.h"
#include "ui/prompter.h"

#include <QObject>
#include <QString>
#include <QVariantHash>
#include <array>
#include <functional>
#include <memory>

class CLookupTable;
class CDaoGroupedStringList;

// The one document: creates, verifies, opens and closes the project file, keeps the project's
// own row and the identifier counters, and owns the table owners that are not windows.
class CQuorvaneDoc : public QObject, public IIdentifierSource {
    Q_OBJECT
public:
    static constexpr int kProjectVersion = 1002;
    static constexpr int kDefaultBarPosition = 380;
    static constexpr int kDescriptionLength = 255;

    // The ten counters, in the order of the HighWater fields.
    enum Counter {
        CustomerID, CustomerNbr, InvoiceID, InvoiceNbr, InvoiceGroupID, InvItemsID, StoreID,
        StoreItemsID, LookupItemID, DaoStringListID, CounterCount
    };

    explicit CQuorvaneDoc(CPrompter* prompter = nullptr, QObject* parent = nullptr);
    ~CQuorvaneDoc() override;

    CPrompter& Prompter() override { return *m_prompter; }
    void SetPrompter(CPrompter* prompter);

    // The list windows hand themselves over; null restores the window-less owners.
    void SetListOwners(IListTableOwner* customers, IListTableOwner* invoices,
                       IListTableOwner* invoiceItems, IStoreTabsOwner* stores);
    IListTableOwner* GetCustomerOwner() const { return m_customers; }
    IListTableOwner* GetInvoiceOwner() const { return m_invoices; }
    IListTableOwner* GetInvoiceItemsOwner() const { return m_invoiceItems; }
    IStoreTabsOwner* GetStoreTabsOwner() const { return m_stores; }

    // ---- project file work
    struct NewProjectRequest {
        QString path;
        QString description;
        bool share = false;
        QString sharedFile;
    };
    // Creates the project the dialog described; shows the failure messages itself.
    bool CreateNewProject(const NewProjectRequest& request);
    bool OpenProject(const QString& path);
    // OpenProject with the failure handling of the Open command ("Failed to open project.").
    bool DoOpenProject(const QString& path);
    bool VerifyProject(const QString& path);
    bool OpenDatabase(const QString& path, bool primary);
    bool OpenDatabaseTables();
    void OnFileCloseProject();
    void DeleteContents();

    // ".qvp" is appended unless the path already contains it (case counts).
    static QString ProjectPathWithExtension(const QString& path);
    // "<folder>/NewProject_%d.qvp" with the first number not taken.
    static QString SuggestNewProjectName(const QString& folder);
    static const char* ProjectFileFilter() { return "Quorvane Files (*.qvp)|*.qvp|All Files (*.*)|*.*||"; }
    // The row of a new store: tab text "Store %d", shipping 0.01, the given table and list.
    static QVariantHash NewStoreValues(int storeID, int discTableID, int containerID);

    // ---- accessors
    db::Database* GetPtrDatabase() { return &m_primary; }
    db::Database* GetPtrSecondaryDatabase() { return &m_secondary; }
    CLookupTable* GetPtrLookupTable() { return m_lookup.get(); }
    CDaoGroupedStringList* GetPtrDiscTableNamesList() { return m_discTableNames.get(); }
    CDaoGroupedStringList* GetPtrContainerNamesList() { return m_containerNames.get(); }
    CDaoGroupedStringList* GetPtrContainers() { return m_containers.get(); }
    CDaoGroupedStringList* GetPtrColumnDefs();
    bool IsDatabaseOpen();
    bool IsProjectOpen() const { return m_primary.isOpen() || m_secondary.isOpen(); }
    bool IsVerifyOn() const { return m_verifyDelete; }
    int GetProjectVersion() const { return m_version; }
    int GetBarPosition() const { return m_barPosition; }
    void SetBarPosition(int height);
    bool IsShared() const { return m_shared; }
    const QString& GetSharedFileSpec() const { return m_sharedFileSpec; }
    const QString& GetDescription() const { return m_description; }
    // Stores the description (cut to 255 characters) and writes the user's Project row.
    void SetDescription(const QString& description);
    const QString& GetPathName() const { return m_pathName; }
    QString GetTitle() const;
    int GetDefaultDiscTableID() const { return m_defaultDiscTableID; }
    int GetDefaultContainerID() const { return m_defaultContainerID; }
    void OnToggleVerifyDelete();

    // ---- counters
    // Another user of the same file may have handed out values since: each getter and each
    // change reads the file's row again (inside the write transaction for a change), and a
    // counter never goes below what the file or this document already holds. Counters stop
    // at the largest 32-bit number rather than wrap.
    using Counters = std::array<int, CounterCount>;
    static constexpr int kCounterMax = 2147483647;
    int GetCounter(Counter c);
    void IncrementCounter(Counter c);
    // Raises the counter to value (never lowers it: the file may be shared).
    void SetCounter(Counter c, int value);
    // The counters as held in memory, without reading the file.
    const Counters& HeldCounters() const { return m_counters; }
    int GetHighWaterCustomerID() { return GetCounter(CustomerID); }
    int GetHighWaterCustomerNbr() { return GetCounter(CustomerNbr); }
    int GetHighWaterInvoiceID() { return GetCounter(InvoiceID); }
    int GetHighWaterInvoiceNbr() { return GetCounter(InvoiceNbr); }
    int GetHighWaterInvoiceGroupID() { return GetCounter(InvoiceGroupID); }
    int GetHighWaterInvItemsID() { return GetCounter(InvItemsID); }
    int GetHighWaterStoreID() { return GetCounter(StoreID); }
    int GetHighWaterStoreItemsID() { return GetCounter(StoreItemsID); }
    int GetHighWaterLookupItemID() { return GetCounter(LookupItemID); }
    int GetHighWaterDaoStringListID() { return GetCounter(DaoStringListID); }
    void IncrementCustomerID() { IncrementCounter(CustomerID); }
    void IncrementCustomerNbr() { IncrementCounter(CustomerNbr); }
    void IncrementInvoiceID() { IncrementCounter(InvoiceID); }
    void IncrementInvoiceNbr() { IncrementCounter(InvoiceNbr); }
    void IncrementInvoiceGroupID() { IncrementCounter(InvoiceGroupID); }
    void IncrementInvItemsID() { IncrementCounter(InvItemsID); }
    void IncrementStoreID() { IncrementCounter(StoreID); }
    void IncrementStoreItemsID() { IncrementCounter(StoreItemsID); }
    void IncrementLookupItemID() { IncrementCounter(LookupItemID); }
    void IncrementDaoStringListID() { IncrementCounter(DaoStringListID); }
    void SetCustomerNbr(int value) { SetCounter(CustomerNbr, value); }
    void SetInvoiceNbr(int value) { SetCounter(InvoiceNbr, value); }
    static const char* CounterFieldName(Counter c);
    // Reads the counter, stores a row under it with store(id) and counts it, in one write
    // transaction; an engine error is shown. False, with nothing stored, on any failure.
    bool StoreWithNewID(Counter c, const std::function<bool(int id)>& store);
    // The data tables' side of the counters.
    int GetTableCounter(TableCounter counter) override { return GetCounter(CounterOf(counter)); }
    void IncrementTableCounter(TableCounter counter) override { IncrementCounter(CounterOf(counter)); }
    bool StoreWithNewID(TableCounter counter, const std::function<bool(int id)>& store) override {
        return StoreWithNewID(CounterOf(counter), store);
    }
    // Raises each identifier counter above the largest identifier in its tables (a crash
    // between storing a row and counting it, or an older or damaged HighWater row, would
    // otherwise hand out a used one). ownFile holds the user's own ColumnDefs of a shared
    // project. Returns which counters were raised.
    static std::array<bool, CounterCount> RaiseCountersAboveTables(db::Database& data, db::Database* ownFile,
                                                                   Counters& counters);

    // ---- the HighWater table
    bool DefineDaoTable_HW(db::Database& database);
    bool OpenDaoRecordset_HW(db::Database& database);
    bool AddNewHighWaterRecord();
    bool XferToRecordset_HW();
    bool XferFromRecordset_HW();
    // Reads the file's row and raises the held counters to it (see the getters).
    void RefreshCounters();

signals:
    // The upper pane is collapsed while no project is open and restored otherwise.
    void upperPaneRequested(bool restore);
    void recentFileAdded(const QString& path);
    void waitCursorRequested(bool on);
    void allViewsUpdateRequested();

private:
    bool CreatePlainProject(const QString& path);
    bool CreateSharedProject(const QString& userPath, const QString& sharedPath);
    bool CreateProjectTable(db::Database& database, std::unique_ptr<db::Recordset>& recordset);
    bool CreateStep(const char* traceText, const char* failure, bool ok);
    bool XferToRecordset(db::Recordset& recordset);
    void XferFromRecordset(db::Recordset& recordset);
    bool WriteOwnProjectRow();
    bool OpenUserColumnDefs(bool create);
    void FailCreate(const QStringList& createdFiles);
    void ResetContents(); // every field of the document back to a new document's
    template <typename Change>
    void ChangeCounter(Counter c, Change&& change);
    static Counter CounterOf(TableCounter counter) {
        return counter == TableCounter::LookupItem ? LookupItemID : DaoStringListID;
    }
    bool RaiseCountersOnOpen();

    CPrompter* m_prompter;
    CRecordingPrompter m_silentPrompter;

    // Project row state
    int m_version = kProjectVersion;
    bool m_shared = false;
    QString m_sharedFileSpec;
    QString m_description;
    int m_barPosition = kDefaultBarPosition;
    bool m_verifyDelete = true;
    QString m_pathName;
    Counters m_counters{};
    std::uint64_t m_countersReadIn = 0; // the write transaction the counters were last read in
    int m_defaultDiscTableID = 1;
    int m_defaultContainerID = 2;

    db::Database m_primary;
    db::Database m_secondary;
    std::unique_ptr<db::Recordset> m_pRecordSet;    // Project row, primary
    std::unique_ptr<db::Recordset> m_pRecordSetSec; // Project row, the user's own file
    std::unique_ptr<db::Recordset> m_pRecordSetHW;  // HighWater, primary

    std::unique_ptr<CLookupTable> m_lookup;
    std::unique_ptr<CDaoGroupedStringList> m_discTableNames;
    std::unique_ptr<CDaoGroupedStringList> m_containerNames;
    std::unique_ptr<CDaoGroupedStringList> m_containers;
    std::unique_ptr<CDaoGroupedStringList> m_columnDefs;
    std::unique_ptr<CDaoGroupedStringList> m_userColumnDefs; // shared project only

    std::unique_ptr<CHeadlessListOwner> m_headlessCustomers;
    std::unique_ptr<CHeadlessListOwner> m_headlessInvoices;
    std::unique_ptr<CHeadlessListOwner> m_headlessInvoiceItems;
    std::unique_ptr<CHeadlessStoreTabs> m_headlessStores;
    IListTableOwner* m_customers = nullptr;
    IListTableOwner* m_invoices = nullptr;
    IListTableOwner* m_invoiceItems = nullptr;
    IStoreTabsOwner* m_stores = nullptr;
};
