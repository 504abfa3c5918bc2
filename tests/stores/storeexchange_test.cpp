// The store exchange file: a store with its items, container list and discount table written
// to a file and read back as new stores, on windows and without; refused and failing imports.
#include "jetwriter.h"
#include "listharness.h"
#include "userinput.h"

#include "app/apptest.h"
#include "app/projectinfodlg.h"
#include "app/quorvanemain.h"
#include "db/database.h"
#include "db/recordset.h"
#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
#include "stores/exportselectiondlg.h"
#include "stores/importselectiondlg.h"
#include "stores/storeexchange.h"
#include "stores/storelistctrl.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <algorithm>

// Failures show values as text.
static void PrintTo(const QVariant& v, std::ostream* os) { *os << v.toString().toStdString(); }

namespace {

using Rows = std::vector<QVariantHash>;

// Every row of a table in table order; with a field given, only the rows where it holds value.
Rows ReadRows(db::Database& d, const QString& table, const QString& field = {}, const QVariant& value = {}) {
    db::Recordset rs(d);
    rs.open(QStringLiteral("select * from [%1]").arg(table));
    Rows rows;
    if (rs.recordCount() == 0) return rows;
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
        if (!field.isEmpty() && rs.value(field) != value) continue;
        QVariantHash row;
        for (const db::FieldDef& f : rs.fields()) row.insert(f.name, rs.value(f.name));
        rows.push_back(row);
    }
    return rows;
}

QStringList Column(const Rows& rows, const char* field) {
    QStringList out;
    for (const QVariantHash& r : rows) out << r.value(QLatin1String(field)).toString();
    return out;
}

QVariantHash Without(QVariantHash row, const QStringList& fields) {
    for (const QString& f : fields) row.remove(f);
    return row;
}

struct Item {
    const char* code;
    const char* description;
    const char* container;
    const char* group;
    double base;
    int stock;
};
const Item kItems[] = {{"B1", "Pale beer", "bottle", "bulk", 3.5, 7},
                       {"C2", "Apple cider", "carton", "case", 12.25, 0},
                       {"X3", "Dark ale", "bottle", "default", 4.0, 2}};

// Store 1 of a new project with three items, its discount table "Default" with three entries
// and its container list "Default" with eight containers.
void FillFirstStore(CQuorvaneDoc& doc, CListWindow& list) {
    doc.GetPtrLookupTable()->AddItem(1, QStringLiteral("bulk"), 0.2);
    doc.GetPtrLookupTable()->AddItem(1, QStringLiteral("case"), 0.125);
    for (const Item& item : kItems) {
        const int id = doc.GetCounter(CQuorvaneDoc::StoreItemsID);
        list.Table().AddRow({{QStringLiteral("ID"), id},
                             {QStringLiteral("ItemCode"), QLatin1String(item.code)},
                             {QStringLiteral("Description"), QLatin1String(item.description)},
                             {QStringLiteral("ContainerType"), QLatin1String(item.container)},
                             {QStringLiteral("DiscountGrpName"), QLatin1String(item.group)},
                             {QStringLiteral("BaseLinePrice"), item.base},
                             {QStringLiteral("DiscountPercent"), 0.2},
                             {QStringLiteral("ShipPounds"), 1.5},
                             {QStringLiteral("QtyInStock"), item.stock},
                             {QStringLiteral("UserField2"), QStringLiteral("note %1").arg(id)}});
        doc.IncrementCounter(CQuorvaneDoc::StoreItemsID);
    }
    list.RefreshListCtrlFromRecordset();
}

int RowCount(db::Database& d, const QString& table) { return int(ReadRows(d, table).size()); }

// What an import must leave as it was when it fails.
struct ProjectState {
    QStringList tables;
    std::map<QString, int> counts;
    bool operator==(const ProjectState&) const = default;
};
ProjectState StateOf(db::Database& d) {
    ProjectState s;
    s.tables = d.tableNames();
    for (const char* t : {"Store", "Lookup", "DiscTableNamesList", "ContainerNamesList", "ContainerList"})
        s.counts[QLatin1String(t)] = RowCount(d, QLatin1String(t));
    return s;
}

Rows ByItemCode(Rows rows) {
    std::sort(rows.begin(), rows.end(), [](const QVariantHash& a, const QVariantHash& b) {
        return a.value(QStringLiteral("ItemCode")).toString() < b.value(QStringLiteral("ItemCode")).toString();
    });
    return rows;
}

