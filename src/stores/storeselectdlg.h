#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;

// Picks another store, e.g. the one to copy items into: every store but those that share the
// current store's tab name.
class CStoreSelectDlg : public QDialog {
    Q_OBJECT
public:
    // tabNames: every store's tab name in tab order; selectedIndex: the current store's tab.
    CStoreSelectDlg(const QStringList& tabNames, int selectedIndex, QWidget* parent = nullptr);

    // The tab index of the chosen store; -1 when none could be listed.
    int ChosenIndex() const;

private:
    QComboBox* m_comboStore;
};
