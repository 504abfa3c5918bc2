#include "invoiceinfodlg.h"

#include "project/numberrules.h"
#include "ui/formwidgets.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTextOption>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

constexpr const char* kFormatWeight = "%5.1f";

// Draws a list line's tab-separated parts at fixed stops, given in dialog units.
class CTabStopDelegate : public QStyledItemDelegate {
public:
    CTabStopDelegate(std::vector<int> stopsInDialogUnits, QObject* parent)
        : QStyledItemDelegate(parent), m_stops(std::move(stopsInDialogUnits)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const qreal unit = DialogUnit(opt.font);
        QList<QTextOption::Tab> tabs;
        for (int stop : m_stops) tabs.append(QTextOption::Tab(stop * unit, QTextOption::LeftTab));
        QTextOption textOption;
        textOption.setTabs(tabs);
        textOption.setWrapMode(QTextOption::NoWrap);

        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(QPalette::Normal, (opt.state & QStyle::State_Selected)
                                                                ? QPalette::HighlightedText
                                                                : QPalette::Text));
        painter->drawText(QRectF(textRect), text, textOption);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const qreal unit = DialogUnit(option.font);
        std::vector<int> stops;
        for (int stop : m_stops) stops.push_back(int(stop * unit));
        stops.push_back(0);
        const QRectF bounds = QFontMetricsF(option.font).boundingRect(
            QRectF(0, 0, 10000, 100), Qt::TextExpandTabs, index.data().toString(), 0, stops.data());
        size.setWidth(int(bounds.width()) + 8);
        return size;
    }

private:
    // A quarter of the font's average character width.
    static qreal DialogUnit(const QFont& font) {
        return QFontMetricsF(font).horizontalAdvance(
                   QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0 / 4.0;
    }

    std::vector<int> m_stops;
};

