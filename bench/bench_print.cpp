// The printouts to PDF: a store list of 50,000 items and an invoice of 200 lines, read from the
// list windows as the Print command reads them; each beside the same number of drawText calls
// made straight on a QPdfWriter.
#include "benchproject.h"
#include "benchutil.h"

#include "app/hiddenlists.h"

#include "customers/customerlistctrl.h"
#include "invoices/invoiceslistctrl.h"
#include "items/invoiceitemslistctrl.h"
#include "items/invoiceprintout.h"
#include "print/printrun.h"
#include "project/quorvanedoc.h"
#include "stores/storelistctrl.h"
#include "stores/storeprintout.h"
#include "stores/storetabctrl.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

// Texts drawn by a printout: counted on a recording surface with the same pages.
int DrawnTexts(CPrintout& printout, PageRect page, int& pages) {
    CRecordingSurface surface;
    pages = printout.CountPages(surface, page);
    int texts = 0;
    for (int n = 1; n <= pages; ++n) {
        surface.NewPage();
        printout.PrintPage(surface, page, n);
        texts += int(surface.m_drawn.size());
    }
    return texts;
}

// The same number of texts and pages drawn straight on a PDF writer, fonts set once a page.
double Reference(const QString& path, int texts, int pages) {
    Stopwatch sw;
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(18, 18, 18, 18),
                                     QPageLayout::Point));
    QPainter painter(&writer);
    painter.setFont(PrintoutFont(PrintFont::Text, 1200.0 / 1440));
    const int perPage = std::max(1, texts / std::max(1, pages));
    for (int i = 0; i < texts; ++i) {
        if (i > 0 && i % perPage == 0) writer.newPage();
        painter.drawText(QPointF(200 + (i % 9) * 1000, 300 + (i % perPage) / 9 * 230), QStringLiteral("Item %1").arg(i));
    }
    painter.end();
    return sw.seconds();
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString path = BenchFolder() + QStringLiteral("/print.qvp");
    {
        CRecordingPrompter prompter;
        CQuorvaneDoc doc(&prompter);
        CQuorvaneDoc::NewProjectRequest request;
        request.path = path;
        if (!doc.CreateNewProject(request)) return 1;
        doc.OnFileCloseProject();
    }
    BenchProjectSize size;
    size.customers = 10;
    size.invoices = 10;
    size.lines = 200;
    size.stores = 1;
    size.itemsPerStore = 50000;
    size.firstInvoiceLines = 200;
    FillBenchProject(path, size);

    CRecordingPrompter prompter;
    CQuorvaneDoc doc(&prompter);
    CHiddenLists lists(doc);
    CCustomerListCtrl* customers = lists.customers;
    CInvoicesListCtrl* invoices = lists.invoices;
    CInvoiceItemsListCtrl* items = lists.items;
    CStoreTabCtrl* stores = lists.stores;
    if (!doc.OpenProject(path)) return 1;

    const PageRect letter{11520, -15024};
    int status = 0;
    {
        Stopwatch sw;
        CStorePrintout printout(ReadStorePrintData(*stores));
        const QString pdf = BenchFolder() + QStringLiteral("/store.pdf");
        QString failure;
        int pages = 0;
        if (!WritePrintoutPdf(printout, pdf, QStringLiteral("Letter"), &failure, &pages)) return 1;
        const double ours = sw.seconds();
        int refPages = 0;
        const int texts = DrawnTexts(printout, letter, refPages);
        const double reference = Reference(BenchFolder() + QStringLiteral("/store-ref.pdf"), texts, pages);
        std::printf("store list: %zu items, %d pages, %d texts\n", printout.Data().items.size(), pages, texts);
        PrintFigure("store list of 50,000 items to PDF", ours, reference, "s", "< 20 s");
        status |= ours < 20.0 ? 0 : 1;
    }
    {
        const int customerID = 1; // invoice 1, of 200 lines, is the first customer's
        customers->SelectOnly(customers->Model()->RowOfID(customerID));
        invoices->ReQueryRecordsetUsingID(customerID, true);
        invoices->SelectOnly(invoices->Model()->RowOfID(1));
        Stopwatch sw;
        CInvoicePrintout printout(ReadInvoicePrintData(*customers, *invoices, *items, *stores));
        const QString pdf = BenchFolder() + QStringLiteral("/invoice.pdf");
        QString failure;
        int pages = 0;
        if (!WritePrintoutPdf(printout, pdf, QStringLiteral("Letter"), &failure, &pages)) return 1;
        const double ours = sw.seconds();
        int refPages = 0;
        const int texts = DrawnTexts(printout, letter, refPages);
        const double reference = Reference(BenchFolder() + QStringLiteral("/invoice-ref.pdf"), texts, pages);
        std::printf("invoice: %zu lines, %d pages, %d texts\n", printout.Data().lines.size(), pages, texts);
        PrintFigure("invoice of 200 lines to PDF", ours, reference, "s", "< 0.5 s");
        status |= ours < 0.5 ? 0 : 1;
    }
    doc.OnFileCloseProject();
    doc.SetListOwners(nullptr, nullptr, nullptr, nullptr);
    return status;
}
