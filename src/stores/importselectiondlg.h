#pragma once

#include <QDialog>

class QRadioButton;

// Asks what to import: a store exported before, or another program's database files.
class CImportSelectionDlg : public QDialog {
    Q_OBJECT
public:
    enum class Choice { StorePreviouslyExported, OtherDatabaseFiles };

    // otherDatabases: whether the import of other programs' files is offered.
    explicit CImportSelectionDlg(bool otherDatabases, QWidget* parent = nullptr);

    Choice Chosen() const;

private:
    QRadioButton* m_radioStore;
    QRadioButton* m_radioOther;
};