// Digits with an optional plus sign: a whole number, however large.
bool IsPositiveWholeNumber(const QString& text) {
    QStringView digits = QStringView(text).trimmed();
    if (digits.startsWith(QLatin1Char('+'))) digits = digits.mid(1);
    if (digits.isEmpty()) return false;
    return std::all_of(digits.begin(), digits.end(),
                       [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

QString DateText(double date) { return EngineDateText(date).trimmed(); }

int ValidChoice(int choice) { return choice >= 0 && choice <= 2 ? choice : 0; }

} // namespace

QString CInvoiceInfoDlg::ItemLine(const CInvoiceLineView& line) {
    const int ordered = line.Quantity - line.BackOrderCnt;
    const QChar tab = QLatin1Char('\t');
    return line.ItemCode + tab + line.Description.left(20) + tab + tab + QString::number(line.Quantity) + tab +
           tab + QString::number(line.BackOrderCnt) + tab + tab + QString::number(ordered) + tab +
           FormatC("%7.1f", line.UnitWeight * ordered) + tab + FormatC("$%7.2f", line.UnitPrice * ordered);
}

QString CInvoiceInfoDlg::HeadingLine() { return QStringLiteral("CODE\tDESCRIPTION\tQTY\tB/O\t#ORD\tWEIGHT\tPRICE"); }

CInvoiceInfoDlg::CInvoiceInfoDlg(const CInvoiceRecord& record, CPrompter* prompter, CInvoiceDlgServices services,
                                 QWidget* parent)
    : CEditDialog(parent), m_record(record), m_prompter(prompter), m_services(std::move(services)) {
    setWindowTitle(QStringLiteral("Invoice Info Dialog"));
    setObjectName(QStringLiteral("InvoiceInfoDlg"));
    m_record.PriceChoice = ValidChoice(m_record.PriceChoice);

    m_editInvoiceNumber = MakeEdit(this, "editInvoiceNumber", QString::number(record.InvoiceNumber));
    m_editGroupID = MakeEdit(this, "editGroupID", QString::number(record.InvoiceGroupID));
    m_editCustomer = MakeEdit(this, "editCustomer", record.CustomerName);
    m_editCustomer->setReadOnly(true);

    auto* prices = new QGroupBox(this);
    prices->setObjectName(QStringLiteral("groupPrice"));
    const char* priceNames[3] = {"radioPriceBase", "radioPriceDiscount", "radioPriceMarkup"};
    const char* priceTexts[3] = {"Use BASE Price", "Use DISCOUNT Price", "Use MARKUP Price"};
    auto* pricesLayout = new QVBoxLayout(prices);
    for (int i = 0; i < 3; ++i) {
        m_radioPrice[i] = new QRadioButton(QString::fromLatin1(priceTexts[i]), prices);
        m_radioPrice[i]->setObjectName(QLatin1String(priceNames[i]));
        pricesLayout->addWidget(m_radioPrice[i]);
    }
    m_radioPrice[m_record.PriceChoice]->setChecked(true);

    m_editSubTotal = MakeEdit(this, "editSubTotal");
    m_editDiscountPercent = AddNumberField("editDiscountPercent", [this](double v) { ReadDiscountPercent(v); });
    m_editDiscountAmount = AddNumberField("editDiscountAmount", [this](double v) { ReadDiscountAmount(v); });
    m_editShipCostPerLb = AddNumberField("editShipCostPerLb", [this](double v) { ReadShipCostPerLb(v); });
    m_editShipWeight = MakeEdit(this, "editShipWeight");
    m_editShipCharge = AddNumberField("editShipCharge", [this](double v) { ReadShipCharge(v); });
    m_editTaxRate = AddNumberField("editTaxRate", [this](double v) { ReadTaxRate(v); });
    m_editSalesTax = MakeEdit(this, "editSalesTax");
    m_editInvoiceTotal = MakeEdit(this, "editInvoiceTotal");
    m_editAmountPaid = AddNumberField("editAmountPaid", [this](double v) { ReadAmountPaid(v); });
    m_editBalanceDue = MakeEdit(this, "editBalanceDue");
    for (QLineEdit* shown : {m_editSubTotal, m_editShipWeight, m_editSalesTax, m_editInvoiceTotal, m_editBalanceDue})
        shown->setReadOnly(true);

    m_editComment = MakeEdit(this, "editComment", record.Comment, 255);
    m_editUserField1 = MakeEdit(this, "editUserField1", record.UserField1, 200);
    m_editUserField2 = MakeEdit(this, "editUserField2", record.UserField2, 200);
    m_editDateCreated = MakeEdit(this, "editDateCreated", DateText(record.DateEntered));
    m_editDateCreated->setReadOnly(true);

    auto* status = new QGroupBox(QStringLiteral("Invoice Status"), this);
    status->setObjectName(QStringLiteral("groupStatus"));
    auto* statusGrid = new QGridLayout(status);
    const char* checkNames[7] = {"checkOrdered",  "checkOnHold", "checkShipped", "checkReceived",
                                 "checkPickedUp", "checkPaid",   "checkClosed"};
    const char* dateNames[7] = {"editDateOrdered",  "editDateOnHold", "editDateShipped", "editDateReceived",
                                "editDatePickedUp", "editDatePaid",   "editDateClosed"};
    const char* checkTexts[7] = {"Order Filled", "On Hold", "Shipped", "Received", "Picked Up", "Paid", "Closed"};
    for (int i = 0; i < 7; ++i) {
        m_check[i] = MakeCheck(status, checkNames[i], checkTexts[i]);
        m_editDate[i] = MakeEdit(status, dateNames[i]);
        m_editDate[i]->setReadOnly(true);
        statusGrid->addWidget(m_check[i], i, 0);
        statusGrid->addWidget(m_editDate[i], i, 1);
    }

    m_listItems = new QListWidget(this);
    m_listItems->setObjectName(QStringLiteral("listItems"));
    m_listItems->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listItems->setItemDelegate(new CTabStopDelegate({30, 120, 123, 140, 143, 160, 168, 190, 230}, m_listItems));
    m_listItems->setMinimumSize(480, 120);

    m_ok = MakeButton(this, "IDOK", "OK");
    QPushButton* cancel = MakeButton(this, "IDCANCEL", "Cancel");
    connect(m_ok, &QPushButton::clicked, this, &CInvoiceInfoDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CInvoiceInfoDlg::reject);

    // ---- layout
    auto* numbers = new QGridLayout;
    numbers->addWidget(MakeLabel(this, "Invoice #:", m_editInvoiceNumber), 0, 0);
    numbers->addWidget(m_editInvoiceNumber, 0, 1);
    numbers->addWidget(MakeLabel(this, "Grp #:", m_editGroupID), 0, 2);
    numbers->addWidget(m_editGroupID, 0, 3);
    numbers->addWidget(MakeLabel(this, "Date Created", m_editDateCreated), 0, 4);
    numbers->addWidget(m_editDateCreated, 0, 5);
    numbers->addWidget(MakeLabel(this, "Customer:", m_editCustomer), 1, 0);
    numbers->addWidget(m_editCustomer, 1, 1, 1, 5);

    auto* money = new QGridLayout;
    const std::pair<const char*, QLineEdit*> moneyRows[] = {
        {"Sub Total:", m_editSubTotal},       {"Discount %:", m_editDiscountPercent},
        {"Discount:", m_editDiscountAmount},  {"Ship Cost/lb:", m_editShipCostPerLb},
        {"Ship Weight:", m_editShipWeight},   {"Shipping:", m_editShipCharge},
        {"Tax Rate:", m_editTaxRate},         {"Total Tax:", m_editSalesTax},
        {"Invoice Total:", m_editInvoiceTotal}, {"Amount Paid:", m_editAmountPaid},
        {"Balance Due:", m_editBalanceDue},
    };
    int row = 0;
    for (const auto& [label, edit] : moneyRows) {
        money->addWidget(MakeLabel(this, label, edit), row, 0);
        money->addWidget(edit, row, 1);
        ++row;
    }

    auto* middle = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(status);
    left->addWidget(prices);
    left->addStretch();
    middle->addLayout(left);
    middle->addLayout(money);

    auto* texts = new QGridLayout;
    texts->addWidget(MakeLabel(this, "Comment:", m_editComment), 0, 0);
    texts->addWidget(m_editComment, 0, 1, 1, 2);
    texts->addWidget(MakeLabel(this, "User Fields:", m_editUserField1), 1, 0);
    texts->addWidget(m_editUserField1, 1, 1);
    texts->addWidget(m_editUserField2, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);

    auto* top = new QVBoxLayout(this);
    top->addLayout(numbers);
    top->addLayout(middle);
    top->addLayout(texts);
    top->addWidget(m_listItems);
    top->addLayout(buttons);

    // ---- behaviour
    for (int i = 0; i < 7; ++i) {
        const InvoiceFlag flag = kAllInvoiceFlags[i];
        if (flag == InvoiceFlag::Closed)
            connect(m_check[i], &QCheckBox::clicked, this, [this](bool checked) { OnClosedClicked(checked); });
        else
            connect(m_check[i], &QCheckBox::clicked, this,
                    [this, flag](bool checked) { OnStatusClicked(flag, checked); });
    }
    for (int i = 0; i < 3; ++i)
        connect(m_radioPrice[i], &QRadioButton::clicked, this, [this, i] { OnPriceClicked(i); });
    OnFieldChanged(m_editGroupID, [this](QLineEdit*) { CheckGroupField(); });
    // A refusal of the group number stands until the user moves on to anything but OK.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now != m_ok && now->window() == this) m_groupRefused = false;
    });

    FillItemList(m_services.lines ? m_services.lines(m_record.PriceChoice) : std::vector<CInvoiceLineView>{});
    ShowAmounts();
    ShowStatus();
    ApplyLocking();
    ApplyConventions();
    m_editInvoiceNumber->setFocus();
}

