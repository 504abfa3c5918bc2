#pragma once

#include <QDialog>

class QRadioButton;

// Asks what to export; the store exchange file is the one kind there is.
class CExportSelectionDlg : public QDialog {
    Q_OBJECT
public:
    explicit CExportSelectionDlg(QWidget* parent = nullptr);

    bool StoreChosen() const;

private:
    QRadioButton* m_radioStore;
};
