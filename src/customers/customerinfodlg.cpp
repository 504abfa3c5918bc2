#include "customerinfodlg.h"

#include "project/numberrules.h"
#include "ui/prompter.h"
#include "ui/formwidgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <limits>

namespace {

// Digits with an optional plus sign: a whole number, however large.
bool IsPositiveWholeNumber(const QString& text) {
    QStringView digits = QStringView(text).trimmed();
    if (digits.startsWith(QLatin1Char('+'))) digits = digits.mid(1);
    if (digits.isEmpty()) return false;
    for (QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

} // namespace

CCustomerInfoDlg::CCustomerInfoDlg(const CCustomerRecord& record, QWidget* parent, CPrompter* prompter)
    : CEditDialog(parent), m_record(record), m_prompter(prompter), m_taxRate(record.TaxRate),
      m_discountRate(record.DiscountRate) {
    setWindowTitle(QStringLiteral("Customer Info Dialog"));
    setObjectName(QStringLiteral("CustomerInfoDlg"));

    m_editCustomerNbr = MakeEdit(this, "editCustomerNbr", QString::number(record.CustomerNbr));
    m_checkBusiness = MakeCheck(this, "checkBusiness", "Business", record.Business != 0);
    m_checkTaxable = MakeCheck(this, "checkTaxable", "Taxable", record.Taxable != 0);
    m_checkGroup = MakeCheck(this, "checkGroup", "Group", record.ShareOrder != 0);
    m_editName = MakeEdit(this, "editName", record.Name, 100);
    m_editAddress1 = MakeEdit(this, "editAddress1", record.Address1, 100);
    m_editAddress2 = MakeEdit(this, "editAddress2", record.Address2, 100);
    m_editCity = MakeEdit(this, "editCity", record.City, 100);
    m_editState = MakeEdit(this, "editState", record.State, 50);
    m_editZip = MakeEdit(this, "editZip", record.Zip, 20);
    m_editPhone = MakeEdit(this, "editPhone", record.Phone, 50);
    m_editWork = MakeEdit(this, "editWork", record.Work, 50);
    m_editFax = MakeEdit(this, "editFax", record.Fax, 50);
    m_editUserField1 = MakeEdit(this, "editUserField1", record.UserField1, 200);
    m_editUserField2 = MakeEdit(this, "editUserField2", record.UserField2, 200);
    m_editComment = MakeEdit(this, "editComment", record.Comment, 255);

    auto* defaults = new QGroupBox(QStringLiteral("Default Settings For New Invoices"), this);
    defaults->setObjectName(QStringLiteral("groupDefaults"));
    const char* priceNames[3] = {"radioPriceBase", "radioPriceDiscount", "radioPriceMarkup"};
    const char* priceTexts[3] = {"Use BASE Price", "Use DISCOUNT Price", "Use MARKUP Price"};
    for (int i = 0; i < 3; ++i) {
        m_radioPrice[i] = new QRadioButton(QString::fromLatin1(priceTexts[i]), defaults);
        m_radioPrice[i]->setObjectName(QLatin1String(priceNames[i]));
    }
    const int choice = record.PriceChoice >= 0 && record.PriceChoice <= 2 ? record.PriceChoice : 0;
    m_radioPrice[choice]->setChecked(true);
    m_editTaxRate = MakeEdit(defaults, "editTaxRate", FormatRate(kFormatTaxRate, m_taxRate));
    m_editDiscountRate = MakeEdit(defaults, "editDiscountRate", FormatRate(kFormatDiscountRate, m_discountRate));

    m_editBalanceDue = MakeEdit(this, "editBalanceDue", FormatC(kFormatBalance, record.BalanceDue));
    m_editBalanceDue->setReadOnly(true);
    m_editInvoiceCnt = MakeEdit(this, "editInvoiceCnt", FormatC(kFormatCount, record.InvoiceCnt));
    m_editInvoiceCnt->setReadOnly(true);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    connect(ok, &QPushButton::clicked, this, &CCustomerInfoDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CCustomerInfoDlg::reject);

    // ---- layout
    auto* grid = new QGridLayout;
    int row = 0;
    grid->addWidget(MakeLabel(this, "Customer #:", m_editCustomerNbr), row, 0);
    grid->addWidget(m_editCustomerNbr, row, 1);
    auto* checks = new QHBoxLayout;
    checks->addWidget(m_checkBusiness);
    checks->addWidget(m_checkTaxable);
    checks->addWidget(m_checkGroup);
    checks->addStretch();
    grid->addLayout(checks, row, 2, 1, 4);
    ++row;
    grid->addWidget(MakeLabel(this, "Name:", m_editName), row, 0);
    grid->addWidget(m_editName, row, 1, 1, 5);
    ++row;
    grid->addWidget(MakeLabel(this, "Address:", m_editAddress1), row, 0);
    grid->addWidget(m_editAddress1, row, 1, 1, 5);
    ++row;
    grid->addWidget(m_editAddress2, row, 1, 1, 5);
    ++row;
    grid->addWidget(MakeLabel(this, "City:", m_editCity), row, 0);
    grid->addWidget(m_editCity, row, 1);
    grid->addWidget(MakeLabel(this, "State:", m_editState), row, 2);
    grid->addWidget(m_editState, row, 3);
    grid->addWidget(MakeLabel(this, "Zip:", m_editZip), row, 4);
    grid->addWidget(m_editZip, row, 5);
    ++row;
    grid->addWidget(MakeLabel(this, "Phone:", m_editPhone), row, 0);
    grid->addWidget(m_editPhone, row, 1);
    grid->addWidget(MakeLabel(this, "Work:", m_editWork), row, 2);
    grid->addWidget(m_editWork, row, 3);
    grid->addWidget(MakeLabel(this, "Fax:", m_editFax), row, 4);
    grid->addWidget(m_editFax, row, 5);
    ++row;
    grid->addWidget(MakeLabel(this, "User Fields:", m_editUserField1), row, 0);
    grid->addWidget(m_editUserField1, row, 1, 1, 2);
    grid->addWidget(m_editUserField2, row, 3, 1, 3);
    ++row;
    grid->addWidget(MakeLabel(this, "Comment:", m_editComment), row, 0);
    grid->addWidget(m_editComment, row, 1, 1, 5);

    auto* defaultsGrid = new QGridLayout(defaults);
    for (int i = 0; i < 3; ++i) defaultsGrid->addWidget(m_radioPrice[i], i, 0);
    defaultsGrid->addWidget(MakeLabel(defaults, "Tax Rate:", m_editTaxRate), 0, 1);
    defaultsGrid->addWidget(m_editTaxRate, 0, 2);
    defaultsGrid->addWidget(MakeLabel(defaults, "Discount %:", m_editDiscountRate), 1, 1);
    defaultsGrid->addWidget(m_editDiscountRate, 1, 2);

    auto* totals = new QHBoxLayout;
    totals->addWidget(MakeLabel(this, "Balance Due:", m_editBalanceDue));
    totals->addWidget(m_editBalanceDue);
    totals->addWidget(MakeLabel(this, "# Invoices:", m_editInvoiceCnt));
    totals->addWidget(m_editInvoiceCnt);
    totals->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(defaults);
    top->addLayout(totals);
    top->addLayout(buttons);

    // ---- behaviour
    OnFieldChanged(m_editTaxRate, [this](QLineEdit*) { ReadTaxRate(); });
    OnFieldChanged(m_editDiscountRate, [this](QLineEdit*) { ReadDiscountRate(); });
    ApplyConventions();
    m_editCustomerNbr->setFocus();
}

void CCustomerInfoDlg::ReadTaxRate() {
    m_taxRate = RateFromTyped(ReadLeadingNumber(m_editTaxRate->text()));
    m_editTaxRate->setText(FormatRate(kFormatTaxRate, m_taxRate));
}

void CCustomerInfoDlg::ReadDiscountRate() {
    m_discountRate = RateFromTyped(ReadLeadingNumber(m_editDiscountRate->text()));
    m_editDiscountRate->setText(FormatRate(kFormatDiscountRate, m_discountRate));
}

void CCustomerInfoDlg::accept() {
    ReadFieldsStillBeingTyped();

    const QString typed = m_editCustomerNbr->text();
    const std::optional<int> number = ReadWholeNumber(typed);
    // 0 marks a row for the validation to delete, and the number counter becomes the number + 1,
    // so neither 0 nor the largest number may be stored.
    QString refusal;
    if (!number)
        refusal = IsPositiveWholeNumber(typed) ? QStringLiteral("The customer number must be below 2147483647.")
                                               : QStringLiteral("Please enter an integer.");
    else if (*number == 0)
        refusal = QStringLiteral("The customer number cannot be 0.");
    else if (*number == std::numeric_limits<int>::max())
        refusal = QStringLiteral("The customer number must be below 2147483647.");
    if (!refusal.isEmpty()) {
        if (m_prompter) m_prompter->MessageBox(refusal, CPrompter::Buttons::Ok, CPrompter::Icon::Warning);
        m_editCustomerNbr->setFocus();
        m_editCustomerNbr->selectAll();
        return;
    }

    m_record.CustomerNbr = *number;
    m_record.Business = m_checkBusiness->isChecked() ? 1 : 0;
    m_record.Taxable = m_checkTaxable->isChecked() ? 1 : 0;
    m_record.ShareOrder = m_checkGroup->isChecked() ? 1 : 0;
    m_record.Name = m_editName->text();
    m_record.Address1 = m_editAddress1->text();
    m_record.Address2 = m_editAddress2->text();
    m_record.City = m_editCity->text();
    m_record.State = m_editState->text();
    m_record.Zip = m_editZip->text();
    m_record.Phone = m_editPhone->text();
    m_record.Work = m_editWork->text();
    m_record.Fax = m_editFax->text();
    m_record.UserField1 = m_editUserField1->text();
    m_record.UserField2 = m_editUserField2->text();
    m_record.Comment = m_editComment->text();
    m_record.PriceChoice = m_radioPrice[2]->isChecked() ? 2 : m_radioPrice[1]->isChecked() ? 1 : 0;
    m_record.TaxRate = m_taxRate;
    m_record.DiscountRate = m_discountRate;
    CEditDialog::accept();
}
