// A new project: its file, tables, default rows, column layouts and counters.
#include "db/database.h"
#include "db/recordset.h"
#include "lookup/groupedstringlist.h"
#include "project/quorvanedoc.h"
#include "scriptedprompter.h"
#include "testutil.h"
#include "trace/tracesink.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <map>

namespace {

struct Row {
    std::map<QString, QVariant> v;
    QVariant operator[](const char* f) const { return v.at(QString::fromLatin1(f)); }
};

std::vector<Row> ReadTable(db::Database& file, const QString& table) {
    db::Recordset rs(file);
    rs.open(QStringLiteral("select * from [%1]").arg(table));
    std::vector<Row> rows;
    if (rs.recordCount() == 0) return rows;
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
        Row r;
        for (const db::FieldDef& f : rs.fields()) r.v[f.name] = rs.value(f.name);
        rows.push_back(r);
    }
    return rows;
}

class NewProject : public ::testing::Test {
protected:
    TempFolder folder;
    CScriptedPrompter prompter;

    QString Create(const QString& name, const QString& description = QStringLiteral("Shop")) {
        CQuorvaneDoc doc(&prompter);
        CQuorvaneDoc::NewProjectRequest request;
        request.path = folder.path(name);
        request.description = description;
        EXPECT_TRUE(doc.CreateNewProject(request));
        const QString path = doc.GetPathName();
        doc.OnFileCloseProject();
        return path;
    }
};

TEST_F(NewProject, HoldsEveryTableInCreationOrderAndNothingBeside) {
    const QString path = Create(QStringLiteral("shop"));
    EXPECT_EQ(path, folder.path(QStringLiteral("shop.qvp")));
    EXPECT_TRUE(prompter.m_shown.isEmpty()) << prompter.m_shown.join(QLatin1Char('|')).toStdString();
    // A closed project is one file.
    EXPECT_EQ(QDir(folder.root()).entryList(QDir::Files), QStringList{QStringLiteral("shop.qvp")});

    db::Database file;
    file.open(path, true);
    EXPECT_EQ(file.tableNames(),
              (QStringList{"Project", "HighWater", "DiscTableNamesList", "Lookup", "ContainerNamesList",
                           "ContainerList", "ColumnDefs", "Customer", "Invoice", "InvoiceItems", "Store",
                           "StoreItems_1"}));
    EXPECT_EQ(file.tableDef(QStringLiteral("Invoice")).fields.size(), 36u);
    EXPECT_EQ(file.tableDef(QStringLiteral("Customer")).fields.size(), 22u);
    EXPECT_EQ(file.tableDef(QStringLiteral("StoreItems_1")).fields.size(), 20u);
    EXPECT_TRUE(ReadTable(file, QStringLiteral("Customer")).empty());
    EXPECT_TRUE(ReadTable(file, QStringLiteral("Invoice")).empty());
    EXPECT_TRUE(ReadTable(file, QStringLiteral("InvoiceItems")).empty());
    EXPECT_TRUE(ReadTable(file, QStringLiteral("StoreItems_1")).empty());
}

TEST_F(NewProject, HasItsDefaultRows) {
    const QString path = Create(QStringLiteral("shop.qvp"), QStringLiteral("Corner shop"));
    db::Database file;
    file.open(path, true);

    const auto project = ReadTable(file, QStringLiteral("Project"));
    ASSERT_EQ(project.size(), 1u);
    EXPECT_EQ(project[0]["Version"].toInt(), 1002);
    EXPECT_EQ(project[0]["Shared"].toInt(), 0);
    EXPECT_EQ(project[0]["SharedFileSpec"].toString(), QStringLiteral(" "));
    EXPECT_EQ(project[0]["Description"].toString(), QStringLiteral("Corner shop"));
    EXPECT_EQ(project[0]["BarPosition"].toInt(), 380);
    EXPECT_EQ(project[0]["VerifyDelete"].toInt(), 1);

    const auto discNames = ReadTable(file, QStringLiteral("DiscTableNamesList"));
    ASSERT_EQ(discNames.size(), 1u);
    EXPECT_EQ(discNames[0]["ID"].toInt(), 1);
    EXPECT_EQ(discNames[0]["Group"].toInt(), 0);
    EXPECT_EQ(discNames[0]["String"].toString(), QStringLiteral("Default"));

    const auto lookup = ReadTable(file, QStringLiteral("Lookup"));
    ASSERT_EQ(lookup.size(), 1u);
    EXPECT_EQ(lookup[0]["ID"].toInt(), 1);
    EXPECT_EQ(lookup[0]["Category"].toInt(), 1);
    EXPECT_EQ(lookup[0]["ItemName"].toString(), QStringLiteral("default"));
    EXPECT_EQ(lookup[0]["Value"].toDouble(), 0.0);

    const auto containerNames = ReadTable(file, QStringLiteral("ContainerNamesList"));
    ASSERT_EQ(containerNames.size(), 1u);
    EXPECT_EQ(containerNames[0]["ID"].toInt(), 2);
    EXPECT_EQ(containerNames[0]["String"].toString(), QStringLiteral("Default"));

    const auto containers = ReadTable(file, QStringLiteral("ContainerList"));
    const QStringList names{"box", "can", "bag", "jug", "bottle", "carton", "barrel", "other"};
    ASSERT_EQ(containers.size(), size_t(names.size()));
    for (int i = 0; i < names.size(); ++i) {
        EXPECT_EQ(containers[size_t(i)]["ID"].toInt(), 3 + i);
        EXPECT_EQ(containers[size_t(i)]["Group"].toInt(), 2);
        EXPECT_EQ(containers[size_t(i)]["String"].toString(), names[i]);
    }

    const auto stores = ReadTable(file, QStringLiteral("Store"));
    ASSERT_EQ(stores.size(), 1u);
    EXPECT_EQ(stores[0]["ID"].toInt(), 1);
    EXPECT_EQ(stores[0]["StoreTabName"].toString(), QStringLiteral("Store 1"));
    EXPECT_DOUBLE_EQ(stores[0]["ShippingCost"].toDouble(), 0.01);
    EXPECT_EQ(stores[0]["DiscTableID"].toInt(), 1);
    EXPECT_EQ(stores[0]["ContainerID"].toInt(), 2);
    EXPECT_EQ(stores[0]["TrackStockQty"].toInt(), 0);
    EXPECT_EQ(stores[0]["StoreName"].toString(), QStringLiteral(" ")); // never Null, never empty

    const auto hw = ReadTable(file, QStringLiteral("HighWater"));
    ASSERT_EQ(hw.size(), 1u);
    EXPECT_EQ(hw[0]["HighWaterStoreID"].toInt(), 2);
    EXPECT_EQ(hw[0]["HighWaterLookupItemID"].toInt(), 2);
    // 10 list rows, then 20 + 27 + 9 + 19 column rows.
    EXPECT_EQ(hw[0]["HighWaterDaoStringListID"].toInt(), 11 + 75);
    for (const char* f : {"HighWaterCustomerID", "HighWaterCustomerNbr", "HighWaterInvoiceID",
                          "HighWaterInvoiceNbr", "HighWaterInvoiceGroupID", "HighWaterInvItemsID",
                          "HighWaterStoreItemsID"})
        EXPECT_EQ(hw[0][f].toInt(), 1) << f;
}

