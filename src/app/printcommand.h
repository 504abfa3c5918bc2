#pragma once

#include "print/printrun.h"

#include <memory>

class CQuorvaneMain;
class QPrinter;

// The File menu's Print and Print Preview: asks what to print (remembering the answer), reads
// the current invoice or store list, counts its pages on the printer, then prints or previews.
class CPrintCommand {
public:
    explicit CPrintCommand(CQuorvaneMain& frame) : m_frame(frame) {}
    void Run(QPrinter& printer, bool preview);
    CPrintSelectionDlg::Choice Remembered() const { return m_choice; }
    // The printout of the choice, read from the windows now.
    std::unique_ptr<CPrintout> MakePrintout(CPrintSelectionDlg::Choice choice) const;

private:
    // Paints with a progress dialog (with Cancel) when there are more than a few pages.
    PrintOutcome Paint(CPrintout& printout, QPrinter& printer, int from, int to, QString* failure);

    CQuorvaneMain& m_frame;
    CPrintSelectionDlg::Choice m_choice = CPrintSelectionDlg::Invoice;
};
