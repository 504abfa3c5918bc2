#pragma once

#include "invoices/invoicerecord.h"

#include <QDateTime>
#include <QString>
#include <vector>

// The invoice arithmetic, the status model and the other rules of invoices, without windows or
// database. RoundToCents and RateFromTyped live in project/numberrules.h.

// ---- money
// The derived amounts of an invoice from its subtotal S, discount rate p, weight W, shipping
// rate r and tax rate t: D = cents(p*S), C = cents(r*W), N = S - D, X = cents((N + C)*t),
// T = cents(X + C + N); a group invoice keeps T unrounded (roundTotal false).
struct InvoiceAmounts {
    double S = 0, p = 0, D = 0, W = 0, r = 0, C = 0, t = 0, X = 0, T = 0;
};
InvoiceAmounts ComputeInvoice(double S, double p, double W, double r, double t, bool roundTotal = true);
// X and T again from S, D, C and t as they stand (after a typed amount).
void RecomputeTaxAndTotal(InvoiceAmounts& a, bool roundTotal = true);
// A typed discount rate: the rate rule, and never above 1 (100 %).
double DiscountRateFromTyped(double number);
// A stored discount rate as the computation uses it: 0..1 (NaN as 0).
double ClampDiscountRate(double p);
// A typed discount amount: clamped to 0..S and rounded; p = D / S when S > 0.
void ApplyTypedDiscountAmount(InvoiceAmounts& a, double typed);
// A typed shipping charge: not below 0 and rounded; r = C / W when W > 0.
void ApplyTypedShipCharge(InvoiceAmounts& a, double typed);
// The unit price a price choice selects: 1 discount, 2 markup, anything else base.
double UnitPriceForChoice(int choice, double basePrice, double discountPrice, double markupPrice);

// ---- dates
// The engine's Date/Time of a moment: days since 1899-12-30 00:00, local time, with the time
// as the fraction. The one conversion of "now" used by the lists, dialogs and printouts.
double EngineDate(const QDateTime& when);
double EngineDateNow();
// "%m/%d/%Y" of an engine date; " " for a date that is not set (below 1).
QString EngineDateText(double date);

// ---- status flags
enum class InvoiceFlag { Ordered, OnHold, Shipped, Received, PickedUp, Paid, Closed };
inline constexpr InvoiceFlag kAllInvoiceFlags[] = {InvoiceFlag::Ordered,  InvoiceFlag::OnHold, InvoiceFlag::Shipped,
                                                   InvoiceFlag::Received, InvoiceFlag::PickedUp, InvoiceFlag::Paid,
                                                   InvoiceFlag::Closed};
bool& FlagOf(CInvoiceRecord& r, InvoiceFlag f);
bool FlagOf(const CInvoiceRecord& r, InvoiceFlag f);
double& DateOf(CInvoiceRecord& r, InvoiceFlag f);

// The boxes that checking one status box also checks and unchecks.
struct FlagImplication {
    std::vector<InvoiceFlag> alsoChecked, alsoUnchecked;
};
FlagImplication ImpliedByChecking(InvoiceFlag f);

// A status box checked or unchecked by the user, with the boxes it implies. A flag that goes from
// cleared to set gets the date now; one already set keeps its date; one cleared loses its date.
void CheckInvoiceFlag(CInvoiceRecord& r, InvoiceFlag f, bool checked, double now);

// ---- several invoices at once
// What the multi-edit changes in each selected invoice. Each change applies only when ticked;
// a status is -1 (left as it is), 0 (cleared) or 1 (set).
struct CInvoiceMultiEdit {
    bool discountPercent = false, discountAmount = false, shipRate = false, shipAmount = false, tax = false;
    bool user1 = false, user2 = false, price = false;
    double discountRate = 0, discountValue = 0, shipCostPerLb = 0, shipCharge = 0, taxRate = 0;
    QString user1Text, user2Text;
    int priceChoice = 0;
    int closed = -1, ordered = -1, onHold = -1, shipped = -1, received = -1, pickedUp = -1;

    bool AnyChange() const {
        return discountPercent || discountAmount || shipRate || shipAmount || tax || user1 || user2 || price ||
               closed != -1 || ordered != -1 || onHold != -1 || shipped != -1 || received != -1 || pickedUp != -1;
    }
};

// Applies the changes to one invoice and recomputes its amounts. `subtotal` is the invoice's item
// subtotal from its own lines at the price choice it has after the change. A closed invoice is
// left as it is (false).
bool ApplyInvoiceMultiEdit(const CInvoiceMultiEdit& edit, CInvoiceRecord& record, double subtotal, double now);

// ---- after an import
// Fills the amounts and rates an imported invoice lacks from the ones it has, and makes its
// status flags agree with each other. A closed invoice is left as it is. True when the record
// changed.
bool ValidateInvoiceValues(CInvoiceRecord& record);

// ---- status
struct InvoiceStatus {
    QString text; // "New", "Ordered", "On Hold", "Shipped", "Picked Up", "Received", "Paid", "CLOSED"
    double date = 0;
    int icon = 0; // 0..7 into the nine status pictures
};
InvoiceStatus DeriveInvoiceStatus(const CInvoiceRecord& r);