TEST_F(NewProject, StoresTheDefaultColumnLayoutOfEveryList) {
    const QString path = Create(QStringLiteral("cols"));
    db::Database file;
    file.open(path, true);
    std::map<int, std::vector<QString>> byGroup;
    for (const Row& r : ReadTable(file, QStringLiteral("ColumnDefs")))
        byGroup[r["Group"].toInt()].push_back(r["String"].toString());
    ASSERT_EQ(byGroup.size(), 4u);
    EXPECT_EQ(byGroup[0].size(), 20u);
    EXPECT_EQ(byGroup[1].size(), 27u);
    EXPECT_EQ(byGroup[2].size(), 9u);
    EXPECT_EQ(byGroup[11].size(), 19u); // the first store's list: 10 + its ID
    // Row 0 of the customers: column 0 "Customer#", and slot 0 shows column 1 ("Name").
    EXPECT_EQ(byGroup[0][0],
              QStringLiteral("   0 Customer#           Customer number                                      65    1    1    1    0"));
    // The store list's slot 4 shows "Dscnt%" (column 7).
    EXPECT_EQ(byGroup[11][4].mid(85).split(QLatin1Char(' '), Qt::SkipEmptyParts),
              (QStringList{"1", "7", "4"}));
}

TEST_F(NewProject, PathAndSuggestedNameRules) {
    EXPECT_EQ(CQuorvaneDoc::ProjectPathWithExtension(QStringLiteral("/data/shop")), QStringLiteral("/data/shop.qvp"));
    EXPECT_EQ(CQuorvaneDoc::ProjectPathWithExtension(QStringLiteral("/data/shop.QVP")),
              QStringLiteral("/data/shop.QVP.qvp"));
    EXPECT_EQ(CQuorvaneDoc::ProjectPathWithExtension(QStringLiteral("/data/a.qvp.old")),
              QStringLiteral("/data/a.qvp.old"));

    EXPECT_EQ(CQuorvaneDoc::SuggestNewProjectName(folder.root()), folder.path(QStringLiteral("NewProject_1.qvp")));
    for (const char* n : {"NewProject_1.qvp", "NewProject_2.qvp"}) {
        QFile f(folder.path(QString::fromLatin1(n)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(CQuorvaneDoc::SuggestNewProjectName(folder.root()), folder.path(QStringLiteral("NewProject_3.qvp")));
}

TEST_F(NewProject, DescriptionIsCutTo255Characters) {
    const QString path = Create(QStringLiteral("long"), QString(300, QLatin1Char('d')));
    db::Database file;
    file.open(path, true);
    EXPECT_EQ(ReadTable(file, QStringLiteral("Project"))[0]["Description"].toString(), QString(255, QLatin1Char('d')));
}

TEST_F(NewProject, ReportsItsStepsToTheTrace) {
    CTraceSink sink;
    sink.SetTracing(true);
    SetTraceSink(&sink);
    Create(QStringLiteral("traced"));
    SetTraceSink(nullptr);
    const std::vector<QString> lines(sink.Lines().begin(), sink.Lines().end());
    std::vector<QString> steps;
    for (const QString& l : lines)
        if (l.startsWith(QLatin1String("  Creating"))) steps.push_back(l);
    EXPECT_EQ(steps, (std::vector<QString>{
                         "  Creating Discount Table Names List...", "  Creating Discount Lookup Table...",
                         "  Creating Container Names List...", "  Creating Container List...",
                         "  Creating ListCtrl Column Def's...", "  Creating Customer List Control...",
                         "  Creating Invoices List Control...", "  Creating Invoice Items List Control...",
                         "  Creating Store Tab Control..."}));
    EXPECT_NE(std::find(lines.begin(), lines.end(), QStringLiteral("CQuorvaneDoc::CreateNewProject()")), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), QStringLiteral("CQuorvaneDoc::OnFileCloseProject()")), lines.end());
}

} // namespace
