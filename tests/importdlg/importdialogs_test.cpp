// The import of other programs' databases driven as a person would: the Import command, the
// five dialogs through the prompter, the progress dialog and the Escape key.
#include "app/apptest.h"
#include "app/projectinfodlg.h"
#include "app/quorvanemain.h"
#include "app/quorvaneview.h"
#include "customers/customerlistctrl.h"
#include "db/recordset.h"
#include "import/databaseimportmgr.h"
#include "import/entrymappingdlg.h"
#include "import/importdlg.h"
#include "import/importprogressdlg.h"
#include "import/sourceselectiondlg.h"
#include "import/tablemappingdlg.h"
#include "project/projectfixture.h"
#include "scriptedprompter.h"
#include "stores/storelistctrl.h"
#include "stores/storetabctrl.h"
#include "ui/tabstopdelegate.h"
#include "userinput.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

void WriteText(const QString& path, const QString& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

// A picture of the dialog for the reader of the change, when QV_SHOTS names a folder.
void Shot(QWidget& w, const char* name) {
    const QString dir = qEnvironmentVariable("QV_SHOTS");
    if (dir.isEmpty()) return;
    w.show();
    w.adjustSize();
    Settle();
    QDir().mkpath(dir);
    w.grab().save(QDir(dir).filePath(QLatin1String(name) + QStringLiteral(".png")));
}

void ClickRow(QListWidget* list, const QString& text) {
    const auto items = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << text.toStdString();
    list->scrollToItem(items[0]);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(items[0]).center());
    Settle();
}

int PressOk(QDialog& d) {
    auto* ok = d.findChild<QPushButton*>(QStringLiteral("IDOK"));
    EXPECT_NE(ok, nullptr) << d.objectName().toStdString();
    if (ok) Click(ok);
    return d.result();
}

QStringList Texts(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

class ImportDialogs : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        frame = std::make_unique<CQuorvaneMain>(&prompter);
        frame->resize(1000, 900);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        prompter.ExpectDialog([&](QDialog& d) {
            auto* dlg = qobject_cast<CProjectInfoDlg*>(&d);
            if (!dlg) return 0;
            dlg->ProjectEdit()->setText(folder.path(QStringLiteral("shop.qvp")));
            return PressOk(d);
        });
        frame->Action("actionNewProject")->trigger();
        ASSERT_TRUE(frame->Doc().IsProjectOpen());
        source = folder.path(QStringLiteral("old"));
        QDir().mkpath(source);
    }
    void TearDown() override { frame.reset(); }

    std::vector<QVariantHash> Rows(const QString& table) {
        std::vector<QVariantHash> rows;
        db::Recordset rs(*frame->Doc().GetPtrDatabase());
        rs.open(QStringLiteral("select * from [%1]").arg(table));
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
            QVariantHash h;
            for (const auto& f : rs.fields()) h.insert(f.name, rs.value(f.name));
            rows.push_back(h);
        }
        return rows;
    }

    CScriptedPrompter prompter;
    std::unique_ptr<CQuorvaneMain> frame;
    QString source;
};