// ---- money fields

void CInvoiceInfoDlg::ReadDiscountPercent(double typed) {
    m_record.DiscountPercent = DiscountRateFromTyped(typed);
    m_record.DiscountAmount = RoundToCents(m_record.ItemsSubtotal * m_record.DiscountPercent);
    RecomputeTotals();
}

void CInvoiceInfoDlg::ReadDiscountAmount(double typed) {
    InvoiceAmounts a;
    a.S = m_record.ItemsSubtotal;
    a.p = m_record.DiscountPercent;
    ApplyTypedDiscountAmount(a, typed);
    m_record.DiscountAmount = a.D;
    m_record.DiscountPercent = a.p;
    RecomputeTotals();
}

void CInvoiceInfoDlg::ReadShipCostPerLb(double typed) {
    m_record.ShipCostPerLb = std::max(typed, 0.0);
    m_record.ShipCharge = RoundToCents(m_record.ShipWeight * m_record.ShipCostPerLb);
    RecomputeTotals();
}

void CInvoiceInfoDlg::ReadShipCharge(double typed) {
    InvoiceAmounts a;
    a.W = m_record.ShipWeight;
    a.r = m_record.ShipCostPerLb;
    ApplyTypedShipCharge(a, typed);
    m_record.ShipCharge = a.C;
    m_record.ShipCostPerLb = a.r;
    RecomputeTotals();
}

void CInvoiceInfoDlg::ReadTaxRate(double typed) {
    m_record.TaxRate = RateFromTyped(typed);
    RecomputeTotals();
}

