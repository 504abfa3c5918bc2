#pragma once

#include "print/printout.h"

#include <QDialog>
#include <QString>
#include <functional>

class QPagedPaintDevice;
class QPaintDevice;

// Told after each printed page (done of total); false cancels the rest.
using PrintProgress = std::function<bool(int done, int total)>;

// Counts the printout's pages with the device's own metrics.
int CountPrintoutPages(CPrintout& printout, QPaintDevice& device);

enum class PrintOutcome { Done, Failed, Cancelled };

// Counts on the device, then paints pages from..to (1-based, clamped to the count; 0 for all).
// Failed, with the reason in failure, when painting could not start or finish.
PrintOutcome PaintPrintout(CPrintout& printout, QPagedPaintDevice& device, int from, int to,
                   const PrintProgress& progress, QString* failure);

// Writes the printout as a PDF file on Letter or A4 paper ("A4" or "Letter"). Nothing is left
// at path when it fails; false with the reason in failure.
bool WritePrintoutPdf(CPrintout& printout, const QString& path, const QString& paper, QString* failure,
                      int* pages = nullptr);

// Asks what to print: the current invoice or the current store list.
class CPrintSelectionDlg : public QDialog {
    Q_OBJECT
public:
    enum Choice { Invoice = 1, StoreList = 2 };
    // preview: the buttons read "Preview ..."; remembered: the choice made last time, the default.
    CPrintSelectionDlg(bool preview, Choice remembered, QWidget* parent = nullptr);
    Choice Chosen() const { return m_choice; }

private:
    Choice m_choice;
};
