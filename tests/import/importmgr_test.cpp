#include "import/databaseimportmgr.h"

#include "db/recordset.h"
#include "dbfwriter.h"
#include "project/projectfixture.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

void WriteText(const QString& path, const QString& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

// Counts calls and presses Escape on the given one.
class CFakeProgress : public IImportProgress {
public:
    explicit CFakeProgress(int escapeAt = -1) : m_escapeAt(escapeAt) {}
    void Start(int total) override { m_total = total; }
    void Show(int percent) override { m_shown.push_back(percent); }
    bool EscapePressed() override { return ++m_asked == m_escapeAt; }
    void Finish() override { m_finished = true; }
    int m_escapeAt;
    int m_total = -1;
    int m_asked = 0;
    bool m_finished = false;
    std::vector<int> m_shown;
};

class ImportMgrTest : public ProjectFixture {
protected:
    void SetUp() override {
        const QString path = Create(QStringLiteral("import.qvp"));
        ASSERT_TRUE(doc.OpenProject(path));
        source = folder.path(QStringLiteral("src"));
        QDir().mkpath(source);
    }
    void TearDown() override { doc.OnFileCloseProject(); }

    // One table through the automatic match, with some lines mapped by hand (dest=source, or
    // dest= for nothing).
    bool Import(CDatabaseImportMgr& mgr, int index, const QString& table, const QStringList& by = {},
                IImportProgress* progress = nullptr) {
        if (!mgr.LoadDestinationTableEntryNames(index) || !mgr.LoadSourceTableEntryNames(table)) return false;
        QStringList sources = *mgr.GetPtrSourceEntryNamesAndTypesList();
        sources << CDatabaseImportMgr::kNoMatch;
        QStringList mapping = CDatabaseImportMgr::MatchEntries(*mgr.GetPtrDestinationEntryList(), sources);
        for (const QString& m : by) {
            const QString dest = m.section(QLatin1Char('='), 0, 0);
            const QString src = m.section(QLatin1Char('='), 1);
            for (QString& line : mapping) {
                if (line.section(QLatin1Char('\t'), 0, 0) != dest) continue;
                QString chosen = CDatabaseImportMgr::kNoMatch;
                for (const QString& s : sources)
                    if (s.section(QLatin1Char('\t'), 0, 0) == src) chosen = s;
                line = line.left(line.indexOf(QLatin1String("= ")) + 2) + chosen;
            }
        }
        *mgr.GetPtrDestinationEntryList() = mapping;
        return mgr.LoadSourceItems(index, table, progress);
    }

    std::vector<QVariantHash> Rows(const QString& table) {
        std::vector<QVariantHash> rows;
        db::Recordset rs(*doc.GetPtrDatabase());
        rs.open(QStringLiteral("select * from [%1]").arg(table));
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
            QVariantHash h;
            for (const auto& f : rs.fields()) h.insert(f.name, rs.value(f.name));
            rows.push_back(h);
        }
        return rows;
    }
    int MaxID(const QString& table) {
        int top = 0;
        for (const auto& r : Rows(table)) top = std::max(top, r.value(QStringLiteral("ID")).toInt());
        return top;
    }
    int FirstStore() { return Rows(QStringLiteral("Store")).at(0).value(QStringLiteral("ID")).toInt(); }

    QString source;
};

