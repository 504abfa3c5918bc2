#include "../support/jetwriter.h"
#include "../support/testutil.h"
#include "db/database.h"
#include "db/recordset.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sqlite3.h>

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;

    QStringList Lines() const {
        QStringList lines = out.split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
};

ToolRun RunTool(const QStringList& args, const QString& workDir = QString()) {
    QProcess p;
    p.setProgram(QStringLiteral(QV_QVTOOL_PATH));
    p.setArguments(args);
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    p.start();
    ToolRun run;
    if (!p.waitForStarted(-1)) {
        ADD_FAILURE() << "qvtool did not start: " << p.errorString().toStdString();
        return run;
    }
    // A hang guard only; nothing is measured.
    if (!p.waitForFinished(300000)) {
        p.kill();
        p.waitForFinished(-1);
        ADD_FAILURE() << "qvtool did not finish: " << args.join(QLatin1Char(' ')).toStdString();
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    // Under the sanitizers a fault in the tool also ends with exit code 1; tell it apart.
    EXPECT_FALSE(run.err.contains(QLatin1String("Sanitizer")) || run.err.contains(QLatin1String("runtime error:")))
        << run.err.toStdString();
    return run;
}

std::string Show(const ToolRun& r) {
    return QStringLiteral("exit %1\n--- stdout\n%2--- stderr\n%3").arg(r.exitCode).arg(r.out, r.err).toStdString();
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

void RawExec(const QString& path, const char* sql) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(raw, sql, nullptr, nullptr, &err);
    const std::string message = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(raw);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

// Dump output as rows of field name -> text, checking the header on the way.
std::vector<std::map<QString, QString>> DumpRows(const ToolRun& run) {
    std::vector<std::map<QString, QString>> rows;
    const QStringList lines = run.Lines();
    if (lines.isEmpty()) {
        ADD_FAILURE() << "no header";
        return rows;
    }
    const QStringList header = lines.first().split(QLatin1Char('\t'));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines[i].split(QLatin1Char('\t'));
        EXPECT_EQ(cells.size(), header.size()) << lines[i].toStdString();
        std::map<QString, QString> row;
        for (qsizetype c = 0; c < std::min(cells.size(), header.size()); ++c) row[header[c]] = cells[c];
        rows.push_back(std::move(row));
    }
    return rows;
}

class QvtoolTest : public ::testing::Test {
protected:
    // A new project made by the tool itself; fails the test when it cannot be made.
    QString NewProject(const QString& name, const QString& description = QStringLiteral("test project")) {
        const QString path = folder.path(name);
        const ToolRun r = RunTool({QStringLiteral("new"), path, QStringLiteral("--description"), description});
        EXPECT_EQ(r.exitCode, 0) << Show(r);
        return path.endsWith(QLatin1String(".qvp")) ? path : path + QStringLiteral(".qvp");
    }

    TempFolder folder;
};

const QStringList kCounterNames = {
    QStringLiteral("HighWaterCustomerID"),   QStringLiteral("HighWaterCustomerNbr"),
    QStringLiteral("HighWaterInvoiceID"),    QStringLiteral("HighWaterInvoiceNbr"),
    QStringLiteral("HighWaterInvoiceGroupID"), QStringLiteral("HighWaterInvItemsID"),
    QStringLiteral("HighWaterStoreID"),      QStringLiteral("HighWaterStoreItemsID"),
    QStringLiteral("HighWaterLookupItemID"), QStringLiteral("HighWaterDaoStringListID")};

} // namespace

// ---------------------------------------------------------------- new and info

TEST_F(QvtoolTest, NewMakesTheFileAndAppendsTheExtension) {
    const ToolRun bare = RunTool({QStringLiteral("new"), folder.path(QStringLiteral("alpha")),
                                  QStringLiteral("--description"), QStringLiteral("First")});
    EXPECT_EQ(bare.exitCode, 0) << Show(bare);
    EXPECT_TRUE(QFileInfo::exists(folder.path(QStringLiteral("alpha.qvp"))));
    EXPECT_FALSE(QFileInfo::exists(folder.path(QStringLiteral("alpha"))));

    const ToolRun withExt = RunTool({QStringLiteral("new"), folder.path(QStringLiteral("beta.qvp"))});
    EXPECT_EQ(withExt.exitCode, 0) << Show(withExt);
    EXPECT_TRUE(QFileInfo::exists(folder.path(QStringLiteral("beta.qvp"))));
    EXPECT_FALSE(QFileInfo::exists(folder.path(QStringLiteral("beta.qvp.qvp"))));

    // A relative path is taken from the working folder.
    const ToolRun relative = RunTool({QStringLiteral("new"), QStringLiteral("gamma")}, folder.root());
    EXPECT_EQ(relative.exitCode, 0) << Show(relative);
    EXPECT_TRUE(QFileInfo::exists(folder.path(QStringLiteral("gamma.qvp"))));

    // Nothing besides the three projects is left in the folder.
    QStringList files = QDir(folder.root()).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    EXPECT_EQ(files, (QStringList{QStringLiteral("alpha.qvp"), QStringLiteral("beta.qvp"),
                                  QStringLiteral("gamma.qvp")}));
}

