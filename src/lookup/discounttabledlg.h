#pragma once

#include "lookup/namedlistsdlg.h"

#include <QHash>
#include <QSet>
#include <QString>

class CQuorvaneDoc;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Discount Table Dialog": creates and renames discount tables and edits their entries (a
// group name and its rate). Every change goes to the project at once; "Close" only closes.
class CDiscountTableDlg : public CNamedListsDlg {
    Q_OBJECT
public:
    // currentID: the discount table of the current store, shown first.
    CDiscountTableDlg(CQuorvaneDoc* doc, int currentID, QWidget* parent = nullptr);

    int CurrentTableID() const { return m_currentID; }
    // The entries whose value changed or that were removed, by discount table: only the items
    // of those groups in the stores using those tables need new prices.
    const QHash<int, QSet<QString>>& ChangedEntries() const { return m_changedEntries; }

private:
    void ShowList(int id) override;
    void ListCreated(int id) override;
    void FillEntries();
    void ClearFields();

    void OnLineSelected();
    void OnAdd();
    void OnRemove();
    void EntryChanged(const QString& name);

    QListWidget* m_listEntries;
    QLineEdit* m_editName;
    QLineEdit* m_editPercent;
    QPushButton* m_buttonAdd;
    QPushButton* m_buttonRemove;
    QHash<int, QSet<QString>> m_changedEntries;
};