TEST_F(ImportMgrTest, CustomersInvoicesAndLinesEndUpLinkedWithTheirTotals) {
    WriteText(source + QStringLiteral("/customers.csv"),
              QStringLiteral("ID,Name,City\n7,Ana Núñez,Sevilla\n9,Bob,Is it fresh?\n,,\n"));
    WriteText(source + QStringLiteral("/invoices.csv"),
              QStringLiteral("ID,CustomerID,InvoiceNumber,InvoiceTotal,AmountPaid\n"
                             "70,7,500,100.25,20\n71,9,501,10,0\n72,7,502,5.5,0\n"));
    WriteText(source + QStringLiteral("/lines.csv"),
              QStringLiteral("ID,InvoiceID,ItemCode,Quantity,BackOrderCnt,Price\n"
                             "1,70,A1,2,5,3.5\n2,72,B2,1,0,5.5\n"));
    const int customersBefore = int(Rows(QStringLiteral("Customer")).size());
    CDatabaseImportMgr mgr(doc, prompter);
    mgr.SetStoreID(FirstStore());
    ASSERT_TRUE(mgr.OpenIsamDatabase(source, import::SourceKind::Text));
    ASSERT_TRUE(Import(mgr, CDatabaseImportMgr::Customers, QStringLiteral("customers.csv")));
    EXPECT_EQ(mgr.LastResult(CDatabaseImportMgr::Customers).rows, 2);
    EXPECT_EQ(mgr.LastResult(CDatabaseImportMgr::Customers).dropped, 1);
    EXPECT_EQ(mgr.LastResult(CDatabaseImportMgr::Customers).numbered, 2);
    // Whole numbers read as integers: the automatic match pairs equal type texts only.
    ASSERT_TRUE(Import(mgr, CDatabaseImportMgr::Invoices, QStringLiteral("invoices.csv"),
                       {QStringLiteral("AmountPaid=AmountPaid")}));
    ASSERT_TRUE(Import(mgr, CDatabaseImportMgr::InvoiceItems, QStringLiteral("lines.csv")));
    mgr.FinishImport();

    const auto customers = Rows(QStringLiteral("Customer"));
    ASSERT_EQ(int(customers.size()), customersBefore + 2);
    QHash<QString, QVariantHash> byName;
    for (const auto& c : customers) byName.insert(c.value(QStringLiteral("Name")).toString(), c);
    ASSERT_TRUE(byName.contains(QStringLiteral("Ana Núñez")));
    const QVariantHash ana = byName.value(QStringLiteral("Ana Núñez"));
    const QVariantHash bob = byName.value(QStringLiteral("Bob"));
    EXPECT_EQ(bob.value(QStringLiteral("City")).toString(), QStringLiteral("Is it fresh?"));
    EXPECT_NE(ana.value(QStringLiteral("ID")).toInt(), 7); // the counter's identifier, not the source's
    EXPECT_GT(ana.value(QStringLiteral("CustomerNbr")).toInt(), 0);
    EXPECT_NE(ana.value(QStringLiteral("CustomerNbr")), bob.value(QStringLiteral("CustomerNbr")));
    EXPECT_EQ(ana.value(QStringLiteral("InvoiceCnt")).toInt(), 2);
    EXPECT_DOUBLE_EQ(ana.value(QStringLiteral("BalanceDue")).toDouble(), 100.25 - 20 + 5.5);
    EXPECT_EQ(bob.value(QStringLiteral("InvoiceCnt")).toInt(), 1);

    QHash<int, QVariantHash> invoiceByNumber;
    for (const auto& i : Rows(QStringLiteral("Invoice"))) invoiceByNumber.insert(i.value(QStringLiteral("InvoiceNumber")).toInt(), i);
    EXPECT_EQ(invoiceByNumber.value(500).value(QStringLiteral("CustomerID")), ana.value(QStringLiteral("ID")));
    EXPECT_EQ(invoiceByNumber.value(500).value(QStringLiteral("CustomerNumber")), ana.value(QStringLiteral("CustomerNbr")));
    EXPECT_EQ(invoiceByNumber.value(501).value(QStringLiteral("CustomerID")), bob.value(QStringLiteral("ID")));

    const auto lines = Rows(QStringLiteral("InvoiceItems"));
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& l : lines) {
        const bool first = l.value(QStringLiteral("ItemCode")).toString() == QLatin1String("A1");
        const QVariantHash& invoice = invoiceByNumber.value(first ? 500 : 502);
        EXPECT_EQ(l.value(QStringLiteral("InvoiceID")), invoice.value(QStringLiteral("ID")));
        EXPECT_EQ(l.value(QStringLiteral("InvoiceNumber")), invoice.value(QStringLiteral("InvoiceNumber")));
        if (first) {
            EXPECT_EQ(l.value(QStringLiteral("BackOrderCnt")).toInt(), 2); // at most the quantity
        }
    }

    // Every counter is above every identifier and number now in its table.
    EXPECT_GT(doc.GetCounter(CQuorvaneDoc::CustomerID), MaxID(QStringLiteral("Customer")));
    EXPECT_GT(doc.GetCounter(CQuorvaneDoc::InvoiceID), MaxID(QStringLiteral("Invoice")));
    EXPECT_GT(doc.GetCounter(CQuorvaneDoc::InvItemsID), MaxID(QStringLiteral("InvoiceItems")));
    EXPECT_GT(doc.GetCounter(CQuorvaneDoc::InvoiceNbr), 502);
    EXPECT_GT(doc.GetCounter(CQuorvaneDoc::CustomerNbr), std::max(ana.value(QStringLiteral("CustomerNbr")).toInt(),
                                                                   bob.value(QStringLiteral("CustomerNbr")).toInt()));
}

