#pragma once

#include "ui/editdialog.h"

#include <functional>

class CListWindow;
class CPrompter;
class QLineEdit;
class QListWidget;
class QRadioButton;

// "Column Title Edit Dialog": renames the column titles of one kind of list at a time.
class CColumnTitleDlg : public CEditDialog {
    Q_OBJECT
public:
    enum Kind { Customer, Invoice, InvoiceItems, Store, KindCount };

    // listOf(kind) gives the list window whose columns a kind edits, or null (no store).
    CColumnTitleDlg(CPrompter& prompter, std::function<CListWindow*(Kind)> listOf, QWidget* parent = nullptr);

    Kind CurrentKind() const { return m_kind; }
    bool IsChanged() const { return m_changed; }
    // Clicks a kind's radio button.
    void SelectKind(Kind kind);
    void Apply();

    QRadioButton* KindButton(Kind kind) const { return m_radio[kind]; }
    QListWidget* List() const { return m_list; }
    QLineEdit* CurrentTitleEdit() const { return m_editCurrent; }
    QLineEdit* NewTitleEdit() const { return m_editNew; }

    // "Title\tDescription"; the title is what comes before the first tab.
    static QString TitleOfLine(const QString& line);

public slots:
    void accept() override;

private:
    void OnKindClicked(Kind kind);
    void LoadKind(Kind kind);
    void SaveKind(Kind kind);
    void OnLineSelected();

    CPrompter& m_prompter;
    std::function<CListWindow*(Kind)> m_listOf;
    Kind m_kind = Customer;
    bool m_changed = false;
    QRadioButton* m_radio[KindCount];
    QListWidget* m_list;
    QLineEdit* m_editCurrent;
    QLineEdit* m_editNew;
};