// The imported store's rows match the first store's, with identifiers of its own; its items
// in table order, or in any order when the export followed a sorted list.
void ExpectCopyOfFirstStore(db::Database& d, int storeID, const QString& listName, bool tableOrder = true) {
    SCOPED_TRACE(listName.toStdString());
    const QVariantHash original = ReadRows(d, QStringLiteral("Store"), QStringLiteral("ID"), 1).at(0);
    const Rows copies = ReadRows(d, QStringLiteral("Store"), QStringLiteral("ID"), storeID);
    ASSERT_EQ(copies.size(), 1u);
    const QVariantHash copy = copies[0];
    const QStringList ids{QStringLiteral("ID"), QStringLiteral("DiscTableID"), QStringLiteral("ContainerID")};
    EXPECT_EQ(Without(copy, ids), Without(original, ids));

    // Items: every field but the identifier, in the same order, with fresh identifiers.
    Rows items = ReadRows(d, QStringLiteral("StoreItems_1"));
    Rows copied = ReadRows(d, QStringLiteral("StoreItems_%1").arg(storeID));
    if (!tableOrder) {
        items = ByItemCode(items);
        copied = ByItemCode(copied);
    }
    ASSERT_EQ(copied.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(Without(copied[i], {QStringLiteral("ID")}), Without(items[i], {QStringLiteral("ID")}));
        EXPECT_NE(copied[i].value(QStringLiteral("ID")), items[i].value(QStringLiteral("ID")));
    }

    // Its own container list under a name of its own, the containers named as before.
    const int containerID = copy.value(QStringLiteral("ContainerID")).toInt();
    const Rows name = ReadRows(d, QStringLiteral("ContainerNamesList"), QStringLiteral("ID"), containerID);
    ASSERT_EQ(name.size(), 1u);
    EXPECT_EQ(name[0].value(QStringLiteral("String")).toString(), listName);
    const QStringList containers =
        Column(ReadRows(d, QStringLiteral("ContainerList"), QStringLiteral("Group"), containerID), "String");
    EXPECT_EQ(containers, Column(ReadRows(d, QStringLiteral("ContainerList"), QStringLiteral("Group"), 2), "String"));
    for (const QVariantHash& item : copied)
        EXPECT_TRUE(containers.contains(item.value(QStringLiteral("ContainerType")).toString()));

    // Its own discount table, with the entries of the first store's.
    const int tableID = copy.value(QStringLiteral("DiscTableID")).toInt();
    const Rows tableName = ReadRows(d, QStringLiteral("DiscTableNamesList"), QStringLiteral("ID"), tableID);
    ASSERT_EQ(tableName.size(), 1u);
    EXPECT_EQ(tableName[0].value(QStringLiteral("String")).toString(), listName);
    const QStringList fields{QStringLiteral("ID"), QStringLiteral("Category")};
    const Rows entries = ReadRows(d, QStringLiteral("Lookup"), QStringLiteral("Category"), tableID);
    const Rows originals = ReadRows(d, QStringLiteral("Lookup"), QStringLiteral("Category"), 1);
    ASSERT_EQ(entries.size(), originals.size());
    for (size_t i = 0; i < entries.size(); ++i) EXPECT_EQ(Without(entries[i], fields), Without(originals[i], fields));
}

} // namespace

class StoreExchange : public ::testing::Test {
protected:
    void SetUp() override {
        h.NewProject();
        FillFirstStore(h.doc, *h.stores->CurrentStoreList());
        file = h.folder.path(QStringLiteral("store.mdb"));
    }
    db::Database& Project() { return *h.doc.GetPtrDatabase(); }
    void Export() {
        QString error;
        ASSERT_TRUE(ExportStore(h.doc, 1, file, error)) << error.toStdString();
    }
    // Opens the exchange file and hands it to change().
    void ChangeFile(const std::function<void(db::Database&)>& change) {
        db::Database d;
        d.open(file);
        change(d);
    }

    ListHarness h;
    QString file;
};

