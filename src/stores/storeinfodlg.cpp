#include "storeinfodlg.h"

#include "lookup/groupedstringlist.h"
#include "project/numberrules.h"
#include "project/quorvanedoc.h"
#include "ui/formwidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

CStoreInfoDlg::CStoreInfoDlg(const CStoreRecord& record, CQuorvaneDoc* doc, int itemCount, bool projectHasStores,
                             QWidget* parent)
    : CEditDialog(parent), m_record(record), m_doc(doc), m_itemCount(itemCount),
      m_shippingCost(record.ShippingCost) {
    setWindowTitle(QStringLiteral("Store Info Dialog"));
    setObjectName(QStringLiteral("StoreInfoDlg"));

    m_editStoreTabName = MakeEdit(this, "editStoreTabName", record.StoreTabName, 100);
    m_editStoreName = MakeEdit(this, "editStoreName", record.StoreName, 100);
    m_editAddress1 = MakeEdit(this, "editAddress1", record.Address1, 100);
    m_editAddress2 = MakeEdit(this, "editAddress2", record.Address2, 100);
    m_editCity = MakeEdit(this, "editCity", record.City, 100);
    m_editState = MakeEdit(this, "editState", record.State, 50);
    m_editZip = MakeEdit(this, "editZip", record.Zip, 20);
    m_editPhone = MakeEdit(this, "editPhone", record.Phone, 50);
    m_editPhone2 = MakeEdit(this, "editPhone2", record.Phone2, 50);
    m_editFax = MakeEdit(this, "editFax", record.Fax, 50);
    m_editComment = MakeEdit(this, "editComment", record.Comment, 255);
    m_checkTrackInventory = new QCheckBox(QStringLiteral("Track Inventory"), this);
    m_checkTrackInventory->setObjectName(QStringLiteral("checkTrackInventory"));
    m_checkTrackInventory->setChecked(record.TrackStockQty != 0);
    m_comboContainerList = new QComboBox(this);
    m_comboContainerList->setObjectName(QStringLiteral("comboContainerList"));
    m_buttonContainers = MakeButton(this, "buttonContainers", "Containers...");
    m_comboDiscTable = new QComboBox(this);
    m_comboDiscTable->setObjectName(QStringLiteral("comboDiscTable"));
    m_buttonDiscTables = MakeButton(this, "buttonDiscTables", "Disc. Tables...");
    m_editShippingCost = MakeEdit(this, "editShippingCost", FormatC(kFormatShipping, m_shippingCost), 32767);
    auto* ok = MakeButton(this, "IDOK", "OK");
    auto* cancel = MakeButton(this, "IDCANCEL", "Cancel");

    // ---- layout
    auto* grid = new QGridLayout;
    int row = 0;
    auto addRow = [&](const char* label, QWidget* field) {
        grid->addWidget(MakeLabel(this, label, field), row, 0);
        grid->addWidget(field, row, 1, 1, 5);
        ++row;
    };
    addRow("Name shown on tab:", m_editStoreTabName);
    addRow("Name:", m_editStoreName);
    addRow("Address:", m_editAddress1);
    grid->addWidget(m_editAddress2, row++, 1, 1, 5);
    grid->addWidget(MakeLabel(this, "City:", m_editCity), row, 0);
    grid->addWidget(m_editCity, row, 1);
    grid->addWidget(MakeLabel(this, "State:", m_editState), row, 2);
    grid->addWidget(m_editState, row, 3);
    grid->addWidget(MakeLabel(this, "Zip:", m_editZip), row, 4);
    grid->addWidget(m_editZip, row, 5);
    ++row;
    grid->addWidget(MakeLabel(this, "Phone:", m_editPhone), row, 0);
    grid->addWidget(m_editPhone, row, 1);
    grid->addWidget(MakeLabel(this, "Phone 2:", m_editPhone2), row, 2);
    grid->addWidget(m_editPhone2, row, 3);
    grid->addWidget(MakeLabel(this, "Fax:", m_editFax), row, 4);
    grid->addWidget(m_editFax, row, 5);
    ++row;
    addRow("Comment:", m_editComment);
    grid->addWidget(m_checkTrackInventory, row++, 1, 1, 5);
    grid->addWidget(MakeLabel(this, "Container List:", m_comboContainerList), row, 0);
    grid->addWidget(m_comboContainerList, row, 1, 1, 3);
    grid->addWidget(m_buttonContainers, row, 4, 1, 2);
    ++row;
    grid->addWidget(MakeLabel(this, "Discount Table:", m_comboDiscTable), row, 0);
    grid->addWidget(m_comboDiscTable, row, 1, 1, 3);
    grid->addWidget(m_buttonDiscTables, row, 4, 1, 2);
    ++row;
    grid->addWidget(MakeLabel(this, "Default Shipping Cost Per Pound:", m_editShippingCost), row, 0, 1, 2);
    grid->addWidget(m_editShippingCost, row, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(buttons);

    // ---- behaviour
    m_buttonContainers->setEnabled(projectHasStores);
    m_buttonDiscTables->setEnabled(projectHasStores);
    RefillLists();
    m_containerListChanged = false;
    m_discTableChanged = false;

    connect(ok, &QPushButton::clicked, this, &CStoreInfoDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CStoreInfoDlg::reject);
    connect(m_buttonContainers, &QPushButton::clicked, this, &CStoreInfoDlg::containersRequested);
    connect(m_buttonDiscTables, &QPushButton::clicked, this, &CStoreInfoDlg::discountTablesRequested);
    // activated, not currentIndexChanged: only the user's choice is asked about.
    connect(m_comboContainerList, &QComboBox::activated, this, &CStoreInfoDlg::OnContainerListChosen);
    connect(m_comboDiscTable, &QComboBox::activated, this, &CStoreInfoDlg::OnDiscTableChosen);
    OnFieldChanged(m_editShippingCost, [this](QLineEdit*) { ReadShippingCost(); });
    ApplyConventions();
    m_editStoreTabName->setFocus();
}

int CStoreInfoDlg::FillList(QComboBox* combo, CDaoGroupedStringList* list, int selectID) {
    combo->clear();
    if (list) {
        int id = 0;
        QString name;
        for (bool more = list->GetFirst(id, name); more; more = list->GetNext(id, name))
            combo->addItem(name, id);
    }
    const int index = combo->findData(selectID);
    combo->setCurrentIndex(index);
    return index;
}

void CStoreInfoDlg::RefillLists() {
    m_containerIndex = FillList(m_comboContainerList, m_doc ? m_doc->GetPtrContainerNamesList() : nullptr,
                                m_record.ContainerID);
    m_discTableIndex = FillList(m_comboDiscTable, m_doc ? m_doc->GetPtrDiscTableNamesList() : nullptr,
                                m_record.DiscTableID);
}

bool CStoreInfoDlg::ConfirmChoice(QComboBox* combo, int& previousIndex, const QString& warning) {
    const int index = combo->currentIndex();
    if (index == previousIndex) return false;
    if (m_itemCount > 0 && m_doc &&
        m_doc->Prompter().MessageBox(warning, CPrompter::Buttons::YesNo, CPrompter::Icon::Question,
                                     CPrompter::Answer::No) != CPrompter::Answer::Yes) {
        combo->setCurrentIndex(previousIndex);
        return false;
    }
    previousIndex = index;
    return true;
}

void CStoreInfoDlg::OnContainerListChosen() {
    if (!ConfirmChoice(m_comboContainerList, m_containerIndex,
                       QStringLiteral("WARNING: This will reset the container name\nof all store items!\nContinue?")))
        return;
    m_containerListChanged = true;
    m_record.ContainerID = m_comboContainerList->currentData().toInt();
}

void CStoreInfoDlg::OnDiscTableChosen() {
    if (!ConfirmChoice(m_comboDiscTable, m_discTableIndex,
                       QStringLiteral("WARNING: This will reset the discount amount\nof all store items!\nContinue?")))
        return;
    m_discTableChanged = true;
    m_record.DiscTableID = m_comboDiscTable->currentData().toInt();
}

void CStoreInfoDlg::ReadShippingCost() {
    m_shippingCost = std::max(0.0, ReadLeadingNumber(m_editShippingCost->text()));
    m_editShippingCost->setText(FormatC(kFormatShipping, m_shippingCost));
}

void CStoreInfoDlg::accept() {
    ReadFieldsStillBeingTyped();
    m_record.StoreTabName = m_editStoreTabName->text();
    m_record.StoreName = m_editStoreName->text();
    m_record.Address1 = m_editAddress1->text();
    m_record.Address2 = m_editAddress2->text();
    m_record.City = m_editCity->text();
    m_record.State = m_editState->text();
    m_record.Zip = m_editZip->text();
    m_record.Phone = m_editPhone->text();
    m_record.Phone2 = m_editPhone2->text();
    m_record.Fax = m_editFax->text();
    m_record.Comment = m_editComment->text();
    m_record.TrackStockQty = m_checkTrackInventory->isChecked() ? 1 : 0;
    m_record.ShippingCost = m_shippingCost;
    CEditDialog::accept();
}
