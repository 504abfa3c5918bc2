#pragma once

#include "import/databaseimportmgr.h"

#include <QDialog>

class QLabel;
class QProgressBar;

// "Progress Dialog": modeless, shown while a long copy runs; Escape anywhere in the program
// asks the copy to stop.
class CImportProgressDlg : public QDialog, public IImportProgress {
    Q_OBJECT
public:
    explicit CImportProgressDlg(QWidget* parent = nullptr);
    ~CImportProgressDlg() override;

    void Start(int total) override;
    void Show(int percent) override;
    bool EscapePressed() override;
    void Finish() override;

signals:
    void percentShown(int percent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override {} // Escape stops the copy, not the dialog

private:
    QLabel* m_label;
    QLabel* m_hint;
    QProgressBar* m_bar;
    bool m_escape = false;
    bool m_filtering = false;
};
