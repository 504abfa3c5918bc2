#include "print/printrun.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <algorithm>

int CountPrintoutPages(CPrintout& printout, QPaintDevice& device) {
    CPainterSurface surface(device);
    return printout.CountPages(surface, surface.Page());
}

PrintOutcome PaintPrintout(CPrintout& printout, QPagedPaintDevice& device, int from, int to,
                           const PrintProgress& progress, QString* failure) {
    QPainter painter;
    if (!painter.begin(&device)) {
        if (failure) *failure = QStringLiteral("The printer could not be started.");
        return PrintOutcome::Failed;
    }
    painter.setRenderHint(QPainter::TextAntialiasing);
    CPainterSurface surface(device, &painter);
    const PageRect page = surface.Page();
    const int count = printout.CountPages(surface, page);
    from = from <= 0 ? 1 : std::min(from, count);
    to = to <= 0 ? count : std::clamp(to, from, count);
    for (int n = from; n <= to; ++n) {
        if (n > from) device.newPage();
        printout.PrintPage(surface, page, n);
        if (progress && !progress(n - from + 1, to - from + 1)) {
            painter.end();
            return PrintOutcome::Cancelled;
        }
    }
    if (!painter.end()) {
        if (failure) *failure = QStringLiteral("The pages could not be written.");
        return PrintOutcome::Failed;
    }
    return PrintOutcome::Done;
}

bool WritePrintoutPdf(CPrintout& printout, const QString& path, const QString& paper, QString* failure, int* pages) {
    const auto fail = [&](const QString& reason) {
        if (failure) *failure = reason;
        return false;
    };
    const QFileInfo info(path);
    if (!info.absoluteDir().exists()) return fail(QStringLiteral("The folder %1 does not exist.").arg(info.absolutePath()));
    // Written beside the target and renamed into place only when complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(1200);
        writer.setCreator(QStringLiteral("Quorvane"));
        // A quarter inch round the page stands for a printer's unprintable border.
        writer.setPageLayout(QPageLayout(QPageSize(paper == QLatin1String("A4") ? QPageSize::A4 : QPageSize::Letter),
                                         QPageLayout::Portrait, QMarginsF(18, 18, 18, 18), QPageLayout::Point));
        QString reason;
        if (PaintPrintout(printout, writer, 0, 0, {}, &reason) != PrintOutcome::Done) {
            file.cancelWriting();
            return fail(reason);
        }
        if (pages) *pages = CountPrintoutPages(printout, writer);
    }
    if (!file.commit()) return fail(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    return true;
}

CPrintSelectionDlg::CPrintSelectionDlg(bool preview, Choice remembered, QWidget* parent)
    : QDialog(parent), m_choice(remembered) {
    setObjectName(QStringLiteral("PrintSelectionDlg"));
    setWindowTitle(QStringLiteral("Print Selection Dialog"));
    auto* invoice = new QPushButton(preview ? QStringLiteral("Preview Current Invoice")
                                            : QStringLiteral("Print Current Invoice"), this);
    auto* store = new QPushButton(preview ? QStringLiteral("Preview Current Store List")
                                          : QStringLiteral("Print Current Store List"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    invoice->setObjectName(QStringLiteral("buttonInvoice"));
    store->setObjectName(QStringLiteral("buttonStoreList"));
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    (remembered == StoreList ? store : invoice)->setDefault(true);
    connect(invoice, &QPushButton::clicked, this, [this] {
        m_choice = Invoice;
        accept();
    });
    connect(store, &QPushButton::clicked, this, [this] {
        m_choice = StoreList;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(invoice);
    layout->addWidget(store);
    layout->addWidget(cancel);
}
