#pragma once

#include "invoices/invoicerecord.h"

#include <QDateTime>
#include <QString>

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

// ---- status
struct InvoiceStatus {
    QString text; // "New", "Ordered", "On Hold", "Shipped", "Picked Up", "Received", "Paid", "CLOSED"
    double date = 0;
    int icon = 0; // 0..7 into the nine status pictures
};
InvoiceStatus DeriveInvoiceStatus(const CInvoiceRecord& r);