TEST_F(QvtoolTest, InfoShowsTheProjectRowAndTheCountersOfANewProject) {
    const QString path = NewProject(QStringLiteral("info"), QStringLiteral("Spring catalogue 2024"));
    const ToolRun r = RunTool({QStringLiteral("info"), path});
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    EXPECT_TRUE(r.err.isEmpty()) << Show(r);
    const QStringList lines = r.Lines();
    ASSERT_EQ(lines.size(), 16) << Show(r);

    EXPECT_EQ(lines[0], QStringLiteral("Version\t1002"));
    EXPECT_EQ(lines[1], QStringLiteral("Shared\t0"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("SharedFileSpec\t")));
    EXPECT_EQ(lines[2].section(QLatin1Char('\t'), 1).trimmed(), QString());
    EXPECT_EQ(lines[3], QStringLiteral("Description\tSpring catalogue 2024"));
    EXPECT_EQ(lines[4], QStringLiteral("BarPosition\t380"));
    EXPECT_EQ(lines[5], QStringLiteral("VerifyDelete\t1"));

    // One store, one lookup entry and the string lists (2 list names, 8 containers,
    // 75 column definitions) have used their IDs.
    const std::map<QString, int> used = {{QStringLiteral("HighWaterStoreID"), 2},
                                         {QStringLiteral("HighWaterLookupItemID"), 2},
                                         {QStringLiteral("HighWaterDaoStringListID"), 86}};
    for (int i = 0; i < 10; ++i) {
        const auto it = used.find(kCounterNames[i]);
        const int expected = it == used.end() ? 1 : it->second;
        EXPECT_EQ(lines[6 + i], QStringLiteral("%1\t%2").arg(kCounterNames[i]).arg(expected));
    }
}

TEST_F(QvtoolTest, InfoShowsCountersAboveTheIdentifiersInUse) {
    const QString path = NewProject(QStringLiteral("crashed"));
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &h), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(h, "INSERT INTO Customer (ID) VALUES (7); UPDATE HighWater SET HighWaterCustomerID = 1",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(h);
    const ToolRun r = RunTool({QStringLiteral("info"), path});
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    EXPECT_TRUE(r.Lines().contains(QStringLiteral("HighWaterCustomerID\t8"))) << Show(r);
}

TEST_F(QvtoolTest, InfoEscapesTheDescription) {
    const QString path = NewProject(QStringLiteral("escaped"), QStringLiteral("a\tb\\c"));
    const ToolRun r = RunTool({QStringLiteral("info"), path});
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    EXPECT_TRUE(r.Lines().contains(QStringLiteral("Description\ta\\tb\\\\c"))) << Show(r);
}

// ---------------------------------------------------------------- tables and dump

