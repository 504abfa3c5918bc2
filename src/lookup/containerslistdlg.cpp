#include "containerslistdlg.h"

#include "lookup/discountlinerules.h"
#include "lookup/groupedstringlist.h"
#include "project/quorvanedoc.h"
#include "ui/prompter.h"
#include "ui/formwidgets.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

CContainersListDlg::CContainersListDlg(CQuorvaneDoc* doc, int currentID, QWidget* parent)
    : CNamedListsDlg(doc, doc->GetPtrContainerNamesList(), currentID, parent) {
    setWindowTitle(QStringLiteral("Containers List Dialog"));
    setObjectName(QStringLiteral("ContainersListDlg"));

    auto* group = new QGroupBox(QStringLiteral("Container Names"), this);
    m_listEntries = new QListWidget(group);
    m_listEntries->setObjectName(QStringLiteral("listEntries"));
    m_listEntries->setSelectionMode(QAbstractItemView::SingleSelection);
    m_editName = new QLineEdit(group);
    m_editName->setObjectName(QStringLiteral("editName"));
    m_editName->setMaxLength(50); // the width of a store item's container name
    m_buttonAdd = MakeButton(group, "buttonAdd", "Add");
    m_buttonRemove = MakeButton(group, "buttonRemove", "Remove");
    auto* close = MakeButton(this, "IDOK", "Close");

    auto* fields = new QHBoxLayout;
    fields->addWidget(MakeLabel(group, "Name:", m_editName));
    fields->addWidget(m_editName, 1);
    fields->addWidget(m_buttonAdd);
    fields->addWidget(m_buttonRemove);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_listEntries, 1);
    groupLayout->addLayout(fields);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(NameRow("List Name:"));
    layout->addWidget(group, 1);
    layout->addLayout(bottom);
    resize(440, 400);

    connect(m_listEntries, &QListWidget::itemSelectionChanged, this, &CContainersListDlg::OnLineSelected);
    connect(m_buttonAdd, &QPushButton::clicked, this, &CContainersListDlg::OnAdd);
    connect(m_buttonRemove, &QPushButton::clicked, this, &CContainersListDlg::OnRemove);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    ApplyConventions();

    FillListNames();
    ShowList(m_currentID);
    SelectListByID(m_currentID);
}

void CContainersListDlg::FillNames() {
    const QSignalBlocker block(m_listEntries);
    m_listEntries->clear();
    CDaoGroupedStringList* containers = m_doc->GetPtrContainers();
    int id = -1;
    QString name;
    for (bool ok = containers->GetFirst(id, name); ok; ok = containers->GetNext(id, name)) {
        auto* item = new QListWidgetItem(name, m_listEntries);
        item->setData(Qt::UserRole, id);
    }
}

void CContainersListDlg::ShowList(int id) {
    m_doc->GetPtrContainers()->ReQueryRecordsetUsingGroup(id);
    FillNames();
    m_editName->clear();
}

void CContainersListDlg::OnLineSelected() {
    const QList<QListWidgetItem*> selected = m_listEntries->selectedItems();
    if (!selected.isEmpty()) m_editName->setText(selected.front()->text());
}

void CContainersListDlg::OnAdd() {
    const QString name = RemoveTrailingBlanks(m_editName->text());
    if (name.isEmpty()) return;

    CDaoGroupedStringList* containers = m_doc->GetPtrContainers();
    for (int i = 0; i < m_listEntries->count(); ++i) {
        QListWidgetItem* item = m_listEntries->item(i);
        if (item->text().compare(name, Qt::CaseInsensitive) != 0) continue;
        // The same name again only changes its letter case.
        if (containers->PutItem(item->data(Qt::UserRole).toInt(), name)) m_changed = true;
        containers->ReQueryRecordsetUsingGroup(m_currentID);
        FillNames();
        return;
    }

    const int id = containers->AddItem(m_currentID, name);
    if (id == -1) return;
    auto* item = new QListWidgetItem(name, m_listEntries);
    item->setData(Qt::UserRole, id);
    m_listEntries->setCurrentItem(item);
}

void CContainersListDlg::OnRemove() {
    const QList<QListWidgetItem*> selected = m_listEntries->selectedItems();
    if (selected.isEmpty()) return;
    QListWidgetItem* item = selected.front();
    if (m_doc->Prompter().MessageBox(QStringLiteral("Delete item %1?").arg(item->text()), CPrompter::Buttons::YesNo,
                                     CPrompter::Icon::Question, CPrompter::Answer::Yes) == CPrompter::Answer::No)
        return;
    if (!m_doc->GetPtrContainers()->DeleteItem(item->data(Qt::UserRole).toInt())) return;
    {
        // Nothing stays selected, so that a second click cannot remove the neighbour.
        const QSignalBlocker block(m_listEntries);
        delete item;
        m_listEntries->clearSelection();
        m_listEntries->setCurrentItem(nullptr);
    }
    m_editName->clear();
    m_changed = true;
}