void CInvoiceInfoDlg::ReadAmountPaid(double typed) {
    m_record.AmountPaid = RoundToCents(std::max(typed, 0.0));
    if (m_record.AmountPaid > 0) m_record.DatePaid = EngineDateNow();
    RecomputeTotals(false);
    ShowStatus();
}

void CInvoiceInfoDlg::RecomputeTotals(bool taxToo) {
    if (taxToo) {
        InvoiceAmounts a;
        a.S = m_record.ItemsSubtotal;
        a.D = m_record.DiscountAmount;
        a.C = m_record.ShipCharge;
        a.t = m_record.TaxRate;
        RecomputeTaxAndTotal(a);
        m_record.SalesTax = a.X;
        m_record.InvoiceTotal = a.T;
    }
    // Paid in full: the box is checked once; a later recomputation keeps its date.
    if (m_record.InvoiceTotal > 0.01 && BalanceDue() < 0.01 && !m_record.Paid) {
        CheckInvoiceFlag(m_record, InvoiceFlag::Paid, true, EngineDateNow());
        ShowStatus();
    }
    ShowAmounts();
}

double CInvoiceInfoDlg::BalanceDue() const { return RoundToCents(m_record.InvoiceTotal - m_record.AmountPaid); }

void CInvoiceInfoDlg::ShowAmounts() {
    m_editSubTotal->setText(FormatC(kFormatBalance, m_record.ItemsSubtotal));
    m_editDiscountPercent->setText(FormatRate(kFormatDiscountRate, m_record.DiscountPercent));
    m_editDiscountAmount->setText(FormatC(kFormatBalance, m_record.DiscountAmount));
    m_editShipCostPerLb->setText(FormatC(kFormatShipping, m_record.ShipCostPerLb));
    m_editShipWeight->setText(FormatC(kFormatWeight, m_record.ShipWeight));
    m_editShipCharge->setText(FormatC(kFormatBalance, m_record.ShipCharge));
    m_editTaxRate->setText(FormatRate(kFormatTaxRate, m_record.TaxRate));
    m_editSalesTax->setText(FormatC(kFormatBalance, m_record.SalesTax));
    m_editInvoiceTotal->setText(FormatC(kFormatBalance, m_record.InvoiceTotal));
    m_editAmountPaid->setText(FormatC(kFormatBalance, m_record.AmountPaid));
    m_editBalanceDue->setText(FormatC(kFormatBalance, BalanceDue()));
}

// ---- status boxes

void CInvoiceInfoDlg::ShowStatus() {
    for (int i = 0; i < 7; ++i) {
        m_check[i]->setChecked(FlagOf(m_record, kAllInvoiceFlags[i]));
        m_editDate[i]->setText(DateText(DateOf(m_record, kAllInvoiceFlags[i])));
    }
}

void CInvoiceInfoDlg::OnStatusClicked(InvoiceFlag flag, bool checked) {
    CheckInvoiceFlag(m_record, flag, checked, EngineDateNow());
    ShowStatus();
}

void CInvoiceInfoDlg::OnClosedClicked(bool checked) {
    if (checked && BalanceDue() > 0.01 && m_prompter &&
        !m_prompter->AskYesNo(QStringLiteral("A balance is still due!\n\nClose anyway?"))) {
        m_check[int(InvoiceFlag::Closed)]->setChecked(false);
        return;
    }
    CheckInvoiceFlag(m_record, InvoiceFlag::Closed, checked, EngineDateNow());
    ShowStatus();
    ApplyLocking();
}

void CInvoiceInfoDlg::ApplyLocking() {
    const bool closed = m_record.Closed;
    for (QLineEdit* edit : {m_editInvoiceNumber, m_editDiscountPercent, m_editDiscountAmount, m_editShipCostPerLb,
                            m_editShipCharge, m_editTaxRate, m_editAmountPaid, m_editUserField1, m_editUserField2,
                            m_editComment})
        edit->setReadOnly(closed);
    m_editGroupID->setReadOnly(closed || m_record.GroupInvoice);
    for (QRadioButton* radio : m_radioPrice) radio->setEnabled(!closed);
    for (int i = 0; i < 7; ++i)
        if (kAllInvoiceFlags[i] != InvoiceFlag::Closed) m_check[i]->setEnabled(!closed);
}

// ---- price choice

int CInvoiceInfoDlg::CheckedPriceChoice() const {
    return m_radioPrice[2]->isChecked() ? 2 : m_radioPrice[1]->isChecked() ? 1 : 0;
}

