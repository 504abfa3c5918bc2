#include "storeexchange.h"

#include "exchangesource.h"

#include "db/database.h"
#include "db/recordset.h"
#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
#include "project/quorvanedoc.h"
#include "project/schema.h"
#include "project/tableowner.h"
#include "trace/tracesink.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <utility>

namespace {

const QString kID = QStringLiteral("ID");
const QString kStore = QStringLiteral("Store");
const QString kFileVersion = QStringLiteral("FileVersion");
const QString kVersion = QStringLiteral("Version");
const QString kItemsPrefix = QStringLiteral("StoreItems_");

// A step that failed without an engine error of its own (a list's import said no).
struct StepFailed {};

QString Select(const QString& table) { return QStringLiteral("select * from [%1]").arg(table); }

QString ExportFailureText(const char* part) {
    return QStringLiteral("An error occurred while exporting\n%1").arg(QLatin1String(part));
}

db::TableDef VersionTable() {
    db::TableDef def{kFileVersion, {}};
    def.add(kVersion, db::Type::Integer);
    return def;
}

// The fields two recordsets share, by name: (index in `to`, index in `from`).
std::vector<std::pair<int, int>> CommonFields(const db::Recordset& to, const db::Recordset& from) {
    std::vector<std::pair<int, int>> pairs;
    for (int t = 0; t < to.fieldCount(); ++t) {
        const int f = from.fieldIndex(to.fields()[size_t(t)].name);
        if (f >= 0) pairs.emplace_back(t, f);
    }
    return pairs;
}

// A project row leaves no field Null and no text empty, whatever the file held.
QVariant Filled(const db::FieldDef& field, const QVariant& v) {
    if (field.type == db::Type::Text) {
        const QString s = v.isNull() ? QString() : v.toString();
        return s.isEmpty() ? QStringLiteral(" ") : s;
    }
    return v.isValid() && !v.isNull() ? v : QVariant(0);
}

// Copies the current row of `from` into a new row of `to` whose ID is `id`; fields the file
// lacks get a blank or 0.
void AddCopy(db::Recordset& to, const db::Recordset& from, const std::vector<int>& fromIndex, int id) {
    to.addNew();
    for (int t = 0; t < to.fieldCount(); ++t) {
        const db::FieldDef& f = to.fields()[size_t(t)];
        if (f.name.compare(kID, Qt::CaseInsensitive) == 0) to.setValue(t, id);
        else to.setValue(t, Filled(f, fromIndex[size_t(t)] >= 0 ? from.value(fromIndex[size_t(t)]) : QVariant()));
    }
    to.update();
}

std::vector<int> SourceIndexes(const db::Recordset& to, const db::Recordset& from) {
    std::vector<int> index(size_t(to.fieldCount()), -1);
    for (const auto& [t, f] : CommonFields(to, from)) index[size_t(t)] = f;
    return index;
}

// A shared list is narrowed to the exported store's table or list while it is copied; it
// shows what it showed before afterwards.
class FilterKeeper {
public:
    explicit FilterKeeper(CListTable& table) : m_table(table) {
        if (const db::Recordset* rs = table.GetPtrRecordset()) m_filter = rs->filter();
    }
    ~FilterKeeper() {
        db::Recordset* rs = m_table.GetPtrRecordset();
        if (!rs) return;
        try {
            rs->setFilter(m_filter);
            rs->requery();
            if (!rs->isEOF()) rs->moveLast();
        } catch (const db::Error& e) {
            Trace(10, e.description());
        }
    }
    FilterKeeper(const FilterKeeper&) = delete;
    FilterKeeper& operator=(const FilterKeeper&) = delete;

private:
    CListTable& m_table;
    QString m_filter;
};

// A requery that fails leaves the list unfiltered; the import must not go on against all rows.
void RequireFilter(CListTable& table, const QString& filter) {
    const db::Recordset* rs = table.GetPtrRecordset();
    if (!rs || rs->filter() != filter) throw db::Error(QStringLiteral("The list could not be narrowed to %1.").arg(filter));
}

// ---------------------------------------------------------------- export steps

void WriteVersionToStoreMdb(db::Database& file, int version) {
    Trace(20, QStringLiteral("CStoreTabCtrl::WriteVersionToStoreMdb()"));
    file.createTable(VersionTable());
    db::Recordset rs(file);
    rs.open(Select(kFileVersion));
    rs.addNew();
    rs.setValue(kVersion, version);
    rs.update();
}

void WriteStoreInfoToStoreMdb(db::Database& file, const db::Recordset& store) {
    Trace(20, QStringLiteral("CStoreTabCtrl::WriteStoreInfoToStoreMdb()"));
    file.createTable(schema::Store());
    db::Recordset rs(file);
    rs.open(Select(kStore));
    rs.addNew();
    for (const auto& [t, f] : CommonFields(rs, store)) rs.setValue(t, store.value(f));
    rs.update();
}

void ExportStoreListToMdb(db::Database& project, db::Database& file, int storeID, const std::vector<int>& order) {
    Trace(20, QStringLiteral("CStoreListCtrl::ExportStoreListToMdb()"));
    const db::TableDef def = schema::StoreItems(storeID);
    file.createTable(def);
    db::Recordset from(project);
    from.open(Select(def.name));
    db::Recordset to(file);
    to.open(Select(def.name));
    const auto pairs = CommonFields(to, from);
    if (from.recordCount() == 0) return;
    auto writeCurrent = [&] {
        to.addNew();
        for (const auto& [t, f] : pairs) to.setValue(t, from.value(f));
        to.update();
    };
    if (order.empty()) {
        for (from.moveFirst(); !from.isEOF(); from.moveNext()) writeCurrent();
        return;
    }
    // The list's order: rows are read once in table order and written in the order shown.
    std::vector<std::vector<QVariant>> rows;
    rows.reserve(size_t(from.recordCount()));
    QHash<int, size_t> byID;
    const int idIndex = from.fieldIndex(kID);
    for (from.moveFirst(); !from.isEOF(); from.moveNext()) {
        std::vector<QVariant> row;
        row.reserve(pairs.size());
        for (const auto& pair : pairs) row.push_back(from.value(pair.second));
        byID.insert(from.value(idIndex).toInt(), rows.size());
        rows.push_back(std::move(row));
    }
    std::vector<char> written(rows.size(), 0);
    auto write = [&](size_t i) {
        if (written[i]) return;
        written[i] = 1;
        to.addNew();
        for (size_t k = 0; k < pairs.size(); ++k) to.setValue(pairs[k].first, rows[i][k]);
        to.update();
    };
    for (int id : order) {
        const auto it = byID.constFind(id);
        if (it != byID.constEnd()) write(*it);
    }
    for (size_t i = 0; i < rows.size(); ++i) write(i);
}

// ---------------------------------------------------------------- import steps

enum class FileKind { None, SQLite, Access };

// An SQLite file is read as it is; an Access file (what older programs wrote) through the
// Access reader; anything else is refused here, naming the file.
FileKind CheckFileKind(const QString& path, QString& error) {
    QFile f(path);
    if (!f.exists()) {
        error = QStringLiteral("Could not find file '%1'.").arg(path);
        return FileKind::None;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("The file\n%1\ncannot be read.").arg(path);
        return FileKind::None;
    }
    const QByteArray head = f.read(32);
    if (head.startsWith(QByteArray("SQLite format 3\0", 16))) return FileKind::SQLite;
    const QByteArray engine = head.mid(4, 15);
    if (engine == "Standard Jet DB" || engine == "Standard ACE DB") return FileKind::Access;
    error = QStringLiteral("The file\n%1\nis not a store file.").arg(path);
    return FileKind::None;
}

bool ReadVersionFromStoreMdb(db::Database& file, int& version) {
    Trace(20, QStringLiteral("CStoreTabCtrl::ReadVersionFromStoreMdb()"));
    try {
        if (!file.hasTable(kFileVersion)) return false;
        db::Recordset rs(file);
        rs.open(Select(kFileVersion));
        if (rs.recordCount() == 0) return false;
        rs.moveFirst();
        const QVariant v = rs.value(kVersion);
        if (!v.isValid() || v.isNull()) return false;
        version = v.toInt();
        return true;
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
}

// Adds the file's store row under a new identifier; `row` is left open for the later steps.
int ReadStoreInfoFromStoreMdb(CQuorvaneDoc& doc, db::Database& file, db::Recordset& row) {
    Trace(20, QStringLiteral("CStoreTabCtrl::ReadStoreInfoFromStoreMdb()"));
    db::Recordset from(file);
    from.open(Select(kStore));
    if (from.recordCount() == 0) throw db::Error(QStringLiteral("The file holds no store."));
    from.moveFirst();
    const int id = doc.GetCounter(CQuorvaneDoc::StoreID);
    if (id == CQuorvaneDoc::kCounterMax) throw db::Error(QStringLiteral("No store identifiers are left."));
    row.open(Select(kStore));
    AddCopy(row, from, SourceIndexes(row, from), id);
    doc.IncrementCounter(CQuorvaneDoc::StoreID);
    return id;
}

void ImportStoreListFromStoreMdb(CQuorvaneDoc& doc, db::Database& file, db::Database& project, int storeID) {
    Trace(20, QStringLiteral("CStoreListCtrl::ImportStoreListFromStoreMdb()"));
    QString table;
    for (const QString& name : file.tableNames())
        if (name.startsWith(kItemsPrefix)) {
            table = name;
            break;
        }
    if (table.isEmpty()) throw db::Error(QStringLiteral("The file holds no store item table."));
    const db::TableDef def = schema::StoreItems(storeID);
    project.createTable(def);
    db::Recordset from(file);
    from.open(Select(table));
    db::Recordset to(project);
    to.open(Select(def.name));
    if (from.recordCount() == 0) return;
    const std::vector<int> index = SourceIndexes(to, from);
    // The write lock is held: the items take the counter's next values, counted once at the end.
    const int first = doc.GetCounter(CQuorvaneDoc::StoreItemsID);
    int next = first;
    for (from.moveFirst(); !from.isEOF(); from.moveNext()) {
        if (next == CQuorvaneDoc::kCounterMax) throw db::Error(QStringLiteral("No store item identifiers are left."));
        AddCopy(to, from, index, next++);
    }
    doc.SetCounter(CQuorvaneDoc::StoreItemsID, next);
}

} // namespace

namespace storeexchange {

QString SaveFilter() { return QStringLiteral("Quorvane store files (*.mdb)|*.mdb|"); }

QString OpenFilter() { return QStringLiteral("Quorvane store files (*.mdb)|*.mdb|All Files (*.*)|*.*||"); }

QString ImportFailureText(const char* part) {
    return QStringLiteral("An error occurred while importing\n%1").arg(QLatin1String(part));
}

} // namespace storeexchange

bool ExportStore(CQuorvaneDoc& doc, int storeID, const QString& file, QString& error, const std::vector<int>& itemOrder) {
    Trace(20, QStringLiteral("CStoreTabCtrl::ExportStoreAsMdb()"));
    error.clear();
    CLookupTable* lookup = doc.GetPtrLookupTable();
    CDaoGroupedStringList* discNames = doc.GetPtrDiscTableNamesList();
    CDaoGroupedStringList* containerNames = doc.GetPtrContainerNamesList();
    CDaoGroupedStringList* containers = doc.GetPtrContainers();
    if (!doc.IsDatabaseOpen() || !lookup->CanProceed() || !discNames->CanProceed() || !containerNames->CanProceed() ||
        !containers->CanProceed()) {
        error = QStringLiteral("No project is open.");
        return false;
    }
    if (file.isEmpty()) {
        error = QStringLiteral("No file was named.");
        return false;
    }
    db::Database& project = *doc.GetPtrDatabase();

    // The new file is written beside the old one and takes its place only when whole.
    QString scratch;
    {
        QTemporaryFile probe(file + QStringLiteral(".XXXXXX"));
        if (!probe.open()) {
            error = QStringLiteral("The file\n%1\ncannot be written.").arg(file);
            return false;
        }
        scratch = probe.fileName();
    }

    const char* part = "the store information.";
    bool whole = false;
    {
        db::Database out;
        try {
            db::Recordset store(project);
            store.open(Select(kStore));
            if (!store.findFirst(QStringLiteral("ID = %1").arg(storeID))) {
                error = QStringLiteral("There is no store %1 in this project.").arg(storeID);
                return false;
            }
            const int discTableID = store.intValue(QStringLiteral("DiscTableID"));
            const int containerID = store.intValue(QStringLiteral("ContainerID"));
            out.create(scratch, db::Journal::Shared);
            db::Transaction tx(out);
            WriteVersionToStoreMdb(out, doc.GetProjectVersion());
            WriteStoreInfoToStoreMdb(out, store);
            part = "the store product list.";
            ExportStoreListToMdb(project, out, storeID, itemOrder);
            // The shared lists may show another store's table or list (a dialog left them so):
            // the file gets the exported store's own.
            FilterKeeper keepContainers(*containers);
            FilterKeeper keepLookup(*lookup);
            containers->ReQueryRecordsetUsingGroup(containerID);
            RequireFilter(*containers, QStringLiteral("[Group] = %1").arg(containerID));
            lookup->ReQueryRecordsetUsingCategory(discTableID);
            RequireFilter(*lookup, QStringLiteral("[Category] = %1").arg(discTableID));
            part = "the container name(s).";
            if (!containerNames->ExportListToMdb(out, containerID)) throw StepFailed{};
            part = "the container entries.";
            if (!containers->ExportListToMdb(out, -1)) throw StepFailed{};
            part = "the discount table name(s).";
            if (!discNames->ExportListToMdb(out, discTableID)) throw StepFailed{};
            part = "the discount table.";
            if (!lookup->ExportTableToMdb(out)) throw StepFailed{};
            tx.commit();
            whole = true;
        } catch (const db::Error& e) {
            Trace(10, QStringLiteral("CStoreTabCtrl::ExportStoreAsMdb()"));
            Trace(10, e.description());
            error = ExportFailureText(part) + QStringLiteral("\n\n") + e.description();
        } catch (const StepFailed&) {
            error = ExportFailureText(part);
        }
        out.close();
    }
    if (!whole) {
        QFile::remove(scratch);
        return false;
    }
    if (QFile::exists(file) && !QFile::remove(file)) {
        QFile::remove(scratch);
        error = QStringLiteral("Unable to remove existing file.");
        return false;
    }
    if (!QFile::rename(scratch, file)) {
        QFile::remove(scratch);
        error = QStringLiteral("The file\n%1\ncannot be written.").arg(file);
        return false;
    }
    return true;
}

bool ImportStore(CQuorvaneDoc& doc, const QString& file, QString& error, int* newStoreID) {
    Trace(20, QStringLiteral("CStoreTabCtrl::ImportStoreMdb()"));
    error.clear();
    IStoreTabsOwner* owner = doc.GetStoreTabsOwner();
    CLookupTable* lookup = doc.GetPtrLookupTable();
    CDaoGroupedStringList* discNames = doc.GetPtrDiscTableNamesList();
    CDaoGroupedStringList* containerNames = doc.GetPtrContainerNamesList();
    CDaoGroupedStringList* containers = doc.GetPtrContainers();
    if (!doc.IsDatabaseOpen() || !owner || !owner->CanProceed() || !lookup->CanProceed() || !discNames->CanProceed() ||
        !containerNames->CanProceed() || !containers->CanProceed()) {
        error = QStringLiteral("No project is open.");
        return false;
    }
    const FileKind kind = CheckFileKind(file, error);
    if (kind == FileKind::None) return false;
    // An Access file is read into a working copy first: the steps below read that copy, and
    // nothing of the project is touched when the file cannot be read.
    QTemporaryDir scratch;
    QString readFrom = file;
    if (kind == FileKind::Access) {
        if (!scratch.isValid()) {
            error = QStringLiteral("The file\n%1\ncannot be read: no room for a working copy.").arg(file);
            return false;
        }
        readFrom = scratch.filePath(QStringLiteral("store.sqlite"));
        if (!storeexchange::CopyAccessExchangeFile(file, readFrom, error)) return false;
    }
    db::Database in;
    try {
        in.open(readFrom, true);
    } catch (const db::Error& e) {
        Trace(10, e.description());
        error = QStringLiteral("The file\n%1\nis not a store file.").arg(file);
        return false;
    }
    int version = 0;
    if (!ReadVersionFromStoreMdb(in, version)) {
        error = QStringLiteral("The file\n%1\nis not a store file: it holds no file version.").arg(file);
        return false;
    }
    if (version != doc.GetProjectVersion()) {
        error = QStringLiteral("The store file\n%1\nis of version %2, this project of version %3.\n"
                               "Only a store file of version %3 can be imported.")
                    .arg(file)
                    .arg(version)
                    .arg(doc.GetProjectVersion());
        return false;
    }

    db::Database& project = *doc.GetPtrDatabase();
    const char* part = "the store information.";
    int storeID = -1;
    try {
        // One transaction: a failure in any part leaves nothing of the store behind.
        db::Transaction tx(project);
        db::Recordset storeRow(project);
        storeID = ReadStoreInfoFromStoreMdb(doc, in, storeRow);
        part = "the store product list.";
        ImportStoreListFromStoreMdb(doc, in, project, storeID);

        // Each list's entries go in after the list is narrowed to the new list, so that their
        // names are checked against their own list only and stay as the items name them.
        part = "the container name(s).";
        int containerID = -1;
        if (!containerNames->ImportListFromStoreMdb(in, containerID, -1)) throw StepFailed{};
        part = "the container entries.";
        if (containerID < 0) {
            containerID = doc.GetDefaultContainerID(); // the file names no list of its own
        } else {
            containers->ReQueryRecordsetUsingGroup(containerID);
            RequireFilter(*containers, QStringLiteral("[Group] = %1").arg(containerID));
            int lastEntry = -1;
            if (!containers->ImportListFromStoreMdb(in, lastEntry, containerID)) throw StepFailed{};
        }
        part = "the discount table name(s).";
        int discTableID = -1;
        if (!discNames->ImportListFromStoreMdb(in, discTableID, -1)) throw StepFailed{};
        part = "the discount table.";
        if (discTableID < 0) {
            discTableID = doc.GetDefaultDiscTableID();
        } else {
            lookup->ReQueryRecordsetUsingCategory(discTableID);
            RequireFilter(*lookup, QStringLiteral("[Category] = %1").arg(discTableID));
            if (!lookup->ImportTableFromStoreMdb(in, discTableID)) throw StepFailed{};
        }

        part = "the store information.";
        if (!storeRow.findFirst(QStringLiteral("ID = %1").arg(storeID))) throw db::Error(QStringLiteral("The new store row is gone."));
        storeRow.edit();
        storeRow.setValue(QStringLiteral("DiscTableID"), discTableID);
        storeRow.setValue(QStringLiteral("ContainerID"), containerID);
        storeRow.update();
        tx.commit();
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CStoreTabCtrl::ImportStoreMdb()"));
        Trace(10, e.description());
        error = storeexchange::ImportFailureText(part);
        return false;
    } catch (const StepFailed&) {
        error = storeexchange::ImportFailureText(part);
        return false;
    }
    if (newStoreID) *newStoreID = storeID;
    if (!owner->AddStoredStore(storeID)) {
        error = QStringLiteral("The store was imported, but its list could not be shown.\n"
                               "It appears when the project is opened again.");
        return false;
    }
    return true;
}
