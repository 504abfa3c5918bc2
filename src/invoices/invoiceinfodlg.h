#pragma once

#include "invoices/invoicerecord.h"
#include "invoices/invoicerules.h"
#include "ui/editdialog.h"

#include <functional>
#include <vector>

class CPrompter;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// What the invoice dialog asks of the program while it is open.
struct CInvoiceDlgServices {
    // The invoice's lines at a price choice (empty for a new invoice).
    std::function<std::vector<CInvoiceLineView>(int priceChoice)> lines;
    // Writes PriceChoice into the stored invoice at once; false when refused.
    std::function<bool(int priceChoice)> writePriceChoice;
    enum class GroupCheck { Ok, NotFound, Closed };
    std::function<GroupCheck(int group)> checkGroup;
};

// Creates or edits one invoice: its numbers, status boxes with their dates, price choice, texts
// and money fields, recomputed as the user types, and a read-only list of its lines.
class CInvoiceInfoDlg : public CEditDialog {
    Q_OBJECT
public:
    CInvoiceInfoDlg(const CInvoiceRecord& record, CPrompter* prompter, CInvoiceDlgServices services,
                    QWidget* parent = nullptr);

    // What OK stores.
    CInvoiceRecord Record() const { return m_record; }
    // A price radio wrote the stored invoice: its totals need a refresh whatever the outcome.
    bool PriceChoiceWritten() const { return m_priceChoiceWritten; }

    // The lines of the item list box as shown, the heading line first when there are lines.
    static QString ItemLine(const CInvoiceLineView& line);
    static QString HeadingLine();

public slots:
    void accept() override;

private:
    void ReadDiscountPercent(double typed);
    void ReadDiscountAmount(double typed);
    void ReadShipCostPerLb(double typed);
    void ReadShipCharge(double typed);
    void ReadTaxRate(double typed);
    void ReadAmountPaid(double typed);
    // X, T and the balance from the fields as they stand; the balance alone when taxToo is false.
    void RecomputeTotals(bool taxToo = true);
    double BalanceDue() const;
    void ShowAmounts();
    void ShowStatus();
    void OnStatusClicked(InvoiceFlag flag, bool checked);
    void OnClosedClicked(bool checked);
    void ApplyLocking();
    void OnPriceClicked(int choice);
    void FillItemList(const std::vector<CInvoiceLineView>& lines);
    // False (after its message) when Grp # holds a group that cannot be joined; the field is then 0.
    bool CheckGroupField();
    bool ReadInvoiceNumber(int& number);
    int CheckedPriceChoice() const;

    CInvoiceRecord m_record;
    CPrompter* m_prompter;
    CInvoiceDlgServices m_services;
    bool m_priceChoiceWritten = false;
    bool m_groupRefused = false; // a refusal OK must not pass over unseen

    QLineEdit* m_editInvoiceNumber;
    QLineEdit* m_editGroupID;
    QLineEdit* m_editCustomer;
    QRadioButton* m_radioPrice[3];
    QLineEdit* m_editSubTotal;
    QLineEdit* m_editDiscountPercent;
    QLineEdit* m_editDiscountAmount;
    QLineEdit* m_editShipCostPerLb;
    QLineEdit* m_editShipWeight;
    QLineEdit* m_editShipCharge;
    QLineEdit* m_editTaxRate;
    QLineEdit* m_editSalesTax;
    QLineEdit* m_editInvoiceTotal;
    QLineEdit* m_editAmountPaid;
    QLineEdit* m_editBalanceDue;
    QLineEdit* m_editComment;
    QLineEdit* m_editUserField1;
    QLineEdit* m_editUserField2;
    QLineEdit* m_editDateCreated;
    QCheckBox* m_check[7];   // in the order of kAllInvoiceFlags
    QLineEdit* m_editDate[7];
    QListWidget* m_listItems;
    QPushButton* m_ok;
};
