#pragma once

#include "import/source.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <utility>
#include <vector>

class CQuorvaneDoc;
class CPrompter;

// Progress of a long copy; Escape stops it. The window implementation shows the progress dialog.
class IImportProgress {
public:
    virtual ~IImportProgress() = default;
    virtual void Start(int total) = 0;
    virtual void Show(int percent) = 0;
    // True when the person pressed Escape since the last call.
    virtual bool EscapePressed() = 0;
    virtual void Finish() = 0;
};

class CDatabaseImportMgr;

// What the import asks of the person and of the windows: the dialogs and the lists to refresh.
class IImportUi {
public:
    virtual ~IImportUi() = default;
    // The chosen line of the source selection, empty when cancelled.
    virtual QString ChooseSourceLine() = 0;
    // A folder, empty when cancelled.
    virtual QString ChooseFolder() = 0;
    // Four source table names or "<do not import>"; false when cancelled.
    virtual bool MapTables(CDatabaseImportMgr& mgr, std::array<QString, 4>& choices) = 0;
    // Edits the destination entry list of index into mapping lines for the source table (whose
    // entries the manager holds); false when cancelled.
    virtual bool MapEntries(CDatabaseImportMgr& mgr, int index, const QString& table, QStringList& destination) = 0;
    virtual IImportProgress* Progress() = 0;
    // The lists of the imported tables show their rows again.
    virtual void RefreshLists(const std::array<bool, 4>& imported) = 0;
};

// Copies rows of an outside database into the store items of one store, the customers, the
// invoices and the invoice lines of the open project. No windows here: the dialogs come
// through IImportUi, messages through the prompter.
class CDatabaseImportMgr {
public:
    enum Index { StoreItems = 0, Customers = 1, Invoices = 2, InvoiceItems = 3, IndexCount = 4 };
    static constexpr int kMaxFields = 100;
    static const QString kDoNotImport;
    static const QString kNoMatch;

    // What one table's copy did.
    struct Result {
        bool ok = false;
        bool stopped = false; // Escape
        int rows = 0;         // stored
        int dropped = 0;      // entirely blank source rows
        int numbered = 0;     // customers given the next customer number
    };

    CDatabaseImportMgr(CQuorvaneDoc& doc, CPrompter& prompter);
    ~CDatabaseImportMgr();

    static QString Title(int index);
    static QString SourceLines(); // the six lines of the source selection
    // The kind a source selection line names, -1 for none.
    static int KindOfLine(const QString& line);
    // The automatic match of the mapping dialog: each destination line gets "\t= " and the
    // first source line it begins (letter case ignored), else "<no match>".
    static QStringList MatchEntries(const QStringList& destination, const QStringList& sourceLines);

    // The store whose item table index 0 fills.
    void SetStoreID(int storeID) { m_storeID = storeID; }
    int StoreID() const { return m_storeID; }

    void ImportDatabase(IImportUi& ui);

    bool OpenDaoDatabase(const QString& path);
    bool OpenIsamDatabase(const QString& path, import::SourceKind kind);
    void CloseSource();
    bool IsSourceOpen() const { return m_source != nullptr; }
    int LoadSourceDatabaseTableNames();
    const QStringList& SourceTableNames() const { return m_tableNames; }
    bool LoadSourceTableEntryNames(const QString& table);
    QStringList* GetPtrSourceEntryNamesAndTypesList() { return &m_sourceEntries; }
    bool LoadDestinationTableEntryNames(int index);
    QStringList* GetPtrDestinationEntryList() { return &m_destEntries; }
    // A note when the source table had more fields than the import takes.
    const QString& FieldLimitNote() const { return m_fieldNote; }

    // Copies every row of the source table into the destination of index, in one transaction.
    bool LoadSourceItems(int index, const QString& table, IImportProgress* progress = nullptr);
    // Validates and re-links the rows imported so far, then the customers' totals.
    void FinishImport();
    const Result& LastResult(int index) const { return m_results[size_t(index)]; }
    bool Imported(int index) const { return m_imported[size_t(index)]; }

    // The mapping used last for this source table and destination (the destination entry
    // list with the remembered source lines), applied over the automatic match.
    QStringList RememberedMapping(int index, const QString& table, const QStringList& matched);
    void RememberMapping(int index, const QString& table, const QStringList& mapping);

private:
    struct FieldEntry {
        QString name;
        int type = 0;
        int size = 0;
    };
    QString DestinationTable(int index) const;
    void Message(const QString& text);
    void ValidateStoreItems();
    void ValidateCustomers();
    void ValidateInvoices();
    void MatchItems();
    void RefreshCustomerTotals();

    CQuorvaneDoc& m_doc;
    CPrompter& m_prompter;
    int m_storeID = -1;
    QString m_sourcePath;
    std::unique_ptr<import::Source> m_source;
    QStringList m_tableNames;
    QStringList m_sourceEntries;
    QStringList m_destEntries;
    std::vector<FieldEntry> m_sourceFields;
    std::vector<FieldEntry> m_destFields;
    QString m_fieldNote;
    std::array<Result, 4> m_results{};
    std::array<bool, 4> m_imported{};
    // The rows stored by this import, by table, and the source IDs they replaced.
    std::array<std::vector<int>, 4> m_newIDs;
    std::array<QHash<qint64, int>, 4> m_idFromSource;
};