TEST_F(StoreExchange, ExportWritesTheStoreItsItemsInTheGivenOrderAndItsOwnLists) {
    // Another list and table shown in the shared lists, as a dialog may leave them.
    const int crates = h.doc.GetPtrContainerNamesList()->AddItem(0, QStringLiteral("Crates"));
    h.doc.GetPtrContainers()->AddItem(crates, QStringLiteral("crate"));
    const int wholesale = h.doc.GetPtrDiscTableNamesList()->AddItem(0, QStringLiteral("Wholesale"));
    h.doc.GetPtrLookupTable()->AddItem(wholesale, QStringLiteral("pallet"), 0.3);
    h.doc.GetPtrContainers()->ReQueryRecordsetUsingGroup(crates);
    h.doc.GetPtrLookupTable()->ReQueryRecordsetUsingCategory(wholesale);

    const Rows items = ReadRows(Project(), QStringLiteral("StoreItems_1"));
    const std::vector<int> order{items[2].value(QStringLiteral("ID")).toInt(), items[0].value(QStringLiteral("ID")).toInt(),
                                 items[1].value(QStringLiteral("ID")).toInt()};
    QString error;
    ASSERT_TRUE(ExportStore(h.doc, 1, file, error, order)) << error.toStdString();

    db::Database d;
    d.open(file, true);
    EXPECT_EQ(d.tableNames(), (QStringList{"FileVersion", "Store", "StoreItems_1", "ContainerNamesList", "ContainerList",
                                           "DiscTableNamesList", "Lookup"}));
    EXPECT_EQ(Column(ReadRows(d, QStringLiteral("FileVersion")), "Version"), QStringList{"1002"});
    EXPECT_EQ(ReadRows(d, QStringLiteral("Store")), ReadRows(Project(), QStringLiteral("Store")));
    EXPECT_EQ(ReadRows(d, QStringLiteral("StoreItems_1")), (Rows{items[2], items[0], items[1]}));
    EXPECT_EQ(ReadRows(d, QStringLiteral("ContainerNamesList")),
              ReadRows(Project(), QStringLiteral("ContainerNamesList"), QStringLiteral("ID"), 2));
    EXPECT_EQ(ReadRows(d, QStringLiteral("ContainerList")),
              ReadRows(Project(), QStringLiteral("ContainerList"), QStringLiteral("Group"), 2));
    EXPECT_EQ(ReadRows(d, QStringLiteral("DiscTableNamesList")),
              ReadRows(Project(), QStringLiteral("DiscTableNamesList"), QStringLiteral("ID"), 1));
    EXPECT_EQ(Column(ReadRows(d, QStringLiteral("Lookup")), "ItemName"), (QStringList{"default", "bulk", "case"}));
    // The shared lists show again what they showed.
    EXPECT_EQ(h.doc.GetPtrContainers()->GetPtrRecordset()->filter(), QStringLiteral("[Group] = %1").arg(crates));
    EXPECT_EQ(h.doc.GetPtrLookupTable()->GetPtrRecordset()->filter(), QStringLiteral("[Category] = %1").arg(wholesale));
}

TEST_F(StoreExchange, ExportReplacesAFileOnlyWhenItSucceeds) {
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    QString error;
    EXPECT_FALSE(ExportStore(h.doc, 99, file, error));
    EXPECT_FALSE(error.isEmpty());
    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("old contents"));
    kept.close();

    Export();
    db::Database d;
    d.open(file, true);
    EXPECT_EQ(RowCount(d, QStringLiteral("StoreItems_1")), 3);
    EXPECT_EQ(QDir(h.folder.root()).entryList(QDir::Files).filter(QStringLiteral("store.mdb")),
              QStringList{"store.mdb"}); // no scratch file stays
}

TEST_F(StoreExchange, ImportingTwiceAddsTwoWholeStoresAndSelectsTheNewOne) {
    Export();
    const int itemCounter = h.doc.GetCounter(CQuorvaneDoc::StoreItemsID);
    for (int n = 1; n <= 2; ++n) {
        QString error;
        int storeID = -1;
        ASSERT_TRUE(ImportStore(h.doc, file, error, &storeID)) << error.toStdString();
        EXPECT_EQ(storeID, 1 + n);
        ASSERT_EQ(h.stores->TabBar()->count(), 1 + n);
        EXPECT_EQ(h.stores->TabBar()->tabText(n), QStringLiteral("Store 1"));
        EXPECT_EQ(h.stores->GetCurrentStoreIndex(), n);
        EXPECT_EQ(h.stores->CurrentStoreList()->GetStoreID(), storeID);
        EXPECT_EQ(h.stores->CurrentStoreList()->GetItemCount(), 3);
        ExpectCopyOfFirstStore(Project(), storeID, QStringLiteral("Default_%1").arg(n));
        // The selected store's lists are the new ones.
        EXPECT_EQ(h.stores->GetStoreContainerIndex(),
                  ReadRows(Project(), QStringLiteral("Store"), QStringLiteral("ID"), storeID)[0].value(QStringLiteral("ContainerID")).toInt());
    }
    EXPECT_EQ(h.doc.GetCounter(CQuorvaneDoc::StoreItemsID), itemCounter + 6);
    EXPECT_EQ(h.doc.GetCounter(CQuorvaneDoc::StoreID), 4);
    EXPECT_TRUE(h.prompter.m_shown.isEmpty());
}