void CInvoiceInfoDlg::OnPriceClicked(int choice) {
    if (choice == m_record.PriceChoice) return;
    if (m_listItems->count() == 0) {
        m_record.PriceChoice = choice;
        return;
    }
    if (!m_services.writePriceChoice || !m_services.writePriceChoice(choice)) {
        m_radioPrice[m_record.PriceChoice]->setChecked(true); // the stored invoice kept its choice
        return;
    }
    m_priceChoiceWritten = true;
    m_record.PriceChoice = choice;
    const std::vector<CInvoiceLineView> lines =
        m_services.lines ? m_services.lines(choice) : std::vector<CInvoiceLineView>{};
    FillItemList(lines);
    double subtotal = 0;
    for (const CInvoiceLineView& line : lines) subtotal += line.UnitPrice * (line.Quantity - line.BackOrderCnt);
    m_record.ItemsSubtotal = subtotal;
    m_record.DiscountAmount = RoundToCents(ClampDiscountRate(m_record.DiscountPercent) * subtotal);
    RecomputeTotals();
}

void CInvoiceInfoDlg::FillItemList(const std::vector<CInvoiceLineView>& lines) {
    m_listItems->clear();
    for (const CInvoiceLineView& line : lines) {
        auto* item = new QListWidgetItem(ItemLine(line), m_listItems);
        item->setData(Qt::UserRole, line.ID);
    }
    if (!lines.empty()) m_listItems->insertItem(0, HeadingLine());
}

// ---- numbers

bool CInvoiceInfoDlg::CheckGroupField() {
    const std::optional<int> group = ReadWholeNumber(m_editGroupID->text());
    QString refusal;
    if (!group || *group < 0) {
        refusal = QStringLiteral("Please enter a group number of 0 or more.");
    } else if (*group != 0 && m_services.checkGroup) {
        switch (m_services.checkGroup(*group)) {
        case CInvoiceDlgServices::GroupCheck::Ok: break;
        case CInvoiceDlgServices::GroupCheck::NotFound:
            refusal = QStringLiteral("Invoice not found!\n\nFailed to locate an invoice with\nthe group number: %1\n")
                          .arg(*group);
            break;
        case CInvoiceDlgServices::GroupCheck::Closed:
            refusal = QStringLiteral("Invoice is closed!\n\nThe invoice with the group\nnumber %1 has been closed.\n")
                          .arg(*group);
            break;
        }
    }
    if (refusal.isEmpty()) {
        m_editGroupID->setText(QString::number(*group));
        return true;
    }
    m_groupRefused = true;
    if (m_prompter) m_prompter->MessageBox(refusal, CPrompter::Buttons::Ok, CPrompter::Icon::Warning);
    m_editGroupID->setText(QStringLiteral("0"));
    return false;
}

bool CInvoiceInfoDlg::ReadInvoiceNumber(int& number) {
    const QString typed = m_editInvoiceNumber->text();
    const std::optional<int> read = ReadWholeNumber(typed);
    // Invoice numbers are positive, and the number counter becomes the number + 1.
    QString refusal;
    if (!read)
        refusal = IsPositiveWholeNumber(typed) ? QStringLiteral("The invoice number must be below 2147483647.")
                                               : QStringLiteral("Please enter an integer.");
    else if (*read <= 0)
        refusal = QStringLiteral("The invoice number must be above 0.");
    else if (*read == std::numeric_limits<int>::max())
        refusal = QStringLiteral("The invoice number must be below 2147483647.");
    if (refusal.isEmpty()) {
        number = *read;
        return true;
    }
    if (m_prompter) m_prompter->MessageBox(refusal, CPrompter::Buttons::Ok, CPrompter::Icon::Warning);
    m_editInvoiceNumber->setFocus();
    m_editInvoiceNumber->selectAll();
    return false;
}

void CInvoiceInfoDlg::accept() {
    // A typed amount or group number counts although its field was not left.
    ReadFieldsStillBeingTyped();
    if (m_groupRefused) {
        m_groupRefused = false;
        m_editGroupID->setFocus();
        m_editGroupID->selectAll();
        return;
    }
    int number = 0;
    if (!ReadInvoiceNumber(number)) return;

    m_record.InvoiceNumber = number;
    m_record.InvoiceGroupID = ReadWholeNumber(m_editGroupID->text()).value_or(m_record.InvoiceGroupID);
    m_record.Comment = m_editComment->text();
    m_record.UserField1 = m_editUserField1->text();
    m_record.UserField2 = m_editUserField2->text();
    m_record.PriceChoice = CheckedPriceChoice();
    CEditDialog::accept();
}
