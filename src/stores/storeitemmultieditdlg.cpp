#include "storeitemmultieditdlg.h"

#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
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
#include <optional>

namespace {

constexpr const char* kFormatPrice = "$%8.2f";
constexpr const char* kFormatWeight = "%5.2f";

QComboBox* MakeCombo(QWidget* parent, const char* name) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    return combo;
}

// Ticking either box of the pair unticks the other.
void MakeExclusive(QCheckBox* a, QCheckBox* b) {
    QObject::connect(a, &QCheckBox::toggled, b, [b](bool on) {
        if (on) b->setChecked(false);
    });
    QObject::connect(b, &QCheckBox::toggled, a, [a](bool on) {
        if (on) a->setChecked(false);
    });
}

} // namespace

QString StockQuantityRefusal(const std::optional<int>& quantity) {
    if (!quantity) return QStringLiteral("Please enter an integer.");
    // Buying never takes the stock below 0, so it never starts there either.
    if (*quantity < 0) return QStringLiteral("Please enter a stock quantity of 0 or more.");
    return {};
}

std::vector<std::pair<QString, double>> CStoreItemMultiEditDlg::DiscountTableOf(CQuorvaneDoc* doc) {
    std::vector<std::pair<QString, double>> table;
    CLookupTable* lookup = doc ? doc->GetPtrLookupTable() : nullptr;
    if (!lookup) return table;
    int id = 0;
    QString name;
    double value = 0.0;
    for (bool more = lookup->GetFirst(id, name, value); more; more = lookup->GetNext(id, name, value))
        table.emplace_back(name, value);
    return table;
}

QStringList CStoreItemMultiEditDlg::ContainerListOf(CQuorvaneDoc* doc) {
    QStringList names;
    CDaoGroupedStringList* containers = doc ? doc->GetPtrContainers() : nullptr;
    if (!containers) return names;
    int id = 0;
    QString name;
    for (bool more = containers->GetFirst(id, name); more; more = containers->GetNext(id, name)) names << name;
    return names;
}

void CStoreItemMultiEditDlg::FillDiscountGroups(QComboBox* combo, CQuorvaneDoc* doc) {
    for (const auto& [name, value] : DiscountTableOf(doc)) {
        combo->addItem(DiscountGroupEntry(name, value), name);
        combo->setItemData(combo->count() - 1, value, kGroupValueRole);
    }
}

QString CStoreItemMultiEditDlg::GroupName(const QComboBox* combo, int index) {
    return combo->itemData(index, kGroupNameRole).toString();
}

double CStoreItemMultiEditDlg::GroupValue(const QComboBox* combo, int index) {
    return combo->itemData(index, kGroupValueRole).toDouble();
}

