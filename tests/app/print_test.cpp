// The Print and Print Preview commands of the main window, answered through the dialog seam.
#include "apptest.h"
#include "app/demoproject.h"
#include "app/printcommand.h"
#include "app/quorvanemain.h"
#include "app/quorvaneview.h"
#include "customers/customerlistctrl.h"
#include "invoices/invoiceslistctrl.h"
#include "print/printrun.h"
#include "scriptedprompter.h"

#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <sqlite3.h>

namespace {

// The raw mode gives the text as drawn, spaced-out title included.
QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    return p.waitForFinished(60000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

void ClickRow(CListWindow* list, int row) {
    ASSERT_GE(row, 0);
    list->scrollTo(list->Model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->Model()->index(row, 0)).center());
    QCoreApplication::processEvents();
}

class PrintCommand : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        project = folder.path(QStringLiteral("demo.qvp"));
        DemoOptions options;
        options.customers = 12;
        QString failure;
        ASSERT_TRUE(MakeDemoProject(project, options, &failure)) << failure.toStdString();
        // The first single invoice with more than one line, and its customer.
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(project.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db,
                           "select i.ID, i.CustomerID, i.InvoiceNumber from Invoice i where i.GroupInvoice = 0 and "
                           "(select count(*) from InvoiceItems l where l.InvoiceID = i.ID) > 1 order by i.ID limit 1",
                           -1, &st, nullptr);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        invoiceID = sqlite3_column_int(st, 0);
        customerID = sqlite3_column_int(st, 1);
        invoiceNumber = sqlite3_column_int(st, 2);
        sqlite3_finalize(st);
        sqlite3_close(db);

        frame = std::make_unique<CQuorvaneMain>(&prompter);
        frame->resize(1000, 900);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->OpenProjectFile(project);
        ASSERT_TRUE(frame->Doc().IsProjectOpen());
        CQuorvaneView* view = frame->UpperView();
        ClickRow(view->Customers(), view->Customers()->Model()->RowOfID(customerID));
        ClickRow(view->Invoices(), view->Invoices()->Model()->RowOfID(invoiceID));
        ASSERT_EQ(view->Invoices()->GetCurrentID(), invoiceID);
    }
    void TearDown() override { frame.reset(); }

    CScriptedPrompter prompter;
    std::unique_ptr<CQuorvaneMain> frame;
    QString project;
    int invoiceID = -1, customerID = -1, invoiceNumber = -1;
};

QPushButton* Button(QDialog& d, const char* name) { return d.findChild<QPushButton*>(QLatin1String(name)); }

// Print: the choice dialog, then the print dialog to a PDF; Print Preview then offers the last
// choice as its default, and its Cancel prints nothing.
TEST_F(PrintCommand, PrintsTheChosenInvoiceToPdfAndRemembersTheChoice) {
    const QString pdf = folder.path(QStringLiteral("out.pdf"));
    QStringList buttons;
    prompter.ExpectDialog([&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Print Selection Dialog"));
        for (QPushButton* b : d.findChildren<QPushButton*>()) buttons << b->text();
        Button(d, "buttonInvoice")->click();
        return d.result();
    });
    int maxPage = 0;
    prompter.ExpectDialog([&](QDialog& d) {
        auto* dlg = qobject_cast<QPrintDialog*>(&d);
        EXPECT_NE(dlg, nullptr);
        if (!dlg) return int(QDialog::Rejected);
        maxPage = dlg->maxPage();
        dlg->printer()->setOutputFormat(QPrinter::PdfFormat);
        dlg->printer()->setOutputFileName(pdf);
        return int(QDialog::Accepted);
    });
    ASSERT_TRUE(frame->Action("actionPrint")->isEnabled());
    frame->Action("actionPrint")->trigger();
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_TRUE(prompter.m_shown.isEmpty()) << prompter.m_shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(buttons, (QStringList{"Print Current Invoice", "Print Current Store List", "Cancel"}));
    EXPECT_GE(maxPage, 1);
    const QString text = PdfText(pdf);
    for (const QString& want : {QStringLiteral("I N V O I C E"), QStringLiteral("Invoice # %1").arg(invoiceNumber), QStringLiteral("Balance Due:")})
        EXPECT_TRUE(text.contains(want)) << want.toStdString() << "\n" << text.toStdString();

    prompter.ExpectDialog([&](QDialog& d) {
        EXPECT_EQ(Button(d, "buttonInvoice")->text(), QStringLiteral("Preview Current Invoice"));
        EXPECT_EQ(Button(d, "buttonStoreList")->text(), QStringLiteral("Preview Current Store List"));
        EXPECT_TRUE(Button(d, "buttonInvoice")->isDefault());
        EXPECT_FALSE(Button(d, "buttonStoreList")->isDefault());
        Button(d, "IDCANCEL")->click();
        return d.result();
    });
    frame->Action("actionPrintPreview")->trigger();
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_EQ(frame->PrintCommand().Remembered(), CPrintSelectionDlg::Invoice);
}

// The store list, once chosen, is the next print's default; without a project only Print Setup is open.
TEST_F(PrintCommand, StoreListChoiceIsRememberedAndCommandsCloseWithTheProject) {
    prompter.ExpectDialog([&](QDialog& d) {
        Button(d, "buttonStoreList")->click();
        return d.result();
    });
    prompter.ExpectDialog([&](QDialog& d) { return qobject_cast<QPrintDialog*>(&d) ? int(QDialog::Rejected) : -1; });
    frame->Action("actionPrint")->trigger();
    EXPECT_TRUE(prompter.AllAnswered());
    prompter.ExpectDialog([&](QDialog& d) {
        EXPECT_TRUE(Button(d, "buttonStoreList")->isDefault());
        return int(QDialog::Rejected);
    });
    frame->Action("actionPrint")->trigger();
    EXPECT_TRUE(prompter.AllAnswered());

    frame->Action("actionCloseProject")->trigger();
    frame->UpdateCommandStates();
    EXPECT_FALSE(frame->Action("actionPrint")->isEnabled());
    EXPECT_FALSE(frame->Action("actionPrintPreview")->isEnabled());
    EXPECT_TRUE(frame->Action("actionPrintSetup")->isEnabled());
}

} // namespace
