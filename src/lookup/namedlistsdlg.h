#pragma once

#include "ui/editdialog.h"

class CDaoGroupedStringList;
class CQuorvaneDoc;
class QComboBox;
class QHBoxLayout;
class QPushButton;

// What the discount table and container list dialogs share: a drop-down of the named lists
// with "Create" and "Rename", the list being shown, and whether an existing entry changed.
class CNamedListsDlg : public CEditDialog {
    Q_OBJECT
public:
    // An existing entry was rewritten or one was removed.
    bool Changed() const { return m_changed; }

protected:
    CNamedListsDlg(CQuorvaneDoc* doc, CDaoGroupedStringList* names, int currentID, QWidget* parent);

    // The row of the drop-down and its two buttons, with the given label.
    QHBoxLayout* NameRow(const char* label);
    void FillListNames();
    void SelectListByID(int id);
    // Shows the entries of the list with this ID (the current list).
    virtual void ShowList(int id) = 0;
    // A list was just created.
    virtual void ListCreated(int /*id*/) {}

    bool eventFilter(QObject* watched, QEvent* event) override;

    CQuorvaneDoc* m_doc;
    CDaoGroupedStringList* m_names;
    int m_currentID;
    bool m_changed = false;
    QComboBox* m_comboTableName;
    QPushButton* m_buttonCreate;
    QPushButton* m_buttonRename;

private:
    bool NameInDropDown(const QString& name) const;
    bool RefuseName(const QString& name);
    void OnListChosen(int index);
    void OnCreate();
    void OnRename();
};