TEST_F(ImportDialogs, CustomersAndInvoicesFromATextFolderThroughTheFiveDialogs) {
    WriteText(source + QStringLiteral("/customers.csv"), QStringLiteral("ID,Name,Town\n7,Zoë Ortiz,Ávila\n9,Bo Li,Lima\n"));
    WriteText(source + QStringLiteral("/invoices.csv"), QStringLiteral("ID,CustomerID,InvoiceNumber,InvoiceTotal\n70,7,500,12.5\n"));

    prompter.ExpectDialog([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Import Selection Dialog"));
        EXPECT_TRUE(Open(d));
        Click(Find<QRadioButton>(d, "radioImportOther"));
        return PressOk(d);
    });
    prompter.ExpectDialog([&](QDialog& d) {
        EXPECT_NE(qobject_cast<CSourceSelectionDlg*>(&d), nullptr);
        EXPECT_TRUE(Open(d));
        Shot(d, "source_selection");
        auto* list = Find<QListWidget>(d, "listSources");
        EXPECT_EQ(Texts(list), (QStringList{QStringLiteral(".mdb\tMicrosoft Access"), QStringLiteral(".dbf\tMicrosoft dBase"),
                                             QStringLiteral(".dbf\tMicrosoft FoxPro"), QStringLiteral(".xls\tMicrosoft Excel"),
                                             QStringLiteral(".db\tMicrosoft Paradox"), QStringLiteral(".txt\tText")}));
        ClickRow(list, QStringLiteral(".txt\tText"));
        return PressOk(d);
    });
    prompter.ExpectDialog([&](QDialog& d) {
        auto* chooser = qobject_cast<QFileDialog*>(&d);
        EXPECT_NE(chooser, nullptr);
        if (!chooser) return 0;
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Path Dialog - Select a folder"));
        EXPECT_TRUE(Open(d));
        Shot(d, "choose_directory");
        auto* box = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        EXPECT_NE(box, nullptr);
        if (!box) return 0;
        box->clear();
        QTest::keyClicks(box, source);
        QTest::keyClick(box, Qt::Key_Return);
        Settle();
        return d.result();
    });
    prompter.ExpectDialog([&](QDialog& d) {
        EXPECT_NE(qobject_cast<CTableMappingDlg*>(&d), nullptr);
        EXPECT_TRUE(Open(d));
        auto* customers = Find<QComboBox>(d, "comboCustomers");
        EXPECT_EQ(customers->currentText(), QStringLiteral("<do not import>"));
        EXPECT_EQ(customers->count(), 3);
        // The view box shows a table's fields.
        auto* view = Find<QComboBox>(d, "comboView");
        view->setFocus();
        view->setCurrentIndex(-1);
        QTest::keyClick(view, Qt::Key_Down);
        Settle();
        EXPECT_EQ(Texts(Find<QListWidget>(d, "listViewEntries")),
                  (QStringList{QStringLiteral("ID\tInteger"), QStringLiteral("Name\tText"), QStringLiteral("Town\tText")}));
        Shot(d, "table_mapping");
        ChooseBelow(customers);
        EXPECT_EQ(customers->currentText(), QStringLiteral("customers.csv"));
        auto* invoices = Find<QComboBox>(d, "comboInvoices");
        ChooseBelow(invoices);
        ChooseBelow(invoices);
        EXPECT_EQ(invoices->currentText(), QStringLiteral("invoices.csv"));
        return PressOk(d);
    });
    prompter.ExpectDialog([&](QDialog& d) {
        EXPECT_NE(qobject_cast<CEntryMappingDlg*>(&d), nullptr);
        EXPECT_TRUE(Open(d));
        EXPECT_EQ(Find<QLabel>(d, "labelTitle")->text(), QStringLiteral("CUSTOMERS"));
        auto* left = Find<QListWidget>(d, "listSource");
        auto* right = Find<QListWidget>(d, "listDestination");
        EXPECT_EQ(Texts(left).last(), QStringLiteral("<no match>"));
        const QStringList shown = Texts(right);
        EXPECT_TRUE(shown.contains(QStringLiteral("Name\tText\t= Name\tText")));
        EXPECT_TRUE(shown.contains(QStringLiteral("City\tText\t= <no match>")));
        for (const QString& line : shown) EXPECT_FALSE(line.contains(QLatin1String("ID"))) << line.toStdString();
        // A right line clicked before any left line stays as it is.
        ClickRow(right, QStringLiteral("City\tText\t= <no match>"));
        EXPECT_EQ(Texts(right), shown);
        ClickRow(left, QStringLiteral("Town\tText"));
        ClickRow(right, QStringLiteral("City\tText\t= <no match>"));
        EXPECT_TRUE(Texts(right).contains(QStringLiteral("City\tText\t= Town\tText")));
        Shot(d, "entry_mapping");
        return PressOk(d);
    });
    prompter.ExpectDialog([&](QDialog& d) {
        EXPECT_EQ(Find<QLabel>(d, "labelTitle")->text(), QStringLiteral("INVOICES"));
        EXPECT_TRUE(Open(d));
        return PressOk(d);
    });
    frame->Action("actionImport")->trigger();
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_TRUE(prompter.m_shown.isEmpty()) << prompter.m_shown.join(QLatin1Char('|')).toStdString();

    const auto customers = Rows(QStringLiteral("Customer"));
    ASSERT_EQ(customers.size(), 2u);
    EXPECT_EQ(customers[0].value(QStringLiteral("Name")).toString(), QStringLiteral("Zoë Ortiz"));
    EXPECT_EQ(customers[0].value(QStringLiteral("City")).toString(), QStringLiteral("Ávila"));
    EXPECT_EQ(customers[0].value(QStringLiteral("InvoiceCnt")).toInt(), 1);
    EXPECT_DOUBLE_EQ(customers[0].value(QStringLiteral("BalanceDue")).toDouble(), 12.5);
    const auto invoices = Rows(QStringLiteral("Invoice"));
    ASSERT_EQ(invoices.size(), 1u);
    EXPECT_EQ(invoices[0].value(QStringLiteral("CustomerID")), customers[0].value(QStringLiteral("ID")));
    EXPECT_EQ(frame->UpperView()->Customers()->GetItemCount(), 2);

    // The next import of the same table starts from the mapping chosen this time.
    CDatabaseImportMgr mgr(frame->Doc(), prompter);
    ASSERT_TRUE(mgr.OpenIsamDatabase(source, import::SourceKind::Text));
    ASSERT_TRUE(mgr.LoadDestinationTableEntryNames(CDatabaseImportMgr::Customers));
    ASSERT_TRUE(mgr.LoadSourceTableEntryNames(QStringLiteral("customers.csv")));
    CEntryMappingDlg again(QStringLiteral("CUSTOMERS"), *mgr.GetPtrSourceEntryNamesAndTypesList(),
                           *mgr.GetPtrDestinationEntryList());
    const QStringList remembered = mgr.RememberedMapping(CDatabaseImportMgr::Customers, QStringLiteral("customers.csv"), again.Mapping());
    EXPECT_TRUE(remembered.contains(QStringLiteral("City\tText\t= Town\tText")));
}