TEST_F(StoreExchange, WithoutWindowsTheDocumentsOwnersExportAndImport) {
    Export();
    const QString path = h.doc.GetPathName();
    h.doc.OnFileCloseProject();
    CRecordingPrompter silent;
    CQuorvaneDoc doc(&silent);
    ASSERT_TRUE(doc.OpenProject(path));
    QString error;
    ASSERT_TRUE(ImportStore(doc, file, error)) << error.toStdString();
    EXPECT_EQ(doc.GetStoreTabsOwner()->GetStoreCount(), 2);
    ExpectCopyOfFirstStore(*doc.GetPtrDatabase(), 2, QStringLiteral("Default_1"));
    const QString again = h.folder.path(QStringLiteral("again.mdb"));
    ASSERT_TRUE(ExportStore(doc, 2, again, error)) << error.toStdString();
    db::Database d;
    d.open(again, true);
    EXPECT_EQ(Column(ReadRows(d, QStringLiteral("ContainerNamesList")), "String"), QStringList{"Default_1"});
    EXPECT_EQ(RowCount(d, QStringLiteral("StoreItems_2")), 3);
    EXPECT_TRUE(silent.m_messages.isEmpty());
    doc.OnFileCloseProject();
}

TEST_F(StoreExchange, AFileOfAnotherVersionIsRefusedNamingBothVersions) {
    Export();
    ChangeFile([](db::Database& d) { d.exec(QStringLiteral("UPDATE FileVersion SET Version = 1001")); });
    const ProjectState before = StateOf(Project());
    QString error;
    EXPECT_FALSE(ImportStore(h.doc, file, error));
    EXPECT_TRUE(error.contains(QStringLiteral("version 1001"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("version 1002"))) << error.toStdString();
    EXPECT_EQ(StateOf(Project()), before);
    EXPECT_EQ(h.stores->TabBar()->count(), 1);
}

TEST_F(StoreExchange, FilesThatAreNoStoreFilesAreRefusedSayingWhatTheyAre) {
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* says;
    };
    const Case cases[] = {
        {"access.mdb", QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(200, '\0'), "cannot be read"},
        {"text.mdb", QByteArray("ID,Name\n1,bottle\n"), "is not a store file."},
        {"empty.mdb", QByteArray(), "is not a store file."},
    };
    for (const Case& c : cases) {
        const QString path = h.folder.path(QLatin1String(c.name));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        QString error;
        EXPECT_FALSE(ImportStore(h.doc, path, error)) << c.name;
        EXPECT_TRUE(error.contains(QLatin1String(c.says))) << c.name << ": " << error.toStdString();
        EXPECT_TRUE(error.contains(path)) << c.name;
    }
    // An SQLite file without the version table.
    db::Database other;
    const QString path = h.folder.path(QStringLiteral("other.mdb"));
    other.create(path);
    other.exec(QStringLiteral("CREATE TABLE Things (ID INTEGER)"));
    other.close();
    QString error;
    EXPECT_FALSE(ImportStore(h.doc, path, error));
    EXPECT_TRUE(error.contains(QStringLiteral("holds no file version"))) << error.toStdString();
    EXPECT_EQ(h.stores->TabBar()->count(), 1);
}

