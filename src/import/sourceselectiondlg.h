#pragma once

#include <QDialog>

class QListWidget;

// "Database Source Selection Dialog": which kind of outside database to read.
class CSourceSelectionDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSourceSelectionDlg(QWidget* parent = nullptr);
    // The selected line; empty when none was selected.
    const QString& Chosen() const { return m_chosen; }

private:
    QListWidget* m_list;
    QString m_chosen;
};