TEST_F(ImportMgrTest, ProgressShowsAbove200RowsOnly) {
    for (const int n : {200, 201}) {
        QString csv = QStringLiteral("Name\n");
        for (int i = 0; i < n; ++i) csv += QStringLiteral("c%1\n").arg(i);
        const QString file = QStringLiteral("c%1.csv").arg(n);
        WriteText(source + QLatin1Char('/') + file, csv);
        CDatabaseImportMgr mgr(doc, prompter);
        ASSERT_TRUE(mgr.OpenIsamDatabase(source, import::SourceKind::Text));
        CFakeProgress progress;
        ASSERT_TRUE(Import(mgr, CDatabaseImportMgr::Customers, file, {}, &progress));
        EXPECT_EQ(mgr.LastResult(CDatabaseImportMgr::Customers).rows, n);
        EXPECT_EQ(progress.m_total, n == 200 ? -1 : 201) << n;
        EXPECT_EQ(progress.m_finished, n == 201) << n;
        if (n == 201) {
            EXPECT_EQ(progress.m_shown.front(), 5);
            EXPECT_EQ(progress.m_shown.back(), 100);
        }
    }
}

TEST_F(ImportMgrTest, EscapeKeepsTheRowsAlreadyCopied) {
    QString csv = QStringLiteral("Name\n");
    for (int i = 0; i < 300; ++i) csv += QStringLiteral("c%1\n").arg(i);
    WriteText(source + QStringLiteral("/many.csv"), csv);
    const size_t before = Rows(QStringLiteral("Customer")).size();
    CDatabaseImportMgr mgr(doc, prompter);
    ASSERT_TRUE(mgr.OpenIsamDatabase(source, import::SourceKind::Text));
    CFakeProgress progress(120);
    ASSERT_TRUE(Import(mgr, CDatabaseImportMgr::Customers, QStringLiteral("many.csv"), {}, &progress));
    EXPECT_TRUE(mgr.LastResult(CDatabaseImportMgr::Customers).stopped);
    EXPECT_EQ(mgr.LastResult(CDatabaseImportMgr::Customers).rows, 119);
    EXPECT_EQ(Rows(QStringLiteral("Customer")).size(), before + 119);
    EXPECT_GT(doc.GetCounter(CQuorvaneDoc::CustomerID), MaxID(QStringLiteral("Customer")));
}

