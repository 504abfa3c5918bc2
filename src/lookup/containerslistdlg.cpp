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
    : CEditDialog(parent), m_doc(doc), m_currentID(currentID) {
    setWindowTitle(QStringLiteral("Containers List Dialog"));
    setObjectName(QStringLiteral("ContainersListDlg"));

    m_comboTableName = new QComboBox(this);
    m_comboTableName->setObjectName(QStringLiteral("comboTableName"));
    m_comboTableName->setEditable(true);
    // The typed text is only a name for Create or Rename: Enter must neither add it nor choose
    // a list, and inline completion would turn a new name into an existing one.
    m_comboTableName->setInsertPolicy(QComboBox::NoInsert);
    m_comboTableName->setDuplicatesEnabled(true);
    m_comboTableName->setCompleter(nullptr);
    // Leaving the field would otherwise choose the entry matching the typed text in any letter
    // case, and Rename would then rename that one.
    disconnect(m_comboTableName->lineEdit(), &QLineEdit::editingFinished, m_comboTableName, nullptr);
    m_buttonCreate = MakeButton(this, "buttonCreate", "Create");
    m_buttonRename = MakeButton(this, "buttonRename", "Rename");

    auto* group = new QGroupBox(QStringLiteral("Container Names"), this);
    m_listEntries = new QListWidget(group);
    m_listEntries->setObjectName(QStringLiteral("listEntries"));
    m_listEntries->setSelectionMode(QAbstractItemView::SingleSelection);
    m_editName = new QLineEdit(group);
    m_editName->setObjectName(QStringLiteral("editName"));
    m_editName->setMaxLength(250); // the width of the stored string
    m_buttonAdd = MakeButton(group, "buttonAdd", "Add");
    m_buttonRemove = MakeButton(group, "buttonRemove", "Remove");
    auto* close = MakeButton(this, "IDOK", "Close");

    auto* top = new QHBoxLayout;
    top->addWidget(MakeLabel(this, "List Name:", m_comboTableName));
    top->addWidget(m_comboTableName, 1);
    top->addWidget(m_buttonCreate);
    top->addWidget(m_buttonRename);

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
    layout->addLayout(top);
    layout->addWidget(group, 1);
    layout->addLayout(bottom);
    resize(440, 400);

    connect(m_comboTableName, &QComboBox::activated, this, &CContainersListDlg::OnListChosen);
    connect(m_buttonCreate, &QPushButton::clicked, this, &CContainersListDlg::OnCreate);
    connect(m_buttonRename, &QPushButton::clicked, this, &CContainersListDlg::OnRename);
    connect(m_listEntries, &QListWidget::itemSelectionChanged, this, &CContainersListDlg::OnLineSelected);
    connect(m_buttonAdd, &QPushButton::clicked, this, &CContainersListDlg::OnAdd);
    connect(m_buttonRemove, &QPushButton::clicked, this, &CContainersListDlg::OnRemove);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    ApplyConventions();
    m_comboTableName->installEventFilter(this);

    FillListNames();
    m_doc->GetPtrContainers()->ReQueryRecordsetUsingGroup(m_currentID);
    FillNames();
    m_editName->clear();
    SelectListByID(m_currentID);
}

bool CContainersListDlg::eventFilter(QObject* watched, QEvent* event) {
    // The drop-down's text is an edit field too: entering it selects the name, so that a new
    // one can be typed over it. The focus goes to the drop-down, not to its line edit.
    if (watched == m_comboTableName && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_comboTableName->lineEdit(), &QLineEdit::selectAll);
    return CEditDialog::eventFilter(watched, event);
}

void CContainersListDlg::FillListNames() {
    CDaoGroupedStringList* names = m_doc->GetPtrContainerNamesList();
    names->ReQueryRecordsetUsingGroup(0);
    m_comboTableName->clear();
    int id = -1;
    QString name;
    for (bool ok = names->GetFirst(id, name); ok; ok = names->GetNext(id, name)) m_comboTableName->addItem(name, id);
}

void CContainersListDlg::SelectListByID(int id) { m_comboTableName->setCurrentIndex(m_comboTableName->findData(id)); }

bool CContainersListDlg::NameInDropDown(const QString& name) const {
    for (int i = 0; i < m_comboTableName->count(); ++i)
        if (m_comboTableName->itemText(i) == name) return true;
    return false;
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

void CContainersListDlg::OnListChosen(int index) {
    // Each entry carries its own ID: names may differ only in letter case, and a look-up by
    // name would open the first of them.
    const QVariant data = m_comboTableName->itemData(index);
    if (!data.isValid()) return;
    const int id = data.toInt();
    m_currentID = id;
    m_doc->GetPtrContainers()->ReQueryRecordsetUsingGroup(m_currentID);
    FillNames();
    m_editName->clear();
}

void CContainersListDlg::OnCreate() {
    const QString name = m_comboTableName->currentText();
    if (name.isEmpty()) return;
    if (NameInDropDown(name)) {
        m_doc->Prompter().MessageBox(QStringLiteral("Name already exists!\nEnter a new name."));
        return;
    }
    const int id = m_doc->GetPtrContainerNamesList()->AddItem(0, name);
    if (id == -1) return;
    m_comboTableName->addItem(name, id);
    m_comboTableName->setCurrentIndex(m_comboTableName->count() - 1);
    m_currentID = id;
    m_doc->GetPtrContainers()->ReQueryRecordsetUsingGroup(m_currentID);
    FillNames();
    m_editName->clear();
}

void CContainersListDlg::OnRename() {
    const QString name = m_comboTableName->currentText();
    if (name.isEmpty()) return;
    if (NameInDropDown(name)) {
        m_doc->Prompter().MessageBox(QStringLiteral("Name already exists!\nEnter a new name."));
        return;
    }
    if (!m_doc->GetPtrContainerNamesList()->PutItem(m_currentID, name)) return;
    FillListNames();
    SelectListByID(m_currentID);
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