TEST_F(StoreExchange, AnImportThatFailsMidwayLeavesNothingBehind) {
    struct Case {
        const char* what;
        std::function<void(db::Database& file, db::Database& project)> damage;
        const char* message;
    };
    const Case cases[] = {
        {"no item table", [](db::Database& f, db::Database&) { f.exec(QStringLiteral("DROP TABLE StoreItems_1")); },
         "An error occurred while importing\nthe store product list."},
        {"an item too long for its field",
         [](db::Database& f, db::Database&) {
             f.exec(QStringLiteral("UPDATE StoreItems_1 SET ItemCode = '%1' WHERE ItemCode = 'X3'").arg(QString(30, 'x')));
         },
         "An error occurred while importing\nthe store product list."},
        {"no container list", [](db::Database& f, db::Database&) { f.exec(QStringLiteral("DROP TABLE ContainerList")); },
         "An error occurred while importing\nthe container entries."},
        {"no discount table names",
         [](db::Database& f, db::Database&) { f.exec(QStringLiteral("DROP TABLE DiscTableNamesList")); },
         "An error occurred while importing\nthe discount table name(s)."},
        {"no discount table", [](db::Database& f, db::Database&) { f.exec(QStringLiteral("DROP TABLE Lookup")); },
         "An error occurred while importing\nthe discount table."},
        {"the project refuses discount entries",
         [](db::Database&, db::Database& p) {
             p.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Lookup BEGIN SELECT RAISE(ABORT, 'refused'); END"));
         },
         "An error occurred while importing\nthe discount table."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Export();
        ChangeFile([&](db::Database& f) { c.damage(f, Project()); });
        const ProjectState before = StateOf(Project());
        QString error;
        EXPECT_FALSE(ImportStore(h.doc, file, error));
        EXPECT_EQ(error, QLatin1String(c.message));
        EXPECT_EQ(StateOf(Project()), before);
        EXPECT_EQ(h.stores->TabBar()->count(), 1);
        // The shared lists still show the first store's table and list.
        EXPECT_EQ(h.doc.GetPtrContainers()->GetPtrRecordset()->filter(), QStringLiteral("[Group] = 2"));
        EXPECT_EQ(h.doc.GetPtrLookupTable()->GetPtrRecordset()->filter(), QStringLiteral("[Category] = 1"));
        Project().exec(QStringLiteral("DROP TRIGGER IF EXISTS refuse"));
        QFile::remove(file);
    }
    // Nothing half-imported is in the way of a whole import.
    Export();
    QString error;
    int storeID = -1;
    ASSERT_TRUE(ImportStore(h.doc, file, error, &storeID)) << error.toStdString();
    ExpectCopyOfFirstStore(Project(), storeID, QStringLiteral("Default_1"));
}

// ---------------------------------------------------------------- exchange files kept in Access databases

namespace {

jetwriter::ColumnType JetType(db::Type type) {
    switch (type) {
    case db::Type::Boolean: // written as a whole number: 0 or 1
    case db::Type::Integer: return jetwriter::Integer;
    case db::Type::Long: return jetwriter::Long;
    case db::Type::Double: return jetwriter::Double;
    case db::Type::Date: return jetwriter::Date;
    case db::Type::Text: return jetwriter::Text;
    }
    return jetwriter::Text;
}

using JetTables = std::vector<jetwriter::Table>;

// The tables of an SQLite exchange file, field for field, as they go into an Access file.
JetTables JetTablesOf(const QString& sqliteFile) {
    db::Database d;
    d.open(sqliteFile, true);
    JetTables tables;
    for (const QString& name : d.tableNames()) {
        const db::TableDef def = d.tableDef(name);
        jetwriter::Table t{name, {}, {}};
        for (const db::FieldDef& f : def.fields) t.columns.push_back({JetType(f.type), f.name});
        for (const QVariantHash& row : ReadRows(d, name)) {
            std::vector<QVariant> values;
            for (const db::FieldDef& f : def.fields) values.push_back(row.value(f.name));
            t.rows.push_back(values);
        }
        tables.push_back(t);
    }
    return tables;
}

jetwriter::Table* Find(JetTables& tables, const QString& name) {
    for (jetwriter::Table& t : tables)
        if (t.name == name) return &t;
    return nullptr;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

} // namespace

class AccessExchange : public StoreExchange {
protected:
    void SetUp() override {
        StoreExchange::SetUp();
        // Letters beyond ASCII, a store that tracks stock and a text left blank.
        Project().exec(QStringLiteral("UPDATE StoreItems_1 SET Description = 'Bière d''été – brune' WHERE ItemCode = 'B1'"));
        Project().exec(QStringLiteral("UPDATE Store SET TrackStockQty = 1, City = 'Québec', Comment = ' ' WHERE ID = 1"));
        Export();
        mdb = h.folder.path(QStringLiteral("store-access.mdb"));
    }
    void WriteAccess(const std::function<void(JetTables&)>& change = {}) {
        JetTables tables = JetTablesOf(file);
        if (change) change(tables);
        WriteFile(mdb, jetwriter::Database(tables));
    }
    QString mdb;
};

TEST_F(AccessExchange, AnAccessFileImportsAsTheSameStoreAsTheSqliteFile) {
    // The Access file holds Null where the program keeps a blank or 0, and a table of its own.
    WriteAccess([](JetTables& tables) {
        for (jetwriter::Table& t : tables)
            for (auto& row : t.rows)
                for (size_t i = 0; i < row.size(); ++i) {
                    const bool text = t.columns[i].type == jetwriter::Text;
                    if ((text && row[i].toString() == QLatin1String(" ")) || (!text && row[i].toDouble() == 0.0))
                        row[i] = QVariant();
                }
        tables.push_back({QStringLiteral("Notes"), {{jetwriter::Text, QStringLiteral("Note")}}, {{QStringLiteral("kept out")}}});
    });
    QString error;
    int fromSqlite = -1, fromAccess = -1;
    ASSERT_TRUE(ImportStore(h.doc, file, error, &fromSqlite)) << error.toStdString();
    ASSERT_TRUE(ImportStore(h.doc, mdb, error, &fromAccess)) << error.toStdString();
    EXPECT_EQ(h.stores->TabBar()->count(), 3);
    EXPECT_EQ(h.stores->CurrentStoreList()->GetStoreID(), fromAccess);
    EXPECT_EQ(h.stores->CurrentStoreList()->GetItemCount(), 3);
    ExpectCopyOfFirstStore(Project(), fromAccess, QStringLiteral("Default_2"));

    // Every field of the store and its items, the list entries and the discount table rows.
    const QStringList links{QStringLiteral("ID"), QStringLiteral("DiscTableID"), QStringLiteral("ContainerID")};
    const QVariantHash a = ReadRows(Project(), QStringLiteral("Store"), QStringLiteral("ID"), fromSqlite).at(0);
    const QVariantHash b = ReadRows(Project(), QStringLiteral("Store"), QStringLiteral("ID"), fromAccess).at(0);
    EXPECT_EQ(Without(b, links), Without(a, links));
    EXPECT_EQ(b.value(QStringLiteral("City")).toString(), QStringLiteral("Québec"));
    EXPECT_EQ(b.value(QStringLiteral("TrackStockQty")).toInt(), 1);
    EXPECT_EQ(b.value(QStringLiteral("Comment")).toString(), QStringLiteral(" "));
    const Rows itemsA = ReadRows(Project(), QStringLiteral("StoreItems_%1").arg(fromSqlite));
    const Rows itemsB = ReadRows(Project(), QStringLiteral("StoreItems_%1").arg(fromAccess));
    ASSERT_EQ(itemsB.size(), 3u);
    for (size_t i = 0; i < itemsA.size(); ++i)
        EXPECT_EQ(Without(itemsB[i], {QStringLiteral("ID")}), Without(itemsA[i], {QStringLiteral("ID")})) << i;
    EXPECT_EQ(itemsB[0].value(QStringLiteral("Description")).toString(), QStringLiteral("Bière d'été – brune"));
    EXPECT_EQ(itemsB[0].value(QStringLiteral("UserField1")).toString(), QStringLiteral(" ")); // Null in the file
    EXPECT_EQ(itemsB[1].value(QStringLiteral("QtyInStock")), QVariant(0));
    const QStringList listFields{QStringLiteral("ID"), QStringLiteral("Group"), QStringLiteral("Category")};
    for (const auto& [table, link, field] : {std::tuple{"ContainerList", "ContainerID", "Group"}, std::tuple{"Lookup", "DiscTableID", "Category"}}) {
        SCOPED_TRACE(table);
        const Rows entriesA = ReadRows(Project(), QLatin1String(table), QLatin1String(field), a.value(QLatin1String(link)));
        const Rows entriesB = ReadRows(Project(), QLatin1String(table), QLatin1String(field), b.value(QLatin1String(link)));
        ASSERT_FALSE(entriesA.empty());
        ASSERT_EQ(entriesB.size(), entriesA.size());
        for (size_t i = 0; i < entriesA.size(); ++i) EXPECT_EQ(Without(entriesB[i], listFields), Without(entriesA[i], listFields));
    }
    EXPECT_TRUE(h.prompter.m_shown.isEmpty());
}

TEST_F(AccessExchange, ABadAccessFileIsRefusedWithItsMessageAndNothingChanges) {
    struct Case {
        const char* what;
        std::function<void(JetTables&)> damage;
        std::function<void(QByteArray&)> cut;
        QString message; // contained in the error; %1 is the file
    };
    const Case cases[] = {
        {"another version", [](JetTables& t) { Find(t, QStringLiteral("FileVersion"))->rows[0][0] = 1001; },
         {}, QStringLiteral("The store file\n%1\nis of version 1001, this project of version 1002.")},
        {"no version table",
         [](JetTables& t) { std::erase_if(t, [](const jetwriter::Table& x) { return x.name == QLatin1String("FileVersion"); }); },
         {}, QStringLiteral("The file\n%1\nis not a store file: it holds no file version.")},
        {"no item table",
         [](JetTables& t) { std::erase_if(t, [](const jetwriter::Table& x) { return x.name.startsWith(QLatin1String("StoreItems_")); }); },
         {}, QStringLiteral("An error occurred while importing\nthe store product list.")},
        {"no discount table",
         [](JetTables& t) { std::erase_if(t, [](const jetwriter::Table& x) { return x.name == QLatin1String("Lookup"); }); },
         {}, QStringLiteral("An error occurred while importing\nthe discount table.")},
        {"an item code too long for the project",
         [](JetTables& t) { Find(t, QStringLiteral("StoreItems_1"))->rows[2][1] = QString(30, QLatin1Char('x')); },
         {}, QStringLiteral("An error occurred while importing\nthe store product list.")},
        {"a text where a price belongs",
         [](JetTables& t) {
             jetwriter::Table* items = Find(t, QStringLiteral("StoreItems_1"));
             items->columns[5].type = jetwriter::Text; // BaseLinePrice
             for (auto& row : items->rows) row[5] = QStringLiteral("cheap");
         },
         {}, QStringLiteral("The Access store file\n%1\nis damaged: the field BaseLinePrice of its table StoreItems_1")},
        {"truncated in its catalog", {}, [](QByteArray& bytes) { bytes.truncate(jetwriter::kPage * 3 + 100); },
         QStringLiteral("The Access store file\n%1\ncannot be read:\n")},
        {"its last page missing", {}, [](QByteArray& bytes) { bytes.truncate(bytes.size() - jetwriter::kPage); },
         QStringLiteral("The Access store file\n%1\ncannot be read:\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        JetTables tables = JetTablesOf(file);
        if (c.damage) c.damage(tables);
        QByteArray bytes = jetwriter::Database(tables);
        if (c.cut) c.cut(bytes);
        WriteFile(mdb, bytes);
        const ProjectState before = StateOf(Project());
        QString error;
        EXPECT_FALSE(ImportStore(h.doc, mdb, error));
        const QString expected = c.message.contains(QLatin1String("%1")) ? c.message.arg(mdb) : c.message;
        EXPECT_TRUE(error.startsWith(expected)) << error.toStdString();
        EXPECT_EQ(StateOf(Project()), before);
        EXPECT_EQ(h.stores->TabBar()->count(), 1);
    }
    // The same file whole imports.
    WriteAccess();
    QString error;
    EXPECT_TRUE(ImportStore(h.doc, mdb, error)) << error.toStdString();
}

// ---------------------------------------------------------------- the commands on the main window

class StoreExchangeCommands : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        frame = std::make_unique<CQuorvaneMain>(&prompter);
        frame->resize(1000, 900);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        prompter.ExpectDialog([this](QDialog& d) {
            auto* dlg = qobject_cast<CProjectInfoDlg*>(&d);
            if (!dlg) return 0;
            dlg->ProjectEdit()->setText(folder.path(QStringLiteral("shop.qvp")));
            dlg->findChild<QPushButton*>(QStringLiteral("IDOK"))->click();
            return d.result();
        });
        frame->Action("actionNewProject")->trigger();
        ASSERT_TRUE(frame->Doc().IsProjectOpen());
        FillFirstStore(frame->Doc(), *frame->StoreTabs()->CurrentStoreList());
    }
    void TearDown() override { frame.reset(); }

    // The selection dialog, opened and answered with a click on OK (or Cancel).
    template <typename Dlg>
    void ExpectSelection(const char* title, bool ok, const std::function<void(Dlg&)>& check = {}) {
        prompter.ExpectDialog([=](QDialog& d) {
            auto* dlg = qobject_cast<Dlg*>(&d);
            EXPECT_NE(dlg, nullptr) << title;
            if (!dlg) return 0;
            EXPECT_EQ(d.windowTitle(), QLatin1String(title));
            if (!Open(d)) return 0;
            if (check) check(*dlg);
            Click(d.findChild<QPushButton*>(QLatin1String(ok ? "IDOK" : "IDCANCEL")));
            return d.result();
        });
    }

    CScriptedPrompter prompter;
    std::unique_ptr<CQuorvaneMain> frame;
};

TEST_F(StoreExchangeCommands, ExportAndImportThroughTheirDialogs) {
    EXPECT_TRUE(frame->Action("actionExport")->isEnabled());
    EXPECT_TRUE(frame->Action("actionImport")->isEnabled());
    CStoreListCtrl* list = frame->StoreTabs()->CurrentStoreList();
    // A click on the "Item Description" header sorts the list; the file follows the list.
    QHeaderView* header = list->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
    Settle();
    ASSERT_EQ(list->GetItemText(0, 1), QStringLiteral("Apple cider"));

    const QString path = folder.path(QStringLiteral("exported.mdb"));
    ExpectSelection<CExportSelectionDlg>("Export Selection Dialog", true, [](CExportSelectionDlg& dlg) {
        auto* radio = dlg.findChild<QRadioButton*>(QStringLiteral("radioExportStore"));
        ASSERT_NE(radio, nullptr);
        EXPECT_EQ(radio->text(), QStringLiteral("Export Current Store As A Database"));
        EXPECT_TRUE(radio->isChecked());
    });
    prompter.ExpectFile(path);
    prompter.Expect(QStringLiteral("Export Complete!"));
    frame->Action("actionExport")->trigger();
    EXPECT_TRUE(prompter.AllAnswered()) << prompter.m_unexpected.join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(prompter.m_fileRequests.size(), 1u);
    EXPECT_EQ(prompter.m_fileRequests[0].filter, QStringLiteral("Quorvane store files (*.mdb)|*.mdb|"));
    EXPECT_EQ(prompter.m_fileRequests[0].defaultExt, QStringLiteral("mdb"));
    EXPECT_TRUE(prompter.m_fileRequests[0].confirmOverwrite);
    {
        db::Database d;
        d.open(path, true);
        EXPECT_EQ(Column(ReadRows(d, QStringLiteral("StoreItems_1")), "Description"),
                  (QStringList{"Apple cider", "Dark ale", "Pale beer"}));
    }

    ExpectSelection<CImportSelectionDlg>("Import Selection Dialog", true, [](CImportSelectionDlg& dlg) {
        auto* store = dlg.findChild<QRadioButton*>(QStringLiteral("radioImportStore"));
        auto* other = dlg.findChild<QRadioButton*>(QStringLiteral("radioImportOther"));
        ASSERT_TRUE(store && other);
        EXPECT_EQ(store->text(), QStringLiteral("Import Store Previously Exported"));
        EXPECT_EQ(other->text(), QStringLiteral("Import Other Database File(s)"));
        EXPECT_TRUE(store->isChecked());
    });
    prompter.ExpectFile(path);
    prompter.Expect(QStringLiteral("Import completed successfully!"));
    frame->Action("actionImport")->trigger();
    EXPECT_TRUE(prompter.AllAnswered()) << prompter.m_unexpected.join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(frame->StoreTabs()->TabBar()->count(), 2);
    EXPECT_EQ(frame->StoreTabs()->GetCurrentStoreIndex(), 1);
    EXPECT_EQ(frame->StoreTabs()->CurrentStoreList()->GetItemCount(), 3);
    ExpectCopyOfFirstStore(*frame->Doc().GetPtrDatabase(), 2, QStringLiteral("Default_1"), false);
    EXPECT_EQ(Column(ReadRows(*frame->Doc().GetPtrDatabase(), QStringLiteral("StoreItems_2")), "Description"),
              (QStringList{"Apple cider", "Dark ale", "Pale beer"}));
    EXPECT_TRUE(frame->Action("actionCopyStoreItems")->isEnabled());
}

TEST_F(StoreExchangeCommands, AFailedImportSaysWhyThenThatItFailedAndCancelSaysNothing) {
    const QString path = folder.path(QStringLiteral("exported.mdb"));
    QString error;
    ASSERT_TRUE(ExportStore(frame->Doc(), 1, path, error));
    {
        db::Database d;
        d.open(path);
        d.exec(QStringLiteral("UPDATE FileVersion SET Version = 900"));
    }
    ExpectSelection<CImportSelectionDlg>("Import Selection Dialog", true);
    prompter.ExpectFile(path);
    const QString why = QStringLiteral("The store file\n%1\nis of version 900, this project of version 1002.\n"
                                       "Only a store file of version 1002 can be imported.")
                            .arg(path);
    prompter.Expect(why);
    prompter.Expect(QStringLiteral("Import failed to complete!"));
    frame->Action("actionImport")->trigger();
    EXPECT_TRUE(prompter.AllAnswered()) << prompter.m_unexpected.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(frame->StoreTabs()->TabBar()->count(), 1);

    // Cancel in the selection dialog, or in the file dialog, ends the command without a word.
    const qsizetype shown = prompter.m_shown.size();
    ExpectSelection<CImportSelectionDlg>("Import Selection Dialog", false);
    frame->Action("actionImport")->trigger();
    ExpectSelection<CExportSelectionDlg>("Export Selection Dialog", true);
    prompter.ExpectFile(QString());
    frame->Action("actionExport")->trigger();
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_EQ(prompter.m_shown.size(), shown);
}
