#pragma once

#include "db/database.h"
#include "db/recordset.h"
#include "listwin/columndefs.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

class CQuorvaneDoc;

// Writes one row: add-new (or edit the current row), fill, update. An engine error cancels the
// change and goes to onError, so nothing is written half; the result tells whether it stored.
enum class RowWrite { Add, Edit };
template <typename Fill>
bool WriteRow(db::Recordset& rs, RowWrite how, Fill&& fill, const std::function<void(const db::Error&)>& onError) {
    try {
        if (how == RowWrite::Add) rs.addNew();
        else rs.edit();
        fill(rs);
        rs.update();
        return true;
    } catch (const db::Error& e) {
        if (rs.isOpen() && rs.editMode() != db::Recordset::NoEdit) rs.cancelUpdate();
        onError(e);
        return false;
    }
}

// What the document asks of the owner of a list's table (customers, invoices, invoice items).
// The list windows implement it; without windows the document uses CHeadlessListOwner.
class IListTableOwner {
public:
    virtual ~IListTableOwner() = default;
    virtual bool DefineDaoTable(db::Database& database) = 0;
    virtual bool OpenDaoRecordset(db::Database& database) = 0;
    virtual void CleanUp() = 0;
    virtual bool CanProceed() const = 0;
    virtual void SetupDefaultColumns() = 0;
    virtual void ActivateListCtrlColumns() = 0;
    virtual void SaveColumnDefinitions() = 0;
    virtual void LoadColumnDefinitions() = 0;
    virtual void RefreshListCtrlFromRecordset() = 0;
};

// What the document asks of the owner of the Store table (the store tabs).
class IStoreTabsOwner {
public:
    virtual ~IStoreTabsOwner() = default;
    virtual bool DefineDaoTable(db::Database& database) = 0;
    virtual bool OpenDaoRecordset(db::Database& database) = 0;
    virtual void CleanUp() = 0;
    virtual bool CanProceed() const = 0;
    // Adds a store; the first store of a project is added without asking.
    virtual void OnEditAddItem() = 0;
    virtual void RefreshTabCtrlFromRecordset() = 0;
    virtual int GetStoreCount() const = 0;
    // A store whose row and item table were stored by someone else (the store import) joins
    // the owner: its list is made and, with windows, its tab is shown and selected. False when
    // its list could not be made.
    virtual bool AddStoredStore(int id) = 0;
};

// The owner's side of one table: its definition and its main recordset.
class CRecordTable {
public:
    // ownerName prefixes the traces ("CCustomerListCtrl"); countLabel names the rows in the
    // count trace ("customer" gives "  customer Count = %d  Fields = %d\n").
    CRecordTable(QString ownerName, db::TableDef def, QString countLabel);

    const db::TableDef& Definition() const { return m_def; }
    void SetDefinition(db::TableDef def) { m_def = std::move(def); }
    const QString& TableName() const { return m_def.name; }

    bool DefineDaoTable(db::Database& database);
    bool OpenDaoRecordset(db::Database& database);
    void CloseRecordset() { m_pRecordSet.reset(); }
    bool CanProceed() const { return m_pRecordSet && m_pRecordSet->isOpen(); }
    db::Recordset* GetPtrRecordset() const { return m_pRecordSet.get(); }
    // False for an ID below 0, no match, or an engine error.
    bool ActivateRecordInRecordset(int id);

    // Adds a row with every field written: values by field name, empty texts as " ",
    // fields not given as 0 or " ". Throws db::Error.
    void AddRow(const QVariantHash& values);

    // An empty text is stored as a single blank.
    static QString Blank(const QString& text) { return text.isEmpty() ? QStringLiteral(" ") : text; }

private:
    QString m_owner;
    db::TableDef m_def;
    QString m_countLabel;
    std::unique_ptr<db::Recordset> m_pRecordSet;
};

// A list's table and column layout without a window: what the document uses when no views
// are attached (the command-line tool, tests of the project file).
class CHeadlessListOwner : public IListTableOwner {
public:
    CHeadlessListOwner(CQuorvaneDoc* doc, QString ownerName, db::TableDef def, QString countLabel,
                       const ListColumnSet& columnSet, int group);

    bool DefineDaoTable(db::Database& database) override { return m_table.DefineDaoTable(database); }
    bool OpenDaoRecordset(db::Database& database) override { return m_table.OpenDaoRecordset(database); }
    void CleanUp() override;
    bool CanProceed() const override { return m_table.CanProceed(); }
    void SetupDefaultColumns() override { m_columns.SetupDefaultColumns(); }
    void ActivateListCtrlColumns() override { m_columns.ApplyColumnSlots(); }
    void SaveColumnDefinitions() override;
    void LoadColumnDefinitions() override;
    void RefreshListCtrlFromRecordset() override {}

    CRecordTable& Table() { return m_table; }
    CListColumns& Columns() { return m_columns; }

private:
    CQuorvaneDoc* m_pDoc;
    CRecordTable m_table;
    CListColumns m_columns;
};

// The Store table and one item table per store, without windows.
class CHeadlessStoreTabs : public IStoreTabsOwner {
public:
    explicit CHeadlessStoreTabs(CQuorvaneDoc* doc);
    ~CHeadlessStoreTabs() override;

    bool DefineDaoTable(db::Database& database) override { return m_table.DefineDaoTable(database); }
    bool OpenDaoRecordset(db::Database& database) override { return m_table.OpenDaoRecordset(database); }
    void CleanUp() override;
    bool CanProceed() const override { return m_table.CanProceed(); }
    void OnEditAddItem() override;
    void RefreshTabCtrlFromRecordset() override;
    int GetStoreCount() const override { return int(m_lists.size()); }
    bool AddStoredStore(int id) override;

    CRecordTable& Table() { return m_table; }
    CHeadlessListOwner* GetStoreList(int index) { return m_lists.at(size_t(index)).get(); }

private:
    bool AddStoreListControl(int storeID, bool create);

    CQuorvaneDoc* m_pDoc;
    CRecordTable m_table;
    std::vector<std::unique_ptr<CHeadlessListOwner>> m_lists;
};