TEST_F(ImportMgrTest, ADamagedSourceLeavesTheTableAsItWas) {
    const QString file = source + QStringLiteral("/items.dbf");
    std::vector<std::vector<QByteArray>> rows;
    for (int i = 0; i < 50; ++i) rows.push_back({QByteArray("X") + QByteArray::number(i), "1.25"});
    const QByteArray bytes = dbfwriter::Table({{"ITEMCODE", 'C', 10}, {"BASELINEPR", 'N', 8, 2}}, rows);
    ASSERT_TRUE(dbfwriter::Write(file, bytes));
    const int store = FirstStore();
    const QString table = QStringLiteral("StoreItems_%1").arg(store);
    const auto before = Rows(table);
    CDatabaseImportMgr mgr(doc, prompter);
    mgr.SetStoreID(store);
    ASSERT_TRUE(mgr.OpenIsamDatabase(source, import::SourceKind::DBase));
    ASSERT_TRUE(mgr.LoadDestinationTableEntryNames(CDatabaseImportMgr::StoreItems));
    ASSERT_TRUE(mgr.LoadSourceTableEntryNames(QStringLiteral("items")));
    // The file is cut short after its fields were read.
    ASSERT_TRUE(dbfwriter::Write(file, bytes.left(bytes.size() / 2)));
    *mgr.GetPtrDestinationEntryList() = CDatabaseImportMgr::MatchEntries(
        *mgr.GetPtrDestinationEntryList(), *mgr.GetPtrSourceEntryNamesAndTypesList());
    EXPECT_FALSE(mgr.LoadSourceItems(CDatabaseImportMgr::StoreItems, QStringLiteral("items")));
    EXPECT_EQ(Rows(table).size(), before.size());
    ASSERT_FALSE(prompter.m_shown.isEmpty());
    EXPECT_TRUE(prompter.m_shown.back().contains(QStringLiteral("items"))) << prompter.m_shown.back().toStdString();
    EXPECT_TRUE(prompter.m_shown.back().contains(QStringLiteral("cut short"))) << prompter.m_shown.back().toStdString();
}

TEST_F(ImportMgrTest, StoreItemsFromADbfKeepExactPrices) {
    const QString file = source + QStringLiteral("/prices.dbf");
    ASSERT_TRUE(dbfwriter::Write(file, dbfwriter::Table({{"ITEMCODE", 'C', 10}, {"DESCRIPTIO", 'C', 30}, {"PRICE", 'N', 10, 2}},
                                                         {{"A1", "Olive oil", "12.34"}, {"B2", "Salt", "0.10"}})));
    const int store = FirstStore();
    CDatabaseImportMgr mgr(doc, prompter);
    mgr.SetStoreID(store);
    ASSERT_TRUE(mgr.OpenIsamDatabase(source, import::SourceKind::DBase));
    ASSERT_TRUE(Import(mgr, CDatabaseImportMgr::StoreItems, QStringLiteral("prices"),
                       {QStringLiteral("BaseLinePrice=PRICE"), QStringLiteral("Description=DESCRIPTIO")}));
    mgr.FinishImport();
    const auto items = Rows(QStringLiteral("StoreItems_%1").arg(store));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].value(QStringLiteral("ItemCode")).toString(), QStringLiteral("A1"));
    EXPECT_EQ(items[0].value(QStringLiteral("Description")).toString(), QStringLiteral("Olive oil"));
    EXPECT_DOUBLE_EQ(items[0].value(QStringLiteral("BaseLinePrice")).toDouble(), 12.34);
    EXPECT_DOUBLE_EQ(items[1].value(QStringLiteral("BaseLinePrice")).toDouble(), 0.10);
    EXPECT_GT(doc.GetCounter(CQuorvaneDoc::StoreItemsID), MaxID(QStringLiteral("StoreItems_%1").arg(store)));
}

