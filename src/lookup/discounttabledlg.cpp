#include "discounttabledlg.h"

#include "lookup/discountlinerules.h"
#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
#include "project/numberrules.h"
#include "project/quorvanedoc.h"
#include "ui/prompter.h"
#include "ui/formwidgets.h"

#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char* const kRateFormat = "%5.2lf%%";
const QString kDefaultEntry = QStringLiteral("default");

// Each line keeps its entry's row, name and value; the shown text is never read back.
constexpr int kIDRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;
constexpr int kValueRole = Qt::UserRole + 2;

QListWidgetItem* AddLine(QListWidget* list, int id, const QString& name, double value) {
    auto* item = new QListWidgetItem(DiscountEntryLine(name, value), list);
    item->setData(kIDRole, id);
    item->setData(kNameRole, name);
    item->setData(kValueRole, value);
    return item;
}

} // namespace

CDiscountTableDlg::CDiscountTableDlg(CQuorvaneDoc* doc, int currentID, QWidget* parent)
    : CNamedListsDlg(doc, doc->GetPtrDiscTableNamesList(), currentID, parent) {
    setWindowTitle(QStringLiteral("Discount Table Dialog"));
    setObjectName(QStringLiteral("DiscountTableDlg"));

    auto* group = new QGroupBox(QStringLiteral("Table Entries"), this);
    m_listEntries = new QListWidget(group);
    m_listEntries->setObjectName(QStringLiteral("listEntries"));
    m_listEntries->setSelectionMode(QAbstractItemView::SingleSelection);
    // The lines are laid out in columns of characters.
    m_listEntries->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_editName = new QLineEdit(group);
    m_editName->setObjectName(QStringLiteral("editName"));
    m_editName->setMaxLength(50); // the width of the stored entry name
    m_editPercent = new QLineEdit(group);
    m_editPercent->setObjectName(QStringLiteral("editPercent"));
    m_buttonAdd = MakeButton(group, "buttonAdd", "Add");
    m_buttonRemove = MakeButton(group, "buttonRemove", "Remove");
    auto* close = MakeButton(this, "IDOK", "Close");

    auto* fields = new QGridLayout;
    fields->addWidget(MakeLabel(group, "Name:", m_editName), 0, 0);
    fields->addWidget(m_editName, 0, 1);
    fields->addWidget(m_buttonAdd, 0, 2);
    fields->addWidget(MakeLabel(group, "Disc.%:", m_editPercent), 1, 0);
    fields->addWidget(m_editPercent, 1, 1);
    fields->addWidget(m_buttonRemove, 1, 2);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_listEntries, 1);
    groupLayout->addLayout(fields);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(NameRow("Table Name:"));
    layout->addWidget(group, 1);
    layout->addLayout(bottom);
    resize(480, 420);

    connect(m_listEntries, &QListWidget::itemSelectionChanged, this, &CDiscountTableDlg::OnLineSelected);
    connect(m_buttonAdd, &QPushButton::clicked, this, &CDiscountTableDlg::OnAdd);
    connect(m_buttonRemove, &QPushButton::clicked, this, &CDiscountTableDlg::OnRemove);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    OnFieldChanged(m_editPercent, [](QLineEdit* edit) {
        edit->setText(FormatC(kRateFormat, RateFromTyped(ReadLeadingNumber(edit->text())) * 100.0));
    });
    ApplyConventions();

    FillListNames();
    ShowList(m_currentID);
    SelectListByID(m_currentID);
}

void CDiscountTableDlg::FillEntries() {
    const QSignalBlocker block(m_listEntries);
    m_listEntries->clear();
    CLookupTable* lookup = m_doc->GetPtrLookupTable();
    int id = -1;
    QString name;
    double value = 0.0;
    for (bool ok = lookup->GetFirst(id, name, value); ok; ok = lookup->GetNext(id, name, value))
        AddLine(m_listEntries, id, name, value);
}

void CDiscountTableDlg::ClearFields() {
    m_editName->clear();
    m_editPercent->clear();
}

void CDiscountTableDlg::ShowList(int id) {
    m_doc->GetPtrLookupTable()->ReQueryRecordsetUsingCategory(id);
    FillEntries();
    ClearFields();
}

void CDiscountTableDlg::ListCreated(int id) {
    // Every table has the entry that applies when an item's group is not in it.
    m_doc->GetPtrLookupTable()->AddItem(id, kDefaultEntry, 0.0);
}

void CDiscountTableDlg::OnLineSelected() {
    const QList<QListWidgetItem*> selected = m_listEntries->selectedItems();
    if (selected.isEmpty()) return;
    m_editName->setText(selected.front()->data(kNameRole).toString());
    m_editPercent->setText(FormatC(kRateFormat, selected.front()->data(kValueRole).toDouble() * 100.0));
}

void CDiscountTableDlg::OnAdd() {
    QString name = RemoveTrailingBlanks(m_editName->text());
    if (name.isEmpty()) return;
    // The entry the stores fall back on is looked up by this exact spelling.
    if (name.compare(kDefaultEntry, Qt::CaseInsensitive) == 0) name = kDefaultEntry;
    // The field shows a percentage.
    const double value = ReadLeadingNumber(m_editPercent->text()) * 0.01;

    CLookupTable* lookup = m_doc->GetPtrLookupTable();
    for (int i = 0; i < m_listEntries->count(); ++i) {
        QListWidgetItem* item = m_listEntries->item(i);
        // Only the entry of exactly this name changes, and only its value: items find their
        // group by its exact name.
        if (item->data(kNameRole).toString() != name) continue;
        if (lookup->PutItem(item->data(kIDRole).toInt(), name, value)) EntryChanged(name);
        lookup->ReQueryRecordsetUsingCategory(m_currentID);
        FillEntries();
        return;
    }

    const int id = lookup->AddItem(m_currentID, name, value);
    if (id == -1) return;
    m_listEntries->setCurrentItem(AddLine(m_listEntries, id, name, value));
}

void CDiscountTableDlg::EntryChanged(const QString& name) {
    m_changed = true;
    m_changedEntries[m_currentID].insert(name);
}

void CDiscountTableDlg::OnRemove() {
    const QList<QListWidgetItem*> selected = m_listEntries->selectedItems();
    if (selected.isEmpty()) return;
    QListWidgetItem* item = selected.front();
    const QString name = item->data(kNameRole).toString();
    if (name == kDefaultEntry) return; // every table keeps its fallback entry
    if (m_doc->Prompter().MessageBox(QStringLiteral("Delete item %1?").arg(name), CPrompter::Buttons::YesNo,
                                     CPrompter::Icon::Question, CPrompter::Answer::Yes) == CPrompter::Answer::No)
        return;
    if (!m_doc->GetPtrLookupTable()->DeleteItem(item->data(kIDRole).toInt())) return;
    {
        // Nothing stays selected, so that a second click cannot remove the neighbour.
        const QSignalBlocker block(m_listEntries);
        delete item;
        m_listEntries->clearSelection();
        m_listEntries->setCurrentItem(nullptr);
    }
    ClearFields();
    EntryChanged(name);
}