class ProgressTest : public ProjectFixture {
protected:
    void SetUp() override {
        const QString path = Create(QStringLiteral("p.qvp"));
        ASSERT_TRUE(doc.OpenProject(path));
    }
    void TearDown() override { doc.OnFileCloseProject(); }
    // Imports n customer rows with the real progress dialog; Escape is pressed once the bar
    // shows escapeAt percent (never when 0).
    int Import(int n, int escapeAt, bool& shown) {
        QString csv = QStringLiteral("Name\n");
        for (int i = 0; i < n; ++i) csv += QStringLiteral("c%1\n").arg(i);
        WriteText(folder.path(QStringLiteral("c.csv")), csv);
        CDatabaseImportMgr mgr(doc, prompter);
        EXPECT_TRUE(mgr.OpenIsamDatabase(folder.path(QStringLiteral("c.csv")), import::SourceKind::Text));
        EXPECT_TRUE(mgr.LoadDestinationTableEntryNames(CDatabaseImportMgr::Customers));
        EXPECT_TRUE(mgr.LoadSourceTableEntryNames(QStringLiteral("c.csv")));
        QStringList sources = *mgr.GetPtrSourceEntryNamesAndTypesList();
        sources << CDatabaseImportMgr::kNoMatch;
        *mgr.GetPtrDestinationEntryList() = CDatabaseImportMgr::MatchEntries(*mgr.GetPtrDestinationEntryList(), sources);
        QWidget owner;
        owner.resize(400, 300);
        owner.show();
        CImportProgressDlg progress(&owner);
        shown = false;
        QObject::connect(&progress, &CImportProgressDlg::percentShown, [&](int percent) {
            shown = true;
            EXPECT_EQ(progress.findChild<QLabel*>(QStringLiteral("labelProgress"))->text(),
                      QStringLiteral("Reading %1 Records...").arg(n));
            EXPECT_EQ(progress.findChild<QLabel*>(QStringLiteral("labelHint"))->text(), QStringLiteral("Press ESCAPE to stop."));
            if (percent == 50) Shot(progress, "progress");
            if (escapeAt > 0 && percent == escapeAt)
                QCoreApplication::postEvent(&owner, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        });
        EXPECT_TRUE(mgr.LoadSourceItems(CDatabaseImportMgr::Customers, QStringLiteral("c.csv"), &progress));
        EXPECT_FALSE(progress.isVisible());
        return mgr.LastResult(CDatabaseImportMgr::Customers).rows;
    }
};

TEST_F(ProgressTest, TwoHundredRowsShowNoProgress) {
    bool shown = true;
    EXPECT_EQ(Import(200, 0, shown), 200);
    EXPECT_FALSE(shown);
}

TEST_F(ProgressTest, TwoHundredAndOneRowsShowIt) {
    bool shown = false;
    EXPECT_EQ(Import(201, 0, shown), 201);
    EXPECT_TRUE(shown);
}

TEST_F(ProgressTest, EscapeStopsTheCopyAndKeepsTheRowsStored) {
    bool shown = false;
    const int rows = Import(1000, 50, shown);
    EXPECT_GE(rows, 500);
    EXPECT_LT(rows, 1000);
    db::Recordset rs(*doc.GetPtrDatabase());
    rs.open(QStringLiteral("select * from [Customer]"));
    EXPECT_EQ(rs.recordCount(), rows);
}

} // namespace

// The lists' parts line up on the tab stops; a part longer than a stop pushes the next one on.
TEST(TabStops, PartsStartOnTheNextStopPastTheirText) {
    const QFontMetrics metrics(QApplication::font());
    const int stop = metrics.horizontalAdvance(QStringLiteral("MMMM"));
    const struct {
        QString text;
        std::vector<int> starts;
    } cases[] = {
        {QStringLiteral("ID\tInteger"), {0, stop}},
        {QStringLiteral("City\tText"), {0, stop}},
        {QStringLiteral("MMMMM\tText\t= <no match>"), {0, 2 * stop, 3 * stop}},
        {QStringLiteral("MMMM\tText"), {0, 2 * stop}},
        {QStringLiteral("no tab"), {0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CTabStopDelegate::PartStarts(c.text, metrics, stop), c.starts) << c.text.toStdString();
}
