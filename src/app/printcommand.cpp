#include "app/printcommand.h"

#include "app/quorvanemain.h"
#include "app/quorvaneview.h"
#include "items/invoiceprintout.h"
#include "stores/storeprintout.h"
#include "stores/storetabctrl.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>

namespace {
// Above this many pages printing shows its progress.
constexpr int kQuietPages = 3;
} // namespace

std::unique_ptr<CPrintout> CPrintCommand::MakePrintout(CPrintSelectionDlg::Choice choice) const {
    CQuorvaneView* view = m_frame.UpperView();
    if (choice == CPrintSelectionDlg::StoreList) return std::make_unique<CStorePrintout>(ReadStorePrintData(*m_frame.StoreTabs()));
    return std::make_unique<CInvoicePrintout>(
        ReadInvoicePrintData(*view->Customers(), *view->Invoices(), *view->Items(), *m_frame.StoreTabs()));
}

PrintOutcome CPrintCommand::Paint(CPrintout& printout, QPrinter& printer, int from, int to, QString* failure) {
    std::unique_ptr<QProgressDialog> progress;
    const auto step = [&](int done, int total) {
        if (total <= kQuietPages) return true;
        if (!progress) {
            progress = std::make_unique<QProgressDialog>(QStringLiteral("Printing page 1 of %1...").arg(total),
                                                         QStringLiteral("Cancel"), 0, total, &m_frame);
            progress->setObjectName(QStringLiteral("PrintProgress"));
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
        }
        progress->setLabelText(QStringLiteral("Printing page %1 of %2...").arg(done).arg(total));
        progress->setValue(done);
        QApplication::processEvents();
        return !progress->wasCanceled();
    };
    return PaintPrintout(printout, printer, from, to, step, failure);
}

void CPrintCommand::Run(QPrinter& printer, bool preview) {
    CQuorvaneDoc& doc = m_frame.Doc();
    if (!doc.IsProjectOpen()) return;
    CPrintSelectionDlg choose(preview, m_choice, &m_frame);
    if (doc.Prompter().ExecDialog(choose) != QDialog::Accepted) return;
    m_choice = choose.Chosen();
    const std::unique_ptr<CPrintout> printout = MakePrintout(m_choice);
    QString failure;
    if (preview) {
        QPrintPreviewDialog dlg(&printer, &m_frame);
        dlg.setObjectName(QStringLiteral("PrintPreview"));
        QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                         [&](QPrinter* target) { Paint(*printout, *target, 0, 0, &failure); });
        doc.Prompter().ExecDialog(dlg);
        return;
    }
    // Counted on this printer, so the pages offered are the pages printed.
    const int pages = CountPrintoutPages(*printout, printer);
    QPrintDialog dlg(&printer, &m_frame);
    dlg.setMinMax(1, pages);
    if (doc.Prompter().ExecDialog(dlg) != QDialog::Accepted) return;
    const bool range = printer.printRange() == QPrinter::PageRange;
    if (Paint(*printout, printer, range ? printer.fromPage() : 0, range ? printer.toPage() : 0, &failure) ==
        PrintOutcome::Failed)
        doc.Prompter().MessageBox(failure, CPrompter::Buttons::Ok, CPrompter::Icon::Error);
}
