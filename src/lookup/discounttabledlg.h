#pragma once

#include "ui/editdialog.h"

class CQuorvaneDoc;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Discount Table Dialog": creates and renames discount tables and edits their entries (a
// group name and its rate). Every change goes to the project at once; "Close" only closes.
class CDiscountTableDlg : public CEditDialog {
    Q_OBJECT
public:
    // currentID: the discount table of the current store, shown first.
    CDiscountTableDlg(CQuorvaneDoc* doc, int currentID, QWidget* parent = nullptr);

    // An existing entry was rewritten or one was removed.
    bool Changed() const { return m_changed; }
    int CurrentTableID() const { return m_currentID; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillTableNames();
    void SelectTableByID(int id);
    void FillEntries();
    void ClearFields();
    bool NameInDropDown(const QString& name) const;

    void OnTableChosen(int index);
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
    QLineEdit* m_editPercent;
    QPushButton* m_buttonAdd;
    QPushButton* m_buttonRemove;
};
