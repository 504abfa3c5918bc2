#pragma once

#include "ui/editdialog.h"

class CQuorvaneDoc;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Containers List Dialog": creates and renames container lists and edits the container names
// in them. Every change goes to the project at once; "Close" only closes.
class CContainersListDlg : public CEditDialog {
    Q_OBJECT
public:
    // currentID: the container list of the current store, shown first.
    CContainersListDlg(CQuorvaneDoc* doc, int currentID, QWidget* parent = nullptr);

    // An existing name was rewritten or one was removed.
    bool Changed() const { return m_changed; }
    int CurrentListID() const { return m_currentID; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillListNames();
    void SelectListByID(int id);
    void FillNames();
    bool NameInDropDown(const QString& name) const;

    void OnListChosen(int index);
    void OnCreate();
    void OnRename();
    void OnLineSelected();
    void OnAdd();
    void OnRemove();

    CQuorvaneDoc* m_doc;
    int m_currentID;
    bool m_changed = false;

    QComboBox* m_comboTableName;
    QPushButton* m_buttonCreate;
    QPushButton* m_buttonRename;
    QListWidget* m_listEntries;
    QLineEdit* m_editName;
    QPushButton* m_buttonAdd;
    QPushButton* m_buttonRemove;
};