TEST_F(QvtoolTest, TablesListsEveryFieldInCreationOrder) {
    const QString path = NewProject(QStringLiteral("tables"));
    const ToolRun r = RunTool({QStringLiteral("tables"), path});
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    const QStringList lines = r.Lines();

    // Runs of lines per table: each table appears once, all its fields together.
    QStringList runs;
    std::map<QString, QStringList> fields;
    for (const QString& line : lines) {
        const QStringList cells = line.split(QLatin1Char('\t'));
        ASSERT_EQ(cells.size(), 4) << line.toStdString();
        if (runs.isEmpty() || runs.last() != cells[0]) runs << cells[0];
        fields[cells[0]] << cells.mid(1).join(QLatin1Char('\t'));
    }
    EXPECT_EQ(runs, (QStringList{QStringLiteral("Project"), QStringLiteral("HighWater"),
                                 QStringLiteral("DiscTableNamesList"), QStringLiteral("Lookup"),
                                 QStringLiteral("ContainerNamesList"), QStringLiteral("ContainerList"),
                                 QStringLiteral("ColumnDefs"), QStringLiteral("Customer"),
                                 QStringLiteral("Invoice"), QStringLiteral("InvoiceItems"),
                                 QStringLiteral("Store"), QStringLiteral("StoreItems_1")}));

    EXPECT_EQ(fields[QStringLiteral("Project")],
              (QStringList{QStringLiteral("Version\t3\t0"), QStringLiteral("Shared\t1\t0"),
                           QStringLiteral("SharedFileSpec\t10\t200"), QStringLiteral("Description\t10\t255"),
                           QStringLiteral("BarPosition\t3\t0"), QStringLiteral("VerifyDelete\t1\t0")}));
    QStringList counters;
    for (const QString& c : kCounterNames) counters << c + QStringLiteral("\t4\t0");
    EXPECT_EQ(fields[QStringLiteral("HighWater")], counters);

    const QStringList grouped = {QStringLiteral("ID\t4\t0"), QStringLiteral("Group\t4\t0"),
                                 QStringLiteral("String\t10\t250")};
    for (const char* t : {"DiscTableNamesList", "ContainerNamesList", "ContainerList", "ColumnDefs"})
        EXPECT_EQ(fields[QString::fromLatin1(t)], grouped) << t;
    EXPECT_EQ(fields[QStringLiteral("Lookup")],
              (QStringList{QStringLiteral("ID\t4\t0"), QStringLiteral("Category\t4\t0"),
                           QStringLiteral("ItemName\t10\t50"), QStringLiteral("Value\t7\t0")}));

    EXPECT_TRUE(lines.contains(QStringLiteral("Customer\tBusiness\t1\t0")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Customer\tName\t10\t100")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Customer\tBalanceDue\t7\t0")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Invoice\tDateEntered\t8\t0")));
    EXPECT_TRUE(lines.contains(QStringLiteral("InvoiceItems\tQuantity\t3\t0")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Store\tStoreTabName\t10\t100")));
    EXPECT_TRUE(lines.contains(QStringLiteral("StoreItems_1\tQtyInStock\t4\t0")));
    // The engine's own row key is not a field of the program's.
    for (const QString& line : lines) EXPECT_FALSE(line.contains(QStringLiteral("qv_rowkey")));
}

TEST_F(QvtoolTest, DumpShowsTheDefaultContainers) {
    const QString path = NewProject(QStringLiteral("dump"));
    const ToolRun r = RunTool({QStringLiteral("dump"), path, QStringLiteral("ContainerList")});
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    EXPECT_EQ(r.Lines(), (QStringList{QStringLiteral("ID\tGroup\tString"), QStringLiteral("3\t2\tbox"),
                                      QStringLiteral("4\t2\tcan"), QStringLiteral("5\t2\tbag"),
                                      QStringLiteral("6\t2\tjug"), QStringLiteral("7\t2\tbottle"),
                                      QStringLiteral("8\t2\tcarton"), QStringLiteral("9\t2\tbarrel"),
                                      QStringLiteral("10\t2\tother")}));
}

TEST_F(QvtoolTest, DumpShowsTheColumnDefinitionsOfEveryList) {
    const QString path = NewProject(QStringLiteral("columns"));
    const ToolRun r = RunTool({QStringLiteral("dump"), path, QStringLiteral("ColumnDefs")});
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    ASSERT_FALSE(r.Lines().isEmpty());
    EXPECT_EQ(r.Lines().first(), QStringLiteral("ID\tGroup\tString"));

    const auto rows = DumpRows(r);
    EXPECT_EQ(rows.size(), 75u);
    std::map<int, int> perGroup;
    std::set<int> ids;
    for (const auto& row : rows) {
        ++perGroup[row.at(QStringLiteral("Group")).toInt()];
        ids.insert(row.at(QStringLiteral("ID")).toInt());
    }
    EXPECT_EQ(perGroup, (std::map<int, int>{{0, 20}, {1, 27}, {2, 9}, {11, 19}}));
    // IDs 1..10 went to the list names and containers; each definition has its own.
    EXPECT_EQ(ids.size(), 75u);
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(*ids.begin(), 11);
    EXPECT_EQ(*ids.rbegin(), 85);
}

TEST_F(QvtoolTest, DumpFormatsEachFieldType) {
    const QString path = NewProject(QStringLiteral("formats"));
    {
        db::Database file;
        file.open(path);
        db::Recordset customers(file);
        customers.open(QStringLiteral("select * from [Customer]"));
        customers.addNew();
        customers.setValue(QStringLiteral("ID"), 7);
        customers.setValue(QStringLiteral("CustomerNbr"), 1001);
        customers.setValue(QStringLiteral("Name"), QStringLiteral("Ann\tLee"));
        customers.setValue(QStringLiteral("BalanceDue"), 0.1);
        customers.setValue(QStringLiteral("DiscountRate"), 12.5);
        customers.setValue(QStringLiteral("TaxRate"), 0.0);
        customers.setValue(QStringLiteral("Business"), 0);
        customers.setValue(QStringLiteral("Taxable"), 1);
        customers.setValue(QStringLiteral("PriceChoice"), 3);
        customers.update();

        db::Recordset invoices(file);
        invoices.open(QStringLiteral("select * from [Invoice]"));
        invoices.addNew();
        invoices.setValue(QStringLiteral("ID"), 4);
        invoices.setValue(QStringLiteral("CustomerID"), 7);
        invoices.setValue(QStringLiteral("DateEntered"), 45000.5);
        invoices.setValue(QStringLiteral("DateOrdered"), 45001.0);
        invoices.update();
        file.close();
    }
    // Another writer may store true as -1.
    RawExec(path, "UPDATE \"Customer\" SET \"Business\" = -1");

    const ToolRun c = RunTool({QStringLiteral("dump"), path, QStringLiteral("Customer")});
    ASSERT_EQ(c.exitCode, 0) << Show(c);
    const auto customers = DumpRows(c);
    ASSERT_EQ(customers.size(), 1u) << Show(c);
    const auto& row = customers.front();
    EXPECT_EQ(row.at(QStringLiteral("ID")), QStringLiteral("7"));
    EXPECT_EQ(row.at(QStringLiteral("CustomerNbr")), QStringLiteral("1001"));
    EXPECT_EQ(row.at(QStringLiteral("Name")), QStringLiteral("Ann\\tLee"));
    EXPECT_EQ(row.at(QStringLiteral("BalanceDue")), QStringLiteral("0.1"));
    EXPECT_EQ(row.at(QStringLiteral("DiscountRate")), QStringLiteral("12.5"));
    EXPECT_EQ(row.at(QStringLiteral("TaxRate")), QStringLiteral("0"));
    EXPECT_EQ(row.at(QStringLiteral("Business")), QStringLiteral("1"));
    EXPECT_EQ(row.at(QStringLiteral("Taxable")), QStringLiteral("1"));
    EXPECT_EQ(row.at(QStringLiteral("ShareOrder")), QString()); // never written
    EXPECT_EQ(row.at(QStringLiteral("PriceChoice")), QStringLiteral("3"));
    EXPECT_EQ(row.size(), 22u);

    const ToolRun i = RunTool({QStringLiteral("dump"), path, QStringLiteral("Invoice")});
    ASSERT_EQ(i.exitCode, 0) << Show(i);
    const auto invoices = DumpRows(i);
    ASSERT_EQ(invoices.size(), 1u) << Show(i);
    EXPECT_EQ(invoices.front().at(QStringLiteral("DateEntered")), QStringLiteral("45000.5"));
    EXPECT_EQ(invoices.front().at(QStringLiteral("DateOrdered")), QStringLiteral("45001"));
    EXPECT_EQ(invoices.front().at(QStringLiteral("CustomerID")), QStringLiteral("7"));

    // An empty table dumps as its header alone.
    const ToolRun empty = RunTool({QStringLiteral("dump"), path, QStringLiteral("InvoiceItems")});
    ASSERT_EQ(empty.exitCode, 0) << Show(empty);
    ASSERT_EQ(empty.Lines().size(), 1);
    EXPECT_TRUE(empty.Lines().first().startsWith(QStringLiteral("ID\tInvoiceID\t")));
}

// ---------------------------------------------------------------- failures

TEST_F(QvtoolTest, InfoRefusesAnotherProjectVersion) {
    const QString path = NewProject(QStringLiteral("future"));
    {
        db::Database file;
        file.open(path);
        db::Recordset project(file);
        project.open(QStringLiteral("select * from [Project]"));
        project.moveLast();
        project.edit();
        project.setValue(QStringLiteral("Version"), 1003);
        project.update();
        file.close();
    }
    const ToolRun r = RunTool({QStringLiteral("info"), path});
    EXPECT_EQ(r.exitCode, 1) << Show(r);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("Unrecognized project file version!"));
    EXPECT_TRUE(r.out.isEmpty()) << Show(r);
}

TEST_F(QvtoolTest, CommandsRefuseFilesThatAreNotProjects) {
    const QString text = folder.path(QStringLiteral("notes.qvp"));
    WriteBytes(text, QByteArrayLiteral("These are notes, not a project.\n"));
    const QString missing = folder.path(QStringLiteral("missing.qvp"));

    for (const QString& path : {text, missing}) {
        for (const QStringList& args :
             {QStringList{QStringLiteral("info"), path}, QStringList{QStringLiteral("tables"), path},
              QStringList{QStringLiteral("dump"), path, QStringLiteral("Project")}}) {
            const ToolRun r = RunTool(args);
            EXPECT_EQ(r.exitCode, 1) << Show(r);
            EXPECT_FALSE(r.err.trimmed().isEmpty()) << Show(r);
            EXPECT_TRUE(r.out.isEmpty()) << Show(r);
        }
    }
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(ReadBytes(text), QByteArrayLiteral("These are notes, not a project.\n"));

    // A project, but not the table asked for.
    const QString project = NewProject(QStringLiteral("real"));
    const ToolRun r = RunTool({QStringLiteral("dump"), project, QStringLiteral("NoSuchTable")});
    EXPECT_EQ(r.exitCode, 1) << Show(r);
    EXPECT_FALSE(r.err.trimmed().isEmpty()) << Show(r);
}

TEST_F(QvtoolTest, NewNeverOverwritesAnExistingFile) {
    const QString text = folder.path(QStringLiteral("existing.qvp"));
    const QByteArray content = QByteArrayLiteral("keep me\n");
    WriteBytes(text, content);
    for (const QString& target : {text, folder.path(QStringLiteral("existing"))}) {
        const ToolRun r = RunTool({QStringLiteral("new"), target});
        EXPECT_EQ(r.exitCode, 1) << Show(r);
        EXPECT_FALSE(r.err.trimmed().isEmpty()) << Show(r);
        EXPECT_EQ(ReadBytes(text), content);
    }

    // An existing project keeps its contents too.
    const QString project = NewProject(QStringLiteral("kept"), QStringLiteral("Original"));
    const QByteArray before = ReadBytes(project);
    ASSERT_FALSE(before.isEmpty());
    const ToolRun again = RunTool({QStringLiteral("new"), project, QStringLiteral("--description"),
                                   QStringLiteral("Replacement")});
    EXPECT_EQ(again.exitCode, 1) << Show(again);
    EXPECT_FALSE(again.err.trimmed().isEmpty()) << Show(again);
    EXPECT_EQ(ReadBytes(project), before);
    const ToolRun info = RunTool({QStringLiteral("info"), project});
    EXPECT_TRUE(info.Lines().contains(QStringLiteral("Description\tOriginal"))) << Show(info);

    const QStringList files = QDir(folder.root()).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    EXPECT_EQ(files, (QStringList{QStringLiteral("existing.qvp"), QStringLiteral("kept.qvp")}));
}

TEST_F(QvtoolTest, NewInAMissingFolderCreatesNothing) {
    const ToolRun r = RunTool({QStringLiteral("new"), folder.path(QStringLiteral("absent/sub/project"))});
    EXPECT_EQ(r.exitCode, 1) << Show(r);
    EXPECT_FALSE(r.err.trimmed().isEmpty()) << Show(r);
    EXPECT_FALSE(QFileInfo::exists(folder.path(QStringLiteral("absent"))));
    EXPECT_TRUE(QDir(folder.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

TEST_F(QvtoolTest, BadCommandLinesShowTheUsage) {
    const QString project = NewProject(QStringLiteral("usage"));
    for (const QStringList& args :
         {QStringList{}, QStringList{QStringLiteral("bogus")}, QStringList{QStringLiteral("new")},
          QStringList{QStringLiteral("info")}, QStringList{QStringLiteral("dump"), project},
          QStringList{QStringLiteral("new"), folder.path(QStringLiteral("x")), QStringLiteral("--colour")}}) {
        const ToolRun r = RunTool(args);
        EXPECT_EQ(r.exitCode, 1) << Show(r);
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("usage: qvtool"))) << Show(r);
    }
    EXPECT_FALSE(QFileInfo::exists(folder.path(QStringLiteral("x.qvp"))));
}

// ---------------------------------------------------------------- shared projects

TEST_F(QvtoolTest, SharedProjectKeepsOnlyTheUsersOwnTables) {
    const QString shared = NewProject(QStringLiteral("shared"), QStringLiteral("The shop"));
    const ToolRun made = RunTool({QStringLiteral("new"), QStringLiteral("user"), QStringLiteral("--description"),
                                  QStringLiteral("My view"), QStringLiteral("--share"), shared},
                                 folder.root());
    ASSERT_EQ(made.exitCode, 0) << Show(made);
    const QString user = folder.path(QStringLiteral("user.qvp"));
    ASSERT_TRUE(QFileInfo::exists(user));

    const ToolRun tables = RunTool({QStringLiteral("tables"), user});
    ASSERT_EQ(tables.exitCode, 0) << Show(tables);
    QStringList names;
    for (const QString& line : tables.Lines()) {
        const QString table = line.section(QLatin1Char('\t'), 0, 0);
        if (names.isEmpty() || names.last() != table) names << table;
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("Project"), QStringLiteral("ColumnDefs")}));

    const ToolRun info = RunTool({QStringLiteral("info"), user});
    ASSERT_EQ(info.exitCode, 0) << Show(info);
    const QStringList lines = info.Lines();
    EXPECT_TRUE(lines.contains(QStringLiteral("Version\t1002")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Shared\t1")));
    EXPECT_TRUE(lines.contains(QStringLiteral("SharedFileSpec\t") + shared)) << Show(info);
    EXPECT_TRUE(lines.contains(QStringLiteral("Description\tMy view"))) << Show(info);
    EXPECT_EQ(lines.size(), 16);

    // The shared file stays a plain project with its own description.
    const ToolRun sharedInfo = RunTool({QStringLiteral("info"), shared});
    EXPECT_TRUE(sharedInfo.Lines().contains(QStringLiteral("Shared\t0")));
    EXPECT_TRUE(sharedInfo.Lines().contains(QStringLiteral("Description\tThe shop"))) << Show(sharedInfo);
}

TEST_F(QvtoolTest, SharedProjectNeedsAnExistingSharedFile) {
    const ToolRun r = RunTool({QStringLiteral("new"), QStringLiteral("user2"), QStringLiteral("--share"),
                               QStringLiteral("missing.qvp")},
                              folder.root());
    EXPECT_EQ(r.exitCode, 1) << Show(r);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Failed to find file:"))) << Show(r);
    EXPECT_FALSE(QFileInfo::exists(folder.path(QStringLiteral("user2.qvp"))));
    EXPECT_TRUE(QDir(folder.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

// ---------------------------------------------------------------- outside databases

TEST_F(QvtoolTest, SourceCommandsShowTablesFieldsAndRowsAsTheImportSeesThem) {
    QFile csv(folder.path(QStringLiteral("prices.csv")));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("Code;Name;Price\nA1;\"caf\xc3\xa9\tbar\";1.5\nB2;;\n");
    csv.close();
    const ToolRun tables = RunTool({QStringLiteral("source-tables"), folder.root()});
    EXPECT_EQ(tables.exitCode, 0) << Show(tables);
    EXPECT_EQ(tables.Lines(), QStringList{QStringLiteral("prices.csv\t2")});

    const ToolRun fields = RunTool({QStringLiteral("source-fields"), csv.fileName(), QStringLiteral("prices.csv"),
                                    QStringLiteral("--kind"), QStringLiteral("text")});
    EXPECT_EQ(fields.Lines(), (QStringList{"Code\t10", "Name\t10", "Price\t7"})) << Show(fields);

    const ToolRun rows = RunTool({QStringLiteral("source-rows"), csv.fileName(), QStringLiteral("prices.csv"),
                                  QStringLiteral("--limit"), QStringLiteral("5")});
    EXPECT_EQ(rows.Lines(), (QStringList{"Code\tName\tPrice", QStringLiteral("A1\tcaf\u00e9\\tbar\t1.5"), "B2\t\t\\N"}))
        << Show(rows);

    for (const QStringList& bad : {QStringList{"source-tables", folder.path(QStringLiteral("none.dbf"))},
                                   QStringList{"source-tables", folder.root(), "--kind", "lotus"},
                                   QStringList{"source-rows", csv.fileName(), "nosuch.csv"}}) {
        const ToolRun r = RunTool(bad);
        EXPECT_EQ(r.exitCode, 1) << Show(r);
        EXPECT_FALSE(r.err.trimmed().isEmpty()) << Show(r);
    }
}

// Every sample table a reader covers is listed with its rows; a table it refuses is named.
TEST_F(QvtoolTest, SourceTablesReadsTheSampleFolders) {
    const QString samples = QStringLiteral(QV_SAMPLES_DIR);
    if (!QFileInfo::exists(samples)) GTEST_SKIP() << "no sample folder";
    for (const char* sub : {"dbf", "paradox"}) {
        const ToolRun r = RunTool({QStringLiteral("source-tables"), samples + QLatin1Char('/') + QLatin1String(sub)});
        EXPECT_GE(r.Lines().size(), 10) << Show(r);
        for (const QString& line : r.Lines()) EXPECT_TRUE(line.contains(QLatin1Char('\t'))) << line.toStdString();
        EXPECT_EQ(r.exitCode, QLatin1String(sub) == QLatin1String("paradox") ? 1 : 0) << Show(r); // encrypted.db
    }
}

// ---------------------------------------------------------------- store exchange files

TEST_F(QvtoolTest, ExportStoreAndImportStoreRoundTripAStore) {
    const QString from = NewProject(QStringLiteral("from"));
    const QString to = NewProject(QStringLiteral("to"));
    sqlite3* h = nullptr;
    ASSERT_EQ(sqlite3_open(from.toUtf8().constData(), &h), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(h, "INSERT INTO StoreItems_1 (ID, ItemCode, Description, BaseLinePrice) VALUES (1, 'F-1', 'Rye flour', 24.5)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(h);
    const QString file = folder.path(QStringLiteral("store.mdb"));
    const ToolRun exported = RunTool({QStringLiteral("export-store"), from, QStringLiteral("--store"), QStringLiteral("1"), file});
    ASSERT_EQ(exported.exitCode, 0) << Show(exported);
    const ToolRun imported = RunTool({QStringLiteral("import-store"), to, file});
    ASSERT_EQ(imported.exitCode, 0) << Show(imported);
    const ToolRun dump = RunTool({QStringLiteral("dump"), to, QStringLiteral("StoreItems_2")});
    const auto rows = DumpRows(dump);
    ASSERT_EQ(rows.size(), 1u) << Show(dump);
    EXPECT_EQ(rows[0].at(QStringLiteral("Description")), QStringLiteral("Rye flour"));
    EXPECT_EQ(rows[0].at(QStringLiteral("BaseLinePrice")), QStringLiteral("24.5"));

    const ToolRun missing = RunTool({QStringLiteral("import-store"), to, folder.path(QStringLiteral("none.mdb"))});
    EXPECT_EQ(missing.exitCode, 1) << Show(missing);
    EXPECT_FALSE(missing.err.trimmed().isEmpty());
}

TEST_F(QvtoolTest, ImportStoreReadsAnExchangeFileKeptInAnAccessDatabase) {
    using jetwriter::Long, jetwriter::Integer, jetwriter::Double, jetwriter::Text;
    const std::vector<jetwriter::Table> tables = {
        {QStringLiteral("FileVersion"), {{Integer, QStringLiteral("Version")}}, {{1002}}},
        {QStringLiteral("Store"),
         {{Long, QStringLiteral("ID")}, {Text, QStringLiteral("StoreTabName")}, {Integer, QStringLiteral("TrackStockQty")}},
         {{7, QStringLiteral("Mühle"), 1}}},
        {QStringLiteral("StoreItems_7"),
         {{Long, QStringLiteral("ID")}, {Text, QStringLiteral("Description")}, {Double, QStringLiteral("BaseLinePrice")}},
         {{70, QStringLiteral("Roggenmehl"), 24.5}}},
        {QStringLiteral("ContainerNamesList"), {{Long, QStringLiteral("ID")}, {Text, QStringLiteral("String")}}, {{3, QStringLiteral("Säcke")}}},
        {QStringLiteral("ContainerList"),
         {{Long, QStringLiteral("ID")}, {Long, QStringLiteral("Group")}, {Text, QStringLiteral("String")}},
         {{31, 3, QStringLiteral("sack")}}},
        {QStringLiteral("DiscTableNamesList"), {{Long, QStringLiteral("ID")}, {Text, QStringLiteral("String")}}, {{4, QStringLiteral("Mengen")}}},
        {QStringLiteral("Lookup"),
         {{Long, QStringLiteral("ID")}, {Long, QStringLiteral("Category")}, {Text, QStringLiteral("ItemName")}, {Double, QStringLiteral("Value")}},
         {{41, 4, QStringLiteral("bulk"), 0.2}}},
    };
    const QString file = folder.path(QStringLiteral("old.mdb"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(jetwriter::Database(tables));
    }
    const QString to = NewProject(QStringLiteral("to"));
    const ToolRun imported = RunTool({QStringLiteral("import-store"), to, file});
    ASSERT_EQ(imported.exitCode, 0) << Show(imported);
    const auto items = DumpRows(RunTool({QStringLiteral("dump"), to, QStringLiteral("StoreItems_2")}));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].at(QStringLiteral("Description")), QStringLiteral("Roggenmehl"));
    EXPECT_EQ(items[0].at(QStringLiteral("BaseLinePrice")), QStringLiteral("24.5"));
    const auto stores = DumpRows(RunTool({QStringLiteral("dump"), to, QStringLiteral("Store")}));
    ASSERT_EQ(stores.size(), 2u);
    EXPECT_EQ(stores[1].at(QStringLiteral("StoreTabName")), QStringLiteral("Mühle"));
    EXPECT_EQ(stores[1].at(QStringLiteral("TrackStockQty")), QStringLiteral("1"));
    EXPECT_EQ(stores[1].at(QStringLiteral("City")), QStringLiteral(" ")); // not in the file

    // A damaged file: exit 1, the message names the file, the project keeps one store.
    QByteArray bytes = jetwriter::Database(tables);
    bytes.truncate(jetwriter::kPage + 10);
    const QString damaged = folder.path(QStringLiteral("damaged.mdb"));
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    const ToolRun refused = RunTool({QStringLiteral("import-store"), to, damaged});
    EXPECT_EQ(refused.exitCode, 1) << Show(refused);
    EXPECT_TRUE(refused.err.contains(damaged)) << Show(refused);
    EXPECT_EQ(DumpRows(RunTool({QStringLiteral("dump"), to, QStringLiteral("Store")})).size(), 2u);
}

// ---------------------------------------------------------------- import

TEST_F(QvtoolTest, ImportBringsAPriceListIntoTheFirstStore) {
    const QString path = NewProject(QStringLiteral("shop"));
    QFile csv(folder.path(QStringLiteral("prices.csv")));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("ID;ItemCode;Description;Cost\n900;A1;Cr\xc3\xa8me br\xc3\xbbl\xc3\xa9" "e;12.34\n901;B2;Is it fresh?;0.1\n;;;\n");
    csv.close();
    const ToolRun r = RunTool({QStringLiteral("import"), path, csv.fileName(), QStringLiteral("--into"), QStringLiteral("items"),
                               QStringLiteral("--from"), QStringLiteral("prices.csv"), QStringLiteral("--map"),
                               QStringLiteral("BaseLinePrice=Cost")});
    ASSERT_EQ(r.exitCode, 0) << Show(r);
    EXPECT_EQ(r.Lines().value(0), QStringLiteral("imported 2 rows into StoreItems_1"));
    EXPECT_EQ(r.Lines().value(1), QStringLiteral("1 blank rows dropped"));
    const auto rows = DumpRows(RunTool({QStringLiteral("dump"), path, QStringLiteral("StoreItems_1")}));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].at(QStringLiteral("Description")), QStringLiteral("Crème brûlée"));
    EXPECT_EQ(rows[0].at(QStringLiteral("BaseLinePrice")), QStringLiteral("12.34"));
    EXPECT_EQ(rows[1].at(QStringLiteral("Description")), QStringLiteral("Is it fresh?"));
    // Fresh identifiers, and the counter above them.
    EXPECT_EQ(rows[0].at(QStringLiteral("ID")), QStringLiteral("1"));
    EXPECT_EQ(rows[1].at(QStringLiteral("ID")), QStringLiteral("2"));
    const ToolRun info = RunTool({QStringLiteral("info"), path});
    EXPECT_TRUE(info.Lines().contains(QStringLiteral("HighWaterStoreItemsID\t3"))) << Show(info);

    const ToolRun bad = RunTool({QStringLiteral("import"), path, csv.fileName(), QStringLiteral("--into"),
                                 QStringLiteral("items"), QStringLiteral("--from"), QStringLiteral("prices.csv"),
                                 QStringLiteral("--store"), QStringLiteral("77")});
    EXPECT_EQ(bad.exitCode, 1) << Show(bad);
    EXPECT_EQ(bad.err.trimmed(), QStringLiteral("The project has no store 77.")) << Show(bad);
}

// ---- print-invoice and print-store

namespace {

// The layout mode closes a spaced-out title's blanks; the raw mode keeps them.
QString PdfText(const QString& pdf, const char* mode = "-layout") {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QLatin1String(mode), pdf, QStringLiteral("-")});
    return p.waitForFinished(60000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

} // namespace

class QvtoolPrint : public QvtoolTest {
protected:
    void SetUp() override {
        project = folder.path(QStringLiteral("demo.qvp"));
        const ToolRun made = RunTool({QStringLiteral("demo"), project, QStringLiteral("--customers"), QStringLiteral("15")});
        ASSERT_EQ(made.exitCode, 0) << Show(made);
    }
    QStringList Store(const char* id) { return {QStringLiteral("print-store"), project, QStringLiteral("--store"), QLatin1String(id)}; }
    QString project;
};

// The invoice: its texts, and every total as stored (the first invoice with discount, shipping
// and tax); the store list: its title and headings.
TEST_F(QvtoolPrint, PrintInvoiceAndPrintStoreWriteTheirPdfs) {
    std::map<QString, QString> inv;
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(project.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "select i.InvoiceNumber, i.ItemsSubtotal, i.DiscountAmount, i.ShipCharge, i.SalesTax, "
                       "i.InvoiceTotal, i.AmountPaid, c.CustomerNbr, c.Name from Invoice i join Customer c "
                       "on c.ID = i.CustomerID where i.GroupInvoice = 0 and i.DiscountAmount > 0 and "
                       "i.ShipCharge > 0 and i.SalesTax > 0 order by i.ID limit 1",
                       -1, &st, nullptr);
    if (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            inv[QString::fromUtf8(sqlite3_column_name(st, c))] = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    ASSERT_FALSE(inv.empty()) << "the demo has an invoice with discount, shipping and tax";
    const auto money = [&](const char* field) { return QString::asprintf("%.2f", inv.at(QLatin1String(field)).toDouble()); };

    const QString pdf = folder.path(QStringLiteral("invoice.pdf"));
    const ToolRun run = RunTool({QStringLiteral("print-invoice"), project, QStringLiteral("--invoice"),
                                 inv.at(QStringLiteral("InvoiceNumber")), QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(run.exitCode, 0) << Show(run);
    const QString text = PdfText(pdf), flat = text.simplified();
    EXPECT_TRUE(PdfText(pdf, "-raw").contains(QLatin1String("I N V O I C E"))) << text.toStdString();
    for (const QString& want : {QStringLiteral("Invoice # %1").arg(inv.at(QStringLiteral("InvoiceNumber"))),
                                QStringLiteral("Customer # %1").arg(inv.at(QStringLiteral("CustomerNbr"))), inv.at(QStringLiteral("Name")).simplified()})
        EXPECT_TRUE(flat.contains(want)) << want.toStdString() << "\n" << text.toStdString();
    const std::pair<const char*, QString> totals[] = {
        {"Subtotal: $", money("ItemsSubtotal")},  {"Discount:", money("DiscountAmount")},
        {"Shipping:", money("ShipCharge")},       {"Sales Tax:", money("SalesTax")},
        {"Invoice Total: $", money("InvoiceTotal")}, {"Amount Paid: $", money("AmountPaid")},
        {"Balance Due: $", QString::asprintf("%.2f", inv.at(QStringLiteral("InvoiceTotal")).toDouble() - inv.at(QStringLiteral("AmountPaid")).toDouble())},
    };
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const auto& [label, amount] : totals)
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString& line) {
            return line.simplified().contains(QLatin1String(label)) && line.simplified().endsWith(QStringLiteral("$ ") + amount);
        })) << label << " " << amount.toStdString() << "\n" << text.toStdString();

    const QString store = folder.path(QStringLiteral("store.pdf"));
    const ToolRun printed = RunTool(Store("1") + QStringList{QStringLiteral("--pdf"), store, QStringLiteral("--page"), QStringLiteral("A4")});
    ASSERT_EQ(printed.exitCode, 0) << Show(printed);
    EXPECT_TRUE(PdfText(store, "-raw").contains(QLatin1String("S T O R E I T E M S"))) << "runs of blanks come out as one";
    EXPECT_TRUE(PdfText(store).simplified().contains(QLatin1String("Item Description")));
}

TEST_F(QvtoolPrint, BadInputFailsWithAMessageAndLeavesNoFile) {
    const QString good = folder.path(QStringLiteral("out.pdf"));
    const QString locked = folder.path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(locked));
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    struct Case {
        QStringList args;
        QString pdf;
        const char* message;
    };
    std::vector<Case> cases = {
        {{QStringLiteral("print-invoice"), project, QStringLiteral("--invoice"), QStringLiteral("987654")}, good, "no invoice number 987654"},
        {Store("99"), good, "no store with ID 99"},
        {Store("1"), folder.path(QStringLiteral("no/such/folder/out.pdf")), "does not exist"},
        {Store("1"), QStringLiteral("/proc/qv-print-test.pdf"), "Cannot write"},
        {Store("1") + QStringList{QStringLiteral("--page"), QStringLiteral("A5")}, good, "usage:"},
        {{QStringLiteral("print-store"), folder.path(QStringLiteral("none.qvp")), QStringLiteral("--store"), QStringLiteral("1")}, good, ""},
    };
    // Where the permission holds (not as root), a folder without write permission is refused too.
    if (!QFile(locked + QStringLiteral("/probe")).open(QIODevice::WriteOnly)) cases.push_back({Store("1"), locked + QStringLiteral("/out.pdf"), ""});
    for (const Case& c : cases) {
        const ToolRun run = RunTool(c.args + QStringList{QStringLiteral("--pdf"), c.pdf});
        EXPECT_EQ(run.exitCode, 1) << Show(run);
        EXPECT_FALSE(run.err.trimmed().isEmpty()) << Show(run);
        EXPECT_TRUE(run.err.contains(QLatin1String(c.message)) && run.out.isEmpty()) << c.message << "\n" << Show(run);
        EXPECT_FALSE(QFileInfo::exists(c.pdf)) << c.pdf.toStdString();
    }
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
