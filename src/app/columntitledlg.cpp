#include "columntitledlg.h"

#include "listwin/listwindow.h"
#include "ui/prompter.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CColumnTitleDlg::CColumnTitleDlg(CPrompter& prompter, std::function<CListWindow*(Kind)> listOf, QWidget* parent)
    : CEditDialog(parent), m_prompter(prompter), m_listOf(std::move(listOf)) {
    setWindowTitle(QStringLiteral("Column Title Edit Dialog"));
    setObjectName(QStringLiteral("ColumnTitleDlg"));

    auto* group = new QGroupBox(QStringLiteral("Window Selection"), this);
    auto* groupLayout = new QVBoxLayout(group);
    const char* texts[KindCount] = {"Customer", "Invoice", "Invoice Items", "Store"};
    const char* names[KindCount] = {"radioCustomer", "radioInvoice", "radioInvoiceItems", "radioStore"};
    for (int k = 0; k < KindCount; ++k) {
        m_radio[k] = new QRadioButton(QString::fromLatin1(texts[k]), group);
        m_radio[k]->setObjectName(QLatin1String(names[k]));
        groupLayout->addWidget(m_radio[k]);
        // clicked, not toggled: clicking the chosen kind again reloads it.
        connect(m_radio[k], &QRadioButton::clicked, this, [this, k] { OnKindClicked(Kind(k)); });
    }
    groupLayout->addStretch();

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("listColumns"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_editCurrent = new QLineEdit(this);
    m_editCurrent->setObjectName(QStringLiteral("editCurrentTitle"));
    m_editCurrent->setReadOnly(true);
    m_editNew = new QLineEdit(this);
    m_editNew->setObjectName(QStringLiteral("editNewTitle"));
    m_editNew->setMaxLength(kColumnTitleWidth);
    auto* apply = new QPushButton(QStringLiteral("Apply"), this);
    apply->setObjectName(QStringLiteral("buttonApply"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));

    auto* listLabel = new QLabel(QStringLiteral("Column Descriptions:"), this);
    listLabel->setBuddy(m_list);
    auto* currentLabel = new QLabel(QStringLiteral("Current column title:"), this);
    currentLabel->setBuddy(m_editCurrent);
    auto* newLabel = new QLabel(QStringLiteral("New column title:"), this);
    newLabel->setBuddy(m_editNew);

    auto* right = new QGridLayout;
    right->addWidget(listLabel, 0, 0, 1, 2);
    right->addWidget(m_list, 1, 0, 1, 2);
    right->addWidget(currentLabel, 2, 0);
    right->addWidget(m_editCurrent, 2, 1);
    right->addWidget(newLabel, 3, 0);
    right->addWidget(m_editNew, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    right->addLayout(buttons, 4, 0, 1, 2);
    auto* top = new QHBoxLayout(this);
    top->addWidget(group);
    top->addLayout(right, 1);
    resize(620, 380);

    connect(m_list, &QListWidget::currentRowChanged, this, [this] { OnLineSelected(); });
    connect(m_list, &QListWidget::itemClicked, this, [this] { OnLineSelected(); });
    connect(apply, &QPushButton::clicked, this, &CColumnTitleDlg::Apply);
    connect(ok, &QPushButton::clicked, this, &CColumnTitleDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    ApplyConventions();
    m_radio[Customer]->setChecked(true);
    LoadKind(Customer);
}

QString CColumnTitleDlg::TitleOfLine(const QString& line) { return line.section(QLatin1Char('\t'), 0, 0); }

void CColumnTitleDlg::SelectKind(Kind kind) { m_radio[kind]->click(); }

void CColumnTitleDlg::OnKindClicked(Kind kind) {
    if (kind != m_kind) {
        if (m_changed && m_prompter.MessageBox(QStringLiteral("Save changes before switching?"),
                                               CPrompter::Buttons::YesNo, CPrompter::Icon::Question,
                                               CPrompter::Answer::Yes) == CPrompter::Answer::Yes)
            SaveKind(m_kind);
        m_editCurrent->clear();
        m_editNew->clear();
    }
    // The same kind again reloads it, keeping what was typed.
    LoadKind(kind);
}

void CColumnTitleDlg::LoadKind(Kind kind) {
    m_kind = kind;
    m_changed = false;
    const QSignalBlocker block(m_list);
    m_list->clear();
    CListWindow* list = m_listOf ? m_listOf(kind) : nullptr;
    if (!list) return;
    for (const ColumnDef& def : list->Columns().Definitions())
        m_list->addItem(def.Title + QLatin1Char('\t') + def.Description);
    m_list->scrollToTop();
}

void CColumnTitleDlg::SaveKind(Kind kind) {
    CListWindow* list = m_listOf ? m_listOf(kind) : nullptr;
    if (!list) return;
    std::vector<ColumnDef>& defs = list->Columns().Definitions();
    for (int i = 0; i < m_list->count() && i < int(defs.size()); ++i)
        defs[size_t(i)].Title = TitleOfLine(m_list->item(i)->text()).left(kColumnTitleWidth);
    list->SaveColumnDefinitions();
    list->ActivateListCtrlColumns();
    list->RefreshListCtrlFromRecordset();
}

void CColumnTitleDlg::OnLineSelected() {
    if (QListWidgetItem* item = m_list->currentItem()) m_editCurrent->setText(TitleOfLine(item->text()));
}

void CColumnTitleDlg::Apply() {
    const QString title = m_editNew->text().left(kColumnTitleWidth);
    if (title.isEmpty()) return;
    const QString current = m_editCurrent->text();
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem* item = m_list->item(i);
        const QString line = item->text();
        if (TitleOfLine(line) != current) continue;
        const int tab = line.indexOf(QLatin1Char('\t'));
        item->setText(title + (tab >= 0 ? line.mid(tab) : QString()));
        const QSignalBlocker block(m_list);
        m_list->setCurrentRow(i);
        m_changed = true;
        m_editCurrent->setText(title);
        return;
    }
}

void CColumnTitleDlg::accept() {
    if (m_changed) SaveKind(m_kind);
    m_changed = false;
    CEditDialog::accept();
}
