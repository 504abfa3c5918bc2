#pragma once

#include "lookup/namedlistsdlg.h"

class CQuorvaneDoc;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Containers List Dialog": creates and renames container lists and edits the container names
// in them. Every change goes to the project at once; "Close" only closes.
class CContainersListDlg : public CNamedListsDlg {
    Q_OBJECT
public:
    // currentID: the container list of the current store, shown first.
    CContainersListDlg(CQuorvaneDoc* doc, int currentID, QWidget* parent = nullptr);

    int CurrentListID() const { return m_currentID; }

private:
    void ShowList(int id) override;
    void FillNames();
    void OnLineSelected();
    void OnAdd();
    void OnRemove();

    QListWidget* m_listEntries;
    QLineEdit* m_editName;
    QPushButton* m_buttonAdd;
    QPushButton* m_buttonRemove;
};
