#include "customermultieditdlg.h"

#include "project/numberrules.h"
#include "ui/formwidgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QCheckBox* MakeFlag(QWidget* parent, const char* name, const char* text) {
    QCheckBox* check = MakeCheck(parent, name, text);
    check->setTristate(true);
    check->setCheckState(Qt::PartiallyChecked);
    return check;
}

} // namespace

CCustomerMultiEditDlg::CCustomerMultiEditDlg(int activePriceChoice, QWidget* parent) : CEditDialog(parent) {
    setWindowTitle(QStringLiteral("Customer: Multi-Edit Dialog"));
    setObjectName(QStringLiteral("CustomerMultiEditDlg"));

    m_checkCity = MakeCheck(this, "checkCity", "Change CITY to:");
    m_editCity = MakeEdit(this, "editCity", 100);
    m_checkState = MakeCheck(this, "checkState", "Change STATE to:");
    m_editState = MakeEdit(this, "editState", 50);
    m_checkZip = MakeCheck(this, "checkZip", "Change ZIP to:");
    m_editZip = MakeEdit(this, "editZip", 20);
    m_checkDiscount = MakeCheck(this, "checkDiscountRate", "Change DISCOUNT RATE to:");
    m_discount.edit = MakeEdit(this, "editDiscountRate", 32767);
    m_discount.edit->setText(FormatRate(kFormatRate, m_discount.rate));
    m_checkTax = MakeCheck(this, "checkTaxRate", "Change TAX RATE to:");
    m_tax.edit = MakeEdit(this, "editTaxRate", 32767);
    m_tax.edit->setText(FormatRate(kFormatRate, m_tax.rate));
    m_checkUser1 = MakeCheck(this, "checkUserField1", "Change USER FIELD 1 to:");
    m_editUserField1 = MakeEdit(this, "editUserField1", 200);
    m_checkUser2 = MakeCheck(this, "checkUserField2", "Change USER FIELD 2 to:");
    m_editUserField2 = MakeEdit(this, "editUserField2", 200);
    m_checkPrice = MakeCheck(this, "checkPriceChoice", "Change default PRICE CHOICE to:");
    const char* priceNames[3] = {"radioPriceBase", "radioPriceDiscount", "radioPriceMarkup"};
    const char* priceTexts[3] = {"Base Price", "Discount Price", "Markup Price"};
    for (int i = 0; i < 3; ++i) {
        m_radioPrice[i] = new QRadioButton(QString::fromLatin1(priceTexts[i]), this);
        m_radioPrice[i]->setObjectName(QLatin1String(priceNames[i]));
    }
    m_radioPrice[activePriceChoice >= 0 && activePriceChoice <= 2 ? activePriceChoice : 0]->setChecked(true);
    m_checkBusiness = MakeFlag(this, "checkBusiness", "Business");
    m_checkTaxable = MakeFlag(this, "checkTaxable", "Taxable");
    m_checkGroup = MakeFlag(this, "checkGroup", "Group Order");

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    connect(ok, &QPushButton::clicked, this, &CCustomerMultiEditDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CCustomerMultiEditDlg::reject);

    // ---- layout
    auto* grid = new QGridLayout;
    const std::pair<QCheckBox*, QLineEdit*> rows[] = {
        {m_checkCity, m_editCity},           {m_checkState, m_editState},
        {m_checkZip, m_editZip},             {m_checkDiscount, m_discount.edit},
        {m_checkTax, m_tax.edit},            {m_checkUser1, m_editUserField1},
        {m_checkUser2, m_editUserField2},
    };
    int row = 0;
    for (const auto& [check, edit] : rows) {
        grid->addWidget(check, row, 0);
        grid->addWidget(edit, row, 1);
        ++row;
    }
    grid->addWidget(m_checkPrice, row, 0);
    auto* radios = new QHBoxLayout;
    for (QRadioButton* radio : m_radioPrice) radios->addWidget(radio);
    grid->addLayout(radios, row, 1);

    auto* flags = new QHBoxLayout;
    flags->addWidget(m_checkBusiness);
    flags->addWidget(m_checkTaxable);
    flags->addWidget(m_checkGroup);
    flags->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* heading = new QLabel(QStringLiteral("Select any combination of the following:"), this);
    heading->setObjectName(QStringLiteral("labelHeading"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(heading);
    top->addLayout(grid);
    top->addLayout(flags);
    top->addLayout(buttons);

    // ---- behaviour
    for (RateField* field : {&m_discount, &m_tax}) {
        OnFieldChanged(field->edit, [this, field](QLineEdit*) { ReadRate(*field); });
    }
    // A flag left undecided must not change anyone: only a click makes it count.
    connect(m_checkBusiness, &QCheckBox::clicked, this, [this] { m_businessClicked = true; });
    connect(m_checkTaxable, &QCheckBox::clicked, this, [this] { m_taxableClicked = true; });
    connect(m_checkGroup, &QCheckBox::clicked, this, [this] { m_groupClicked = true; });
    ApplyConventions();
    m_checkCity->setFocus();
}

void CCustomerMultiEditDlg::ReadRate(RateField& field) {
    field.rate = RateFromTyped(ReadLeadingNumber(field.edit->text()));
    field.edit->setText(FormatRate(kFormatRate, field.rate));
}

int CCustomerMultiEditDlg::FlagState(const QCheckBox* box, bool clicked) {
    // Clicked round back to undecided leaves the flag alone too.
    if (!clicked || box->checkState() == Qt::PartiallyChecked) return -1;
    return box->checkState() == Qt::Checked ? 1 : 0;
}

void CCustomerMultiEditDlg::accept() {
    ReadFieldsStillBeingTyped();

    CCustomerMultiEdit c;
    c.city = m_checkCity->isChecked();
    c.cityText = m_editCity->text();
    c.state = m_checkState->isChecked();
    c.stateText = m_editState->text();
    c.zip = m_checkZip->isChecked();
    c.zipText = m_editZip->text();
    c.discount = m_checkDiscount->isChecked();
    c.discountRate = m_discount.rate;
    c.tax = m_checkTax->isChecked();
    c.taxRate = m_tax.rate;
    c.user1 = m_checkUser1->isChecked();
    c.user1Text = m_editUserField1->text();
    c.user2 = m_checkUser2->isChecked();
    c.user2Text = m_editUserField2->text();
    c.price = m_checkPrice->isChecked();
    c.priceChoice = m_radioPrice[2]->isChecked() ? 2 : m_radioPrice[1]->isChecked() ? 1 : 0;
    c.business = FlagState(m_checkBusiness, m_businessClicked);
    c.taxable = FlagState(m_checkTaxable, m_taxableClicked);
    c.group = FlagState(m_checkGroup, m_groupClicked);
    m_changes = c;
    CEditDialog::accept();
}
