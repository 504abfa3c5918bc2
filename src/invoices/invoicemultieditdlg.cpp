#include "invoicemultieditdlg.h"

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

#include <algorithm>

namespace {

constexpr const char* kFormatAmount = "$%8.2f";

// A status box that cycles undecided, unchecked, checked, undecided again.
class CStatusBox : public QCheckBox {
public:
    CStatusBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
        setTristate(true);
        setCheckState(Qt::PartiallyChecked);
    }

protected:
    void nextCheckState() override {
        switch (checkState()) {
        case Qt::PartiallyChecked: setCheckState(Qt::Unchecked); break;
        case Qt::Unchecked: setCheckState(Qt::Checked); break;
        case Qt::Checked: setCheckState(Qt::PartiallyChecked); break;
        }
    }
};

} // namespace

CInvoiceMultiEditDlg::CInvoiceMultiEditDlg(int priceChoice, QWidget* parent) : CEditDialog(parent) {
    setWindowTitle(QStringLiteral("Invoice: Multi-Edit Dialog"));
    setObjectName(QStringLiteral("InvoiceMultiEditDlg"));

    m_checkDiscountPercent = MakeCheck(this, "checkDiscountPercent", "Change DISCOUNT PERCENT to:");
    m_discountRate.edit = AddNumberField("editDiscountPercent", [this](double v) {
        m_discountRate.value = DiscountRateFromTyped(v);
        m_discountRate.edit->setText(FormatRate(kFormatRate, m_discountRate.value));
    });
    m_checkDiscountAmount = MakeCheck(this, "checkDiscountAmount", "Change DISCOUNT AMOUNT to:");
    m_discountAmount.edit = AddNumberField("editDiscountAmount", [this](double v) {
        m_discountAmount.value = RoundToCents(std::max(v, 0.0));
        m_discountAmount.edit->setText(FormatC(kFormatAmount, m_discountAmount.value));
    });
    m_checkShipRate = MakeCheck(this, "checkShipRate", "Change SHIPPING RATE to:");
    m_shipRate.edit = AddNumberField("editShipRate", [this](double v) {
        m_shipRate.value = std::max(v, 0.0);
        m_shipRate.edit->setText(FormatC(kFormatAmount, m_shipRate.value));
    });
    m_checkShipAmount = MakeCheck(this, "checkShipAmount", "Change SHIPPING AMOUNT to:");
    m_shipAmount.edit = AddNumberField("editShipAmount", [this](double v) {
        m_shipAmount.value = RoundToCents(std::max(v, 0.0));
        m_shipAmount.edit->setText(FormatC(kFormatAmount, m_shipAmount.value));
    });
    m_checkTaxRate = MakeCheck(this, "checkTaxRate", "Change TAX RATE to:");
    m_taxRate.edit = AddNumberField("editTaxRate", [this](double v) {
        m_taxRate.value = RateFromTyped(v);
        m_taxRate.edit->setText(FormatRate(kFormatRate, m_taxRate.value));
    });
    m_discountRate.edit->setText(FormatRate(kFormatRate, 0.0));
    m_discountAmount.edit->setText(FormatC(kFormatAmount, 0.0));
    m_shipRate.edit->setText(FormatC(kFormatAmount, 0.0));
    m_shipAmount.edit->setText(FormatC(kFormatAmount, 0.0));
    m_taxRate.edit->setText(FormatRate(kFormatRate, 0.0));

    m_checkUser1 = MakeCheck(this, "checkUserField1", "Change USER FIELD 1 to:");
    m_editUserField1 = MakeEdit(this, "editUserField1", 200);
    m_checkUser2 = MakeCheck(this, "checkUserField2", "Change USER FIELD 2 to:");
    m_editUserField2 = MakeEdit(this, "editUserField2", 200);
    m_checkPrice = MakeCheck(this, "checkPriceChoice", "Change PRICE CHOICE to:");
    const char* priceNames[3] = {"radioPriceBase", "radioPriceDiscount", "radioPriceMarkup"};
    const char* priceTexts[3] = {"Base Price", "Discount Price", "Markup Price"};
    for (int i = 0; i < 3; ++i) {
        m_radioPrice[i] = new QRadioButton(QString::fromLatin1(priceTexts[i]), this);
        m_radioPrice[i]->setObjectName(QLatin1String(priceNames[i]));
    }
    m_radioPrice[priceChoice >= 0 && priceChoice <= 2 ? priceChoice : 0]->setChecked(true);

    const char* statusNames[6] = {"checkClosed", "checkOrdered", "checkOnHold",
                                  "checkShipped", "checkReceived", "checkPickedUp"};
    const char* statusTexts[6] = {"Closed", "Ordered", "On Hold", "Shipped", "Received", "Picked Up"};
    for (int i = 0; i < 6; ++i) {
        m_status[i] = new CStatusBox(QString::fromLatin1(statusTexts[i]), this);
        m_status[i]->setObjectName(QLatin1String(statusNames[i]));
        connect(m_status[i], &QCheckBox::clicked, this, [this, i] { m_touched[i] = true; });
    }

    auto* ok = MakeButton(this, "IDOK", "OK");
    auto* cancel = MakeButton(this, "IDCANCEL", "Cancel");
    connect(ok, &QPushButton::clicked, this, &CInvoiceMultiEditDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CInvoiceMultiEditDlg::reject);

    // ---- layout
    auto* grid = new QGridLayout;
    const std::pair<QCheckBox*, QLineEdit*> rows[] = {
        {m_checkDiscountPercent, m_discountRate.edit}, {m_checkDiscountAmount, m_discountAmount.edit},
        {m_checkShipRate, m_shipRate.edit},            {m_checkShipAmount, m_shipAmount.edit},
        {m_checkTaxRate, m_taxRate.edit},              {m_checkUser1, m_editUserField1},
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

    auto* statuses = new QHBoxLayout;
    for (QCheckBox* box : m_status) statuses->addWidget(box);
    statuses->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* heading = new QLabel(QStringLiteral("Select any combination of the following:"), this);
    heading->setObjectName(QStringLiteral("labelHeading"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(heading);
    top->addLayout(grid);
    top->addLayout(statuses);
    top->addLayout(buttons);

    // ---- behaviour
    MakeExclusive(m_checkDiscountPercent, m_checkDiscountAmount);
    MakeExclusive(m_checkShipRate, m_checkShipAmount);
    ApplyConventions();
    m_checkDiscountPercent->setFocus();
}

void CInvoiceMultiEditDlg::MakeExclusive(QCheckBox* a, QCheckBox* b) {
    connect(a, &QCheckBox::toggled, b, [b](bool on) {
        if (on) b->setChecked(false);
    });
    connect(b, &QCheckBox::toggled, a, [a](bool on) {
        if (on) a->setChecked(false);
    });
}

void CInvoiceMultiEditDlg::accept() {
    ReadFieldsStillBeingTyped();

    CInvoiceMultiEdit c;
    c.discountPercent = m_checkDiscountPercent->isChecked();
    c.discountRate = m_discountRate.value;
    c.discountAmount = m_checkDiscountAmount->isChecked();
    c.discountValue = m_discountAmount.value;
    c.shipRate = m_checkShipRate->isChecked();
    c.shipCostPerLb = m_shipRate.value;
    c.shipAmount = m_checkShipAmount->isChecked();
    c.shipCharge = m_shipAmount.value;
    c.tax = m_checkTaxRate->isChecked();
    c.taxRate = m_taxRate.value;
    c.user1 = m_checkUser1->isChecked();
    c.user1Text = m_editUserField1->text();
    c.user2 = m_checkUser2->isChecked();
    c.user2Text = m_editUserField2->text();
    c.price = m_checkPrice->isChecked();
    c.priceChoice = m_radioPrice[2]->isChecked() ? 2 : m_radioPrice[1]->isChecked() ? 1 : 0;
    // Touched and left undecided changes nothing, like a box never touched.
    int* states[6] = {&c.closed, &c.ordered, &c.onHold, &c.shipped, &c.received, &c.pickedUp};
    for (int i = 0; i < 6; ++i) {
        const Qt::CheckState state = m_status[i]->checkState();
        *states[i] = !m_touched[i] || state == Qt::PartiallyChecked ? -1 : state == Qt::Checked ? 1 : 0;
    }
    m_changes = c;
    CEditDialog::accept();
}
