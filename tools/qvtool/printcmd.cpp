// qvtool print-invoice / print-store: the program's printouts written as PDF, read from the
// project through the list windows (never shown), as the Print command reads them.
#include "printcmd.h"

#include "app/hiddenlists.h"
#include "customers/customerlistctrl.h"
#include "db/recordset.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "items/invoiceprintout.h"
#include "output.h"
#include "print/printrun.h"
#include "project/quorvanedoc.h"
#include "stores/storelistctrl.h"
#include "stores/storeprintout.h"
#include "stores/storetabctrl.h"
#include "ui/prompter.h"

#include <QApplication>
#include <memory>

namespace {

const char* const kUsage = "usage: qvtool print-invoice PATH --invoice NUMBER --pdf FILE [--page A4|Letter]\n"
                           "       qvtool print-store PATH --store ID --pdf FILE [--page A4|Letter]";

// The project's lists, wired as the program wires them.
class CPrintLists {
public:
    // Stands on the invoice with the number, its customer and its store; false when there is none.
    bool SelectInvoice(int number) {
        const int id = invoices->GetInvoiceIDFromInvoiceNumber(number);
        if (id < 0) return false;
        db::Recordset all(*doc.GetPtrDatabase());
        all.open(QStringLiteral("select * from [Invoice]"));
        if (!all.findFirst(QStringLiteral("ID = %1").arg(id))) return false;
        const int customerID = all.intValue(QStringLiteral("CustomerID"));
        const int customerRow = customers->Model()->RowOfID(customerID);
        if (customerRow < 0) return false;
        customers->SelectOnly(customerRow);
        invoices->ReQueryRecordsetUsingID(customerID, true);
        const int invoiceRow = invoices->Model()->RowOfID(id);
        if (invoiceRow < 0) return false;
        invoices->SelectOnly(invoiceRow);
        // The store block names the store the invoice's first line was bought from.
        if (items->GetItemCount() > 0 && items->ActivateRecordInRecordset(items->GetItemID(0)))
            stores->ShowStoreTabUsingID(items->GetPtrRecordset()->intValue(QStringLiteral("StoreID")));
        return true;
    }

    CRecordingPrompter prompter;
    CQuorvaneDoc doc{&prompter};
    CHiddenLists lists{doc};
    CCustomerListCtrl* const customers = lists.customers;
    CInvoicesListCtrl* const invoices = lists.invoices;
    CInvoiceItemsListCtrl* const items = lists.items;
    CStoreTabCtrl* const stores = lists.stores;
};

} // namespace

int RunPrintCommand(int argc, char* argv[]) {
    // The lists are real widgets and the fonts need a GUI application, but no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool invoice = args.value(0) == QLatin1String("print-invoice");
    const QString usage = QString::fromLatin1(kUsage);
    QString path, pdf, paper = QStringLiteral("Letter");
    int number = -1;
    bool numberGiven = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == QLatin1String(invoice ? "--invoice" : "--store") && hasValue) {
            number = args[++i].toInt(&ok);
            numberGiven = true;
        } else if (a == QLatin1String("--pdf") && hasValue) {
            pdf = args[++i];
        } else if (a == QLatin1String("--page") && hasValue) {
            paper = args[++i];
            ok = paper == QLatin1String("A4") || paper == QLatin1String("Letter");
        } else if (path.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            path = a;
        } else {
            ok = false;
        }
        if (!ok) return qvtool::Fail(usage);
    }
    if (path.isEmpty() || pdf.isEmpty() || !numberGiven) return qvtool::Fail(usage);

    CPrintLists lists;
    if (!lists.doc.OpenProject(path)) {
        const QString shown = lists.prompter.m_messages.join(QLatin1Char('\n'));
        return qvtool::Fail(shown.isEmpty() ? QStringLiteral("Failed to open project.") : shown);
    }
    std::unique_ptr<CPrintout> printout;
    if (invoice) {
        if (!lists.SelectInvoice(number)) return qvtool::Fail(QStringLiteral("There is no invoice number %1.").arg(number));
        printout = std::make_unique<CInvoicePrintout>(
            ReadInvoicePrintData(*lists.customers, *lists.invoices, *lists.items, *lists.stores));
    } else {
        lists.stores->ShowStoreTabUsingID(number);
        CStoreListCtrl* list = lists.stores->CurrentStoreList();
        if (!list || list->GetStoreID() != number)
            return qvtool::Fail(QStringLiteral("There is no store with ID %1.").arg(number));
        printout = std::make_unique<CStorePrintout>(ReadStorePrintData(*lists.stores));
    }
    QString failure;
    int pages = 0;
    if (!WritePrintoutPdf(*printout, pdf, paper, &failure, &pages)) return qvtool::Fail(failure);
    qvtool::Out(QStringLiteral("wrote %1 (%2 page%3)").arg(pdf).arg(pages).arg(pages == 1 ? "" : "s"));
    return 0;
}
