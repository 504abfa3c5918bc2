#pragma once

#include "db/database.h"
#include "db/recordset.h"
#include "project/tableowner.h"
#include "ui/prompter.h"

#include <QObject>
#include <QString>
#include <QVariantHash>
#include <array>
#include <memory>

class CLookupTable;
class CDaoGroupedStringList;

// The one document: creates, verifies, opens and closes the project file, keeps the project's
// own row and the identifier counters, and owns the table owners that are not windows.
class CQuorvaneDoc : public QObject {
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

    CPrompter& Prompter() { return *m_prompter; }
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
    int GetCounter(Counter c) const { return m_counters[c]; }
    void IncrementCounter(Counter c);
    void SetCounter(Counter c, int value);
    int GetHighWaterCustomerID() const { return m_counters[CustomerID]; }
    int GetHighWaterCustomerNbr() const { return m_counters[CustomerNbr]; }
    int GetHighWaterInvoiceID() const { return m_counters[InvoiceID]; }
    int GetHighWaterInvoiceNbr() const { return m_counters[InvoiceNbr]; }
    int GetHighWaterInvoiceGroupID() const { return m_counters[InvoiceGroupID]; }
    int GetHighWaterInvItemsID() const { return m_counters[InvItemsID]; }
    int GetHighWaterStoreID() const { return m_counters[StoreID]; }
    int GetHighWaterStoreItemsID() const { return m_counters[StoreItemsID]; }
    int GetHighWaterLookupItemID() const { return m_counters[LookupItemID]; }
    int GetHighWaterDaoStringListID() const { return m_counters[DaoStringListID]; }
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

    // ---- the HighWater table
    bool DefineDaoTable_HW(db::Database& database);
    bool OpenDaoRecordset_HW(db::Database& database);
    bool AddNewHighWaterRecord();
    bool XferToRecordset_HW();
    bool XferFromRecordset_HW();

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
    std::array<int, CounterCount> m_counters{};
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