CStoreItemMultiEditDlg::CStoreItemMultiEditDlg(CQuorvaneDoc* doc, QWidget* parent)
    : CEditDialog(parent), m_doc(doc) {
    setWindowTitle(QStringLiteral("Store Items: Multi-Edit Dialog"));
    setObjectName(QStringLiteral("StoreItemMultiEditDlg"));

    m_checkSearchItemCode =
        MakeCheck(this, "checkSearchItemCode", "Search ITEM CODE for a matching DISCOUNT GROUP name.");
    m_checkChangeGroup = MakeCheck(this, "checkChangeGroup", "Change DISCOUNT GROUP name to:");
    m_comboGroup = MakeCombo(this, "comboGroup");
    m_checkSearchDescription =
        MakeCheck(this, "checkSearchDescription", "Search DESCRIPTION for a matching CONTAINER name.");
    m_checkChangeContainer = MakeCheck(this, "checkChangeContainer", "Change CONTAINER name to:");
    m_comboContainer = MakeCombo(this, "comboContainer");

    auto price = [](double v) { return RoundToCents(v < 0.0 ? 0.0 : v); };
    m_checkBasePrice = MakeCheck(this, "checkBasePrice", "Change BASELINE PRICE to:");
    m_editBasePrice = AddNumberField("editBasePrice", [this, price](double v) { m_basePrice = price(v); });
    m_checkDiscountPrice = MakeCheck(this, "checkDiscountPrice", "Change DISCOUNT PRICE to:");
    m_editDiscountPrice =
        AddNumberField("editDiscountPrice", [this, price](double v) { m_discountPrice = price(v); });
    m_checkMarkupPrice = MakeCheck(this, "checkMarkupPrice", "Change MARKUP PRICE to:");
    m_editMarkupPrice = AddNumberField("editMarkupPrice", [this, price](double v) { m_markupPrice = price(v); });
    m_checkMarkupPercent = MakeCheck(this, "checkMarkupPercent", "Change MARKUP PERCENT to:");
    m_editMarkupPercent =
        AddNumberField("editMarkupPercent", [this](double v) { m_markupPercent = PercentFromTyped(v); });
    m_checkStockQty = MakeCheck(this, "checkStockQty", "Change STOCK QUANTITY to:");
    m_editStockQty = MakeEdit(this, "editStockQty");
    m_editStockQty->setText(FormatC(kFormatCount, 0));
    m_checkUser1 = MakeCheck(this, "checkUser1", "Change USER FIELD 1 to:");
    m_editUser1 = MakeEdit(this, "editUser1", 200);
    m_checkUser2 = MakeCheck(this, "checkUser2", "Change USER FIELD 2 to:");
    m_editUser2 = MakeEdit(this, "editUser2", 200);
    m_checkShipWeight = MakeCheck(this, "checkShipWeight", "Change SHIPPING WEIGHT to:");
    m_editShipPounds =
        AddNumberField("editShipPounds", [this](double v) { PoundsTyped(v, m_shipPounds, m_shipOunces); });
    m_editShipOunces =
        AddNumberField("editShipOunces", [this](double v) { OuncesTyped(v, m_shipPounds, m_shipOunces); });
    m_checkProdWeight = MakeCheck(this, "checkProdWeight", "Change PRODUCT WEIGHT to:");
    m_editProdPounds =
        AddNumberField("editProdPounds", [this](double v) { PoundsTyped(v, m_prodPounds, m_prodOunces); });
    m_editProdOunces =
        AddNumberField("editProdOunces", [this](double v) { OuncesTyped(v, m_prodPounds, m_prodOunces); });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    connect(ok, &QPushButton::clicked, this, &CStoreItemMultiEditDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CStoreItemMultiEditDlg::reject);

    // ---- layout
    auto* grid = new QGridLayout;
    int row = 0;
    auto addRow = [&](QCheckBox* check, QWidget* value) {
        if (value) {
            grid->addWidget(check, row, 0);
            grid->addWidget(value, row, 1, 1, 5);
        } else {
            grid->addWidget(check, row, 0, 1, 6);
        }
        ++row;
    };
    auto addWeightRow = [&](QCheckBox* check, QLineEdit* pounds, QLineEdit* ounces) {
        grid->addWidget(check, row, 0);
        grid->addWidget(pounds, row, 1);
        grid->addWidget(new QLabel(QStringLiteral("lbs."), this), row, 2);
        grid->addWidget(new QLabel(QStringLiteral("OR"), this), row, 3);
        grid->addWidget(ounces, row, 4);
        grid->addWidget(new QLabel(QStringLiteral("ozs."), this), row, 5);
        ++row;
    };
    addRow(m_checkSearchItemCode, nullptr);
    addRow(m_checkChangeGroup, m_comboGroup);
    addRow(m_checkSearchDescription, nullptr);
    addRow(m_checkChangeContainer, m_comboContainer);
    addRow(m_checkBasePrice, m_editBasePrice);
    addRow(m_checkDiscountPrice, m_editDiscountPrice);
    addRow(m_checkMarkupPrice, m_editMarkupPrice);
    addRow(m_checkMarkupPercent, m_editMarkupPercent);
    addRow(m_checkStockQty, m_editStockQty);
    addRow(m_checkUser1, m_editUser1);
    addRow(m_checkUser2, m_editUser2);
    addWeightRow(m_checkShipWeight, m_editShipPounds, m_editShipOunces);
    addWeightRow(m_checkProdWeight, m_editProdPounds, m_editProdOunces);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* heading = new QLabel(QStringLiteral("Select any combination of the following:"), this);
    heading->setObjectName(QStringLiteral("labelHeading"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(heading);
    top->addLayout(grid);
    top->addLayout(buttons);

    // ---- behaviour
    FillDiscountGroups(m_comboGroup, doc);
    m_comboContainer->addItems(ContainerListOf(doc));
    if (m_comboGroup->count() > 0) {
        m_comboGroup->setCurrentIndex(0);
        TakeChosenGroup();
    }
    if (m_comboContainer->count() > 0) {
        m_comboContainer->setCurrentIndex(0);
        m_containerName = m_comboContainer->itemText(0);
    }
    connect(m_comboGroup, &QComboBox::activated, this, &CStoreItemMultiEditDlg::TakeChosenGroup);
    connect(m_comboContainer, &QComboBox::activated, this,
            [this] { m_containerName = m_comboContainer->currentText(); });
    MakeExclusive(m_checkSearchItemCode, m_checkChangeGroup);
    MakeExclusive(m_checkSearchDescription, m_checkChangeContainer);
    MakeExclusive(m_checkMarkupPrice, m_checkMarkupPercent);
    ShowNumbers();
    ApplyConventions();
    m_checkSearchItemCode->setFocus();
}

void CStoreItemMultiEditDlg::TakeChosenGroup() {
    const int index = m_comboGroup->currentIndex();
    if (index < 0) return;
    m_groupName = GroupName(m_comboGroup, index);
    m_groupPercent = GroupValue(m_comboGroup, index);
}

void CStoreItemMultiEditDlg::NumbersChanged() {
    ShowNumbers();
}

void CStoreItemMultiEditDlg::ShowNumbers() {
    m_editBasePrice->setText(FormatC(kFormatPrice, m_basePrice));
    m_editDiscountPrice->setText(FormatC(kFormatPrice, m_discountPrice));
    m_editMarkupPrice->setText(FormatC(kFormatPrice, m_markupPrice));
    m_editMarkupPercent->setText(FormatRate(kFormatRate, m_markupPercent));
    m_editShipPounds->setText(FormatC(kFormatWeight, m_shipPounds));
    m_editShipOunces->setText(FormatC(kFormatWeight, m_shipOunces));
    m_editProdPounds->setText(FormatC(kFormatWeight, m_prodPounds));
    m_editProdOunces->setText(FormatC(kFormatWeight, m_prodOunces));
}

CStoreItemMultiEdit CStoreItemMultiEditDlg::Changes() const {
    CStoreItemMultiEdit c;
    c.searchItemCode = m_checkSearchItemCode->isChecked();
    c.changeGroup = m_checkChangeGroup->isChecked();
    c.groupName = m_groupName;
    c.groupPercent = m_groupPercent;
    c.searchDescription = m_checkSearchDescription->isChecked();
    c.changeContainer = m_checkChangeContainer->isChecked();
    c.containerName = m_containerName;
    c.basePrice = m_checkBasePrice->isChecked();
    c.basePriceValue = m_basePrice;
    c.discountPrice = m_checkDiscountPrice->isChecked();
    c.discountPriceValue = m_discountPrice;
    c.markupPrice = m_checkMarkupPrice->isChecked();
    c.markupPriceValue = m_markupPrice;
    c.markupPercent = m_checkMarkupPercent->isChecked();
    c.markupPercentValue = m_markupPercent;
    c.stockQty = m_checkStockQty->isChecked();
    c.stockQtyValue = ReadWholeNumber(m_editStockQty->text()).value_or(0);
    c.user1 = m_checkUser1->isChecked();
    c.user1Text = m_editUser1->text();
    c.user2 = m_checkUser2->isChecked();
    c.user2Text = m_editUser2->text();
    c.shipWeight = m_checkShipWeight->isChecked();
    c.shipPounds = m_shipPounds;
    c.shipOunces = m_shipOunces;
    c.prodWeight = m_checkProdWeight->isChecked();
    c.prodPounds = m_prodPounds;
    c.prodOunces = m_prodOunces;
    return c;
}

void CStoreItemMultiEditDlg::accept() {
    ReadFieldsStillBeingTyped();

    const QString refusal = StockQuantityRefusal(ReadWholeNumber(m_editStockQty->text()));
    if (!refusal.isEmpty()) {
        if (m_doc) m_doc->Prompter().MessageBox(refusal, CPrompter::Buttons::Ok, CPrompter::Icon::Warning);
        m_editStockQty->setFocus();
        m_editStockQty->selectAll();
        return;
    }
    CEditDialog::accept();
}
