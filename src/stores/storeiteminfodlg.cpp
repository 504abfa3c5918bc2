#include "storeiteminfodlg.h"

#include "project/numberrules.h"
#include "project/quorvanedoc.h"
#include "stores/pricingrules.h"
#include "stores/storeitemmultieditdlg.h"
#include "ui/formwidgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

namespace {

constexpr const char* kFormatPrice = "$%8.2f";
constexpr const char* kFormatWeight = "%5.2f";

// The first entry that begins with the text, whatever the letter case; -1 when none does.
int FindEntryBeginning(const QComboBox* combo, const QString& text) {
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).startsWith(text, Qt::CaseInsensitive)) return i;
    return -1;
}

// The item's discount group: the entry of exactly that name, else the first whose name begins
// with it, whatever the letter case; -1 when none does.
int FindGroup(const QComboBox* combo, const QString& name) {
    for (int i = 0; i < combo->count(); ++i)
        if (CStoreItemMultiEditDlg::GroupName(combo, i) == name) return i;
    for (int i = 0; i < combo->count(); ++i)
        if (CStoreItemMultiEditDlg::GroupName(combo, i).startsWith(name, Qt::CaseInsensitive)) return i;
    return -1;
}

} // namespace

CStoreItemInfoDlg::CStoreItemInfoDlg(const CStoreItemRecord& record, CQuorvaneDoc* doc, QWidget* parent)
    : CEditDialog(parent), m_record(record), m_doc(doc) {
    setWindowTitle(QStringLiteral("Store Item Info Dialog"));
    setObjectName(QStringLiteral("StoreItemInfoDlg"));

    m_editItemCode = MakeEdit(this, "editItemCode", 20);
    m_editItemCode->setText(record.ItemCode);
    m_editQtyInStock = MakeEdit(this, "editQtyInStock");
    m_editQtyInStock->setText(FormatC(kFormatCount, record.QtyInStock));
    m_editDescription = MakeEdit(this, "editDescription", 100);
    m_editDescription->setText(record.Description);
    m_comboContainer = new QComboBox(this);
    m_comboContainer->setObjectName(QStringLiteral("comboContainer"));

    // The same weight in two units: typing either sets the other.
    m_editProdPounds = AddNumberField("editProdPounds", [this](double v) {
        PoundsTyped(v, m_record.ProdPounds, m_record.ProdOunces);
        RecomputePerOunce();
    });
    m_editProdOunces = AddNumberField("editProdOunces", [this](double v) {
        OuncesTyped(v, m_record.ProdPounds, m_record.ProdOunces);
        RecomputePerOunce();
    });
    m_editShipPounds = AddNumberField("editShipPounds", [this](double v) {
        PoundsTyped(v, m_record.ShipPounds, m_record.ShipOunces);
    });
    m_editShipOunces = AddNumberField("editShipOunces", [this](double v) {
        OuncesTyped(v, m_record.ShipPounds, m_record.ShipOunces);
    });

    m_editBasePrice = AddNumberField("editBasePrice", [this](double v) { BaseTyped(v); });
    m_editBasePerOz = MakeEdit(this, "editBasePerOz");
    m_editDiscountPercent = AddNumberField("editDiscountPercent", [this](double v) { DiscountPercentTyped(v); });
    m_comboDiscountGroup = new QComboBox(this);
    m_comboDiscountGroup->setObjectName(QStringLiteral("comboDiscountGroup"));
    m_editDiscountPrice = AddNumberField("editDiscountPrice", [this](double v) { DiscountPriceTyped(v); });
    m_editDiscPerOz = MakeEdit(this, "editDiscPerOz");
    m_editMarkupPercent = AddNumberField("editMarkupPercent", [this](double v) { MarkupPercentTyped(v); });
    m_editMarkupPrice = AddNumberField("editMarkupPrice", [this](double v) { MarkupPriceTyped(v); });
    m_editMarkupPerOz = MakeEdit(this, "editMarkupPerOz");
    for (QLineEdit* edit : {m_editBasePerOz, m_editDiscPerOz, m_editMarkupPerOz}) edit->setReadOnly(true);

    m_editUserField1 = MakeEdit(this, "editUserField1", 200);
    m_editUserField1->setText(record.UserField1);
    m_editUserField2 = MakeEdit(this, "editUserField2", 200);
    m_editUserField2->setText(record.UserField2);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    connect(ok, &QPushButton::clicked, this, &CStoreItemInfoDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CStoreItemInfoDlg::reject);

    // ---- layout
    auto* grid = new QGridLayout;
    grid->addWidget(MakeLabel(this, "Item Code:", m_editItemCode), 0, 0);
    grid->addWidget(m_editItemCode, 0, 1);
    grid->addWidget(MakeLabel(this, "Qty In Stock:", m_editQtyInStock), 0, 2);
    grid->addWidget(m_editQtyInStock, 0, 3);
    grid->addWidget(MakeLabel(this, "Description:", m_editDescription), 1, 0);
    grid->addWidget(m_editDescription, 1, 1, 1, 3);
    grid->addWidget(MakeLabel(this, "Container:", m_comboContainer), 2, 0);
    grid->addWidget(m_comboContainer, 2, 1);

    auto* weight = new QGroupBox(QStringLiteral("Weight"), this);
    weight->setObjectName(QStringLiteral("groupWeight"));
    auto* weightGrid = new QGridLayout(weight);
    weightGrid->addWidget(MakeLabel(weight, "Product:", m_editProdPounds), 0, 0);
    weightGrid->addWidget(MakeLabel(weight, "Pounds:", m_editProdPounds), 0, 1);
    weightGrid->addWidget(m_editProdPounds, 0, 2);
    weightGrid->addWidget(MakeLabel(weight, "OR"), 0, 3);
    weightGrid->addWidget(MakeLabel(weight, "Ounces:", m_editProdOunces), 0, 4);
    weightGrid->addWidget(m_editProdOunces, 0, 5);
    weightGrid->addWidget(MakeLabel(weight, "Shipping:", m_editShipPounds), 1, 0);
    weightGrid->addWidget(m_editShipPounds, 1, 2);
    weightGrid->addWidget(m_editShipOunces, 1, 5);

    auto* pricing = new QGroupBox(QStringLiteral("Pricing"), this);
    pricing->setObjectName(QStringLiteral("groupPricing"));
    auto* pricingGrid = new QGridLayout(pricing);
    const struct {
        const char* label;
        QLineEdit* edit;
        QLineEdit* perOz;
    } priceRows[] = {
        {"Baseline Price:", m_editBasePrice, m_editBasePerOz},
        {"Discount Percent:", m_editDiscountPercent, nullptr},
        {"Discount Price:", m_editDiscountPrice, m_editDiscPerOz},
        {"Markup Percent:", m_editMarkupPercent, nullptr},
        {"Markup Price:", m_editMarkupPrice, m_editMarkupPerOz},
    };
    int row = 0;
    for (const auto& r : priceRows) {
        pricingGrid->addWidget(MakeLabel(pricing, r.label, r.edit), row, 0);
        pricingGrid->addWidget(r.edit, row, 1);
        if (r.perOz) {
            pricingGrid->addWidget(MakeLabel(pricing, "Per Ounce:", r.perOz), row, 2);
            pricingGrid->addWidget(r.perOz, row, 3);
        }
        ++row;
    }
    pricingGrid->addWidget(MakeLabel(pricing, "OR   Use:", m_comboDiscountGroup), 1, 2);
    pricingGrid->addWidget(m_comboDiscountGroup, 1, 3);

    auto* users = new QHBoxLayout;
    users->addWidget(MakeLabel(this, "User Fields:", m_editUserField1));
    users->addWidget(m_editUserField1);
    users->addWidget(m_editUserField2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(weight);
    top->addWidget(pricing);
    top->addLayout(users);
    top->addLayout(buttons);

    // Moving into the group boxes reorders the focus chain; Tab goes as the fields read.
    QWidget* const tabOrder[] = {m_editItemCode, m_editQtyInStock, m_editDescription, m_comboContainer,
                                 m_editProdPounds, m_editProdOunces, m_editShipPounds, m_editShipOunces,
                                 m_editBasePrice, m_editBasePerOz, m_editDiscountPercent, m_comboDiscountGroup,
                                 m_editDiscountPrice, m_editDiscPerOz, m_editMarkupPercent, m_editMarkupPrice,
                                 m_editMarkupPerOz, m_editUserField1, m_editUserField2, ok, cancel};
    for (size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // ---- behaviour
    FillLists();
    ShowPrices();
    ShowPercents();
    ShowWeights();
    if (m_comboDiscountGroup->currentIndex() >= 0) {
        if (m_record.DiscountPercent == 0.0) {
            TakeChosenGroup();
        } else if (m_record.DiscountGrpName.trimmed().isEmpty()) {
            // An item with its own percent but no group keeps the percent and takes the first
            // group's name, so that its group is never blank.
            m_record.DiscountGrpName =
                CStoreItemMultiEditDlg::GroupName(m_comboDiscountGroup, m_comboDiscountGroup->currentIndex());
        }
    }
    // activated, not currentIndexChanged: only the user's choice changes the item.
    connect(m_comboContainer, &QComboBox::activated, this, &CStoreItemInfoDlg::OnContainerChosen);
    connect(m_comboDiscountGroup, &QComboBox::activated, this, &CStoreItemInfoDlg::OnGroupChosen);
    ApplyConventions();
    m_editItemCode->setFocus();
}

void CStoreItemInfoDlg::NumbersChanged() {
    ShowPrices();
    ShowPercents();
    ShowWeights();
}

void CStoreItemInfoDlg::FillLists() {
    for (const QString& name : CStoreItemMultiEditDlg::ContainerListOf(m_doc)) m_comboContainer->addItem(name);
    CStoreItemMultiEditDlg::FillDiscountGroups(m_comboDiscountGroup, m_doc);

    if (m_record.ContainerType.trimmed().isEmpty()) {
        if (m_comboContainer->count() > 0) {
            m_comboContainer->setCurrentIndex(0);
            m_record.ContainerType = m_comboContainer->itemText(0);
        }
    } else {
        m_comboContainer->setCurrentIndex(FindEntryBeginning(m_comboContainer, m_record.ContainerType));
    }

    const bool noGroup = m_record.DiscountGrpName.trimmed().isEmpty();
    m_comboDiscountGroup->setCurrentIndex(noGroup ? (m_comboDiscountGroup->count() > 0 ? 0 : -1)
                                                  : FindGroup(m_comboDiscountGroup, m_record.DiscountGrpName));
}

void CStoreItemInfoDlg::TakeChosenGroup() {
    const int index = m_comboDiscountGroup->currentIndex();
    if (index < 0) return;
    m_record.DiscountGrpName = CStoreItemMultiEditDlg::GroupName(m_comboDiscountGroup, index);
    m_record.DiscountPercent = CStoreItemMultiEditDlg::GroupValue(m_comboDiscountGroup, index);
    RecomputeDiscount();
    RecomputeMarkup();
    ShowPercents();
    ShowPrices();
}

void CStoreItemInfoDlg::OnGroupChosen() {
    m_record.DiscountPercent = 0.0;
    TakeChosenGroup();
}

void CStoreItemInfoDlg::OnContainerChosen() { m_record.ContainerType = m_comboContainer->currentText(); }

void CStoreItemInfoDlg::RecomputeDiscount() {
    m_record.DiscountPrice = DiscountedPrice(m_record.BaseLinePrice, m_record.DiscountPercent);
    m_record.DiscPricePerOz = PricePerOunce(m_record.DiscountPrice, m_record.ProdOunces);
}

void CStoreItemInfoDlg::RecomputeMarkup() {
    m_record.MarkupPrice = MarkedUpPrice(m_record.DiscountPrice, m_record.MarkupPercent);
    m_record.MarkupPricePerOz = PricePerOunce(m_record.MarkupPrice, m_record.ProdOunces);
}

void CStoreItemInfoDlg::RecomputePerOunce() {
    m_record.BasePricePerOz = PricePerOunce(m_record.BaseLinePrice, m_record.ProdOunces);
    m_record.DiscPricePerOz = PricePerOunce(m_record.DiscountPrice, m_record.ProdOunces);
    m_record.MarkupPricePerOz = PricePerOunce(m_record.MarkupPrice, m_record.ProdOunces);
}

void CStoreItemInfoDlg::BaseTyped(double value) {
    m_record.BaseLinePrice = RoundToCents(value < 0.0 ? 0.0 : value);
    m_record.BasePricePerOz = PricePerOunce(m_record.BaseLinePrice, m_record.ProdOunces);
    RecomputeDiscount();
    RecomputeMarkup();
}

void CStoreItemInfoDlg::DiscountPercentTyped(double value) {
    m_record.DiscountPercent = PercentFromTyped(value);
    RecomputeDiscount();
    RecomputeMarkup();
}

void CStoreItemInfoDlg::DiscountPriceTyped(double value) {
    value = std::min(std::max(value, 0.0), m_record.BaseLinePrice);
    m_record.DiscountPrice = RoundToCents(value);
    m_record.DiscPricePerOz = PricePerOunce(m_record.DiscountPrice, m_record.ProdOunces);
    // The percent follows the typed price, so that recomputing from it keeps the price.
    m_record.DiscountPercent =
        DiscountPercentOfPrice(m_record.BaseLinePrice, m_record.DiscountPrice, m_record.DiscountPercent);
    RecomputeMarkup();
}

void CStoreItemInfoDlg::MarkupPercentTyped(double value) {
    m_record.MarkupPercent = PercentFromTyped(value);
    RecomputeMarkup();
}

void CStoreItemInfoDlg::MarkupPriceTyped(double value) {
    m_record.MarkupPrice = RoundToCents(std::max(value, m_record.DiscountPrice));
    m_record.MarkupPricePerOz = PricePerOunce(m_record.MarkupPrice, m_record.ProdOunces);
    m_record.MarkupPercent =
        MarkupPercentOfPrice(m_record.DiscountPrice, m_record.MarkupPrice, m_record.MarkupPercent);
}

void CStoreItemInfoDlg::ShowPrices() {
    m_editBasePrice->setText(FormatC(kFormatPrice, m_record.BaseLinePrice));
    m_editDiscountPrice->setText(FormatC(kFormatPrice, m_record.DiscountPrice));
    m_editMarkupPrice->setText(FormatC(kFormatPrice, m_record.MarkupPrice));
    m_editBasePerOz->setText(FormatC(kFormatWeight, m_record.BasePricePerOz));
    m_editDiscPerOz->setText(FormatC(kFormatWeight, m_record.DiscPricePerOz));
    m_editMarkupPerOz->setText(FormatC(kFormatWeight, m_record.MarkupPricePerOz));
}

void CStoreItemInfoDlg::ShowPercents() {
    m_editDiscountPercent->setText(FormatRate(kFormatRate, m_record.DiscountPercent));
    m_editMarkupPercent->setText(FormatRate(kFormatRate, m_record.MarkupPercent));
}

void CStoreItemInfoDlg::ShowWeights() {
    m_editProdPounds->setText(FormatC(kFormatWeight, m_record.ProdPounds));
    m_editProdOunces->setText(FormatC(kFormatWeight, m_record.ProdOunces));
    m_editShipPounds->setText(FormatC(kFormatWeight, m_record.ShipPounds));
    m_editShipOunces->setText(FormatC(kFormatWeight, m_record.ShipOunces));
}

void CStoreItemInfoDlg::accept() {
    ReadFieldsStillBeingTyped();

    const std::optional<int> qty = ReadWholeNumber(m_editQtyInStock->text());
    const QString refusal = StockQuantityRefusal(qty);
    if (!refusal.isEmpty()) {
        if (m_doc) m_doc->Prompter().MessageBox(refusal, CPrompter::Buttons::Ok, CPrompter::Icon::Warning);
        m_editQtyInStock->setFocus();
        m_editQtyInStock->selectAll();
        return;
    }
    m_record.QtyInStock = *qty;
    m_record.ItemCode = m_editItemCode->text();
    m_record.Description = m_editDescription->text();
    m_record.UserField1 = m_editUserField1->text();
    m_record.UserField2 = m_editUserField2->text();
    CEditDialog::accept();
}