TEST_F(ImportMgrTest, TheMappingIsRememberedPerSourceTableAndDestination) {
    WriteText(source + QStringLiteral("/people.csv"), QStringLiteral("Name,Town\nAna,Lima\n"));
    CDatabaseImportMgr mgr(doc, prompter);
    ASSERT_TRUE(mgr.OpenIsamDatabase(source, import::SourceKind::Text));
    ASSERT_TRUE(mgr.LoadDestinationTableEntryNames(CDatabaseImportMgr::Customers));
    ASSERT_TRUE(mgr.LoadSourceTableEntryNames(QStringLiteral("people.csv")));
    QStringList sources = *mgr.GetPtrSourceEntryNamesAndTypesList();
    sources << CDatabaseImportMgr::kNoMatch;
    const QStringList automatic = CDatabaseImportMgr::MatchEntries(*mgr.GetPtrDestinationEntryList(), sources);
    QStringList chosen = automatic;
    for (QString& line : chosen) {
        if (line.startsWith(QLatin1String("City\t"))) line = QStringLiteral("City\tText\t= Town\tText");
        if (line.startsWith(QLatin1String("Name\t"))) line = QStringLiteral("Name\tText\t= <no match>");
    }
    EXPECT_EQ(mgr.RememberedMapping(CDatabaseImportMgr::Customers, QStringLiteral("people.csv"), automatic), automatic);
    mgr.RememberMapping(CDatabaseImportMgr::Customers, QStringLiteral("people.csv"), chosen);
    EXPECT_EQ(mgr.RememberedMapping(CDatabaseImportMgr::Customers, QStringLiteral("people.csv"), automatic), chosen);
    // Another destination or table starts from the automatic match.
    EXPECT_EQ(mgr.RememberedMapping(CDatabaseImportMgr::Invoices, QStringLiteral("people.csv"), automatic), automatic);
    EXPECT_EQ(mgr.RememberedMapping(CDatabaseImportMgr::Customers, QStringLiteral("other.csv"), automatic), automatic);
    // Kept in the project: the file opens again and still holds it.
    const QString path = doc.GetPathName();
    doc.OnFileCloseProject();
    ASSERT_TRUE(doc.OpenProject(path)) << prompter.m_shown.join(QLatin1Char('|')).toStdString();
    CDatabaseImportMgr later(doc, prompter);
    ASSERT_TRUE(later.OpenIsamDatabase(source, import::SourceKind::Text));
    ASSERT_TRUE(later.LoadSourceTableEntryNames(QStringLiteral("people.csv")));
    EXPECT_EQ(later.RememberedMapping(CDatabaseImportMgr::Customers, QStringLiteral("people.csv"), automatic), chosen);
}

TEST(ImportMatching, CaseInsensitivePrefixOfNameAndTypeText) {
    const QStringList sources{QStringLiteral("NAME\tText"), QStringLiteral("Qty\tInteger"), QStringLiteral("ID\tInteger"),
                              QStringLiteral("<no match>")};
    const QStringList dest{QStringLiteral("Name\tText"), QStringLiteral("City\tText"), QStringLiteral("ID\tInteger")};
    EXPECT_EQ(CDatabaseImportMgr::MatchEntries(dest, sources),
              (QStringList{QStringLiteral("Name\tText\t= NAME\tText"), QStringLiteral("City\tText\t= <no match>"),
                           QStringLiteral("ID\tInteger\t= ID\tInteger")}));
    // The type text takes part: a Long "Name" does not match a Text destination.
    EXPECT_EQ(CDatabaseImportMgr::MatchEntries({QStringLiteral("Name\tText")}, {QStringLiteral("Name\tInteger")}),
              QStringList{QStringLiteral("Name\tText\t= <no match>")});
}

TEST(ImportMatching, SourceLinesGiveTheirKind) {
    const QStringList lines = CDatabaseImportMgr::SourceLines().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(CDatabaseImportMgr::KindOfLine(lines[i]), i) << lines[i].toStdString();
    EXPECT_EQ(CDatabaseImportMgr::KindOfLine(QStringLiteral("nothing")), -1);
}

} // namespace
