#include "namedlistsdlg.h"

#include "lookup/groupedstringlist.h"
#include "project/quorvanedoc.h"
#include "ui/formwidgets.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

CNamedListsDlg::CNamedListsDlg(CQuorvaneDoc* doc, CDaoGroupedStringList* names, int currentID, QWidget* parent)
    : CEditDialog(parent), m_doc(doc), m_names(names), m_currentID(currentID) {
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
    connect(m_comboTableName, &QComboBox::activated, this, &CNamedListsDlg::OnListChosen);
    connect(m_buttonCreate, &QPushButton::clicked, this, &CNamedListsDlg::OnCreate);
    connect(m_buttonRename, &QPushButton::clicked, this, &CNamedListsDlg::OnRename);
    m_comboTableName->installEventFilter(this);
}

QHBoxLayout* CNamedListsDlg::NameRow(const char* label) {
    auto* row = new QHBoxLayout;
    row->addWidget(MakeLabel(this, label, m_comboTableName));
    row->addWidget(m_comboTableName, 1);
    row->addWidget(m_buttonCreate);
    row->addWidget(m_buttonRename);
    return row;
}

bool CNamedListsDlg::eventFilter(QObject* watched, QEvent* event) {
    // The drop-down's text is an edit field too: entering it selects the name, so that a new
    // one can be typed over it. The focus goes to the drop-down, not to its line edit.
    if (watched == m_comboTableName && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_comboTableName->lineEdit(), &QLineEdit::selectAll);
    return CEditDialog::eventFilter(watched, event);
}

void CNamedListsDlg::FillListNames() {
    m_names->ReQueryRecordsetUsingGroup(0);
    m_comboTableName->clear();
    int id = -1;
    QString name;
    for (bool ok = m_names->GetFirst(id, name); ok; ok = m_names->GetNext(id, name)) m_comboTableName->addItem(name, id);
}

void CNamedListsDlg::SelectListByID(int id) { m_comboTableName->setCurrentIndex(m_comboTableName->findData(id)); }

bool CNamedListsDlg::NameInDropDown(const QString& name) const {
    for (int i = 0; i < m_comboTableName->count(); ++i)
        if (m_comboTableName->itemText(i) == name) return true;
    return false;
}

bool CNamedListsDlg::RefuseName(const QString& name) {
    if (name.isEmpty()) return true;
    if (!NameInDropDown(name)) return false;
    m_doc->Prompter().MessageBox(QStringLiteral("Name already exists!\nEnter a new name."));
    return true;
}

void CNamedListsDlg::OnListChosen(int index) {
    // Each entry carries its own ID: names may differ only in letter case, and a look-up by
    // name would open the first of them.
    const QVariant data = m_comboTableName->itemData(index);
    if (!data.isValid()) return;
    m_currentID = data.toInt();
    ShowList(m_currentID);
}

void CNamedListsDlg::OnCreate() {
    const QString name = m_comboTableName->currentText();
    if (RefuseName(name)) return;
    const int id = m_names->AddItem(0, name);
    if (id == -1) return;
    m_comboTableName->addItem(name, id);
    m_comboTableName->setCurrentIndex(m_comboTableName->count() - 1);
    m_currentID = id;
    ListCreated(id);
    ShowList(id);
}

void CNamedListsDlg::OnRename() {
    const QString name = m_comboTableName->currentText();
    if (RefuseName(name)) return;
    if (!m_names->PutItem(m_currentID, name)) return;
    FillListNames();
    SelectListByID(m_currentID);
}
