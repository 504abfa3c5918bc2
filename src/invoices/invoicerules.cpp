#include "invoices/invoicerules.h"

#include "project/numberrules.h"

#include <algorithm>

InvoiceAmounts ComputeInvoice(double S, double p, double W, double r, double t, bool roundTotal) {
    InvoiceAmounts a;
    a.S = S;
    a.p = p;
    a.W = W;
    a.r = r;
    a.t = t;
    a.D = RoundToCents(p * S);
    a.C = RoundToCents(r * W);
    RecomputeTaxAndTotal(a, roundTotal);
    return a;
}

void RecomputeTaxAndTotal(InvoiceAmounts& a, bool roundTotal) {
    const double N = a.S - a.D;
    a.X = RoundToCents((N + a.C) * a.t);
    a.T = roundTotal ? RoundToCents(a.X + a.C + N) : a.X + a.C + N;
}

double DiscountRateFromTyped(double number) { return std::min(RateFromTyped(number), 1.0); }

void ApplyTypedDiscountAmount(InvoiceAmounts& a, double typed) {
    a.D = RoundToCents(std::clamp(typed, 0.0, std::max(a.S, 0.0)));
    if (a.S > 0) a.p = a.D / a.S;
}

void ApplyTypedShipCharge(InvoiceAmounts& a, double typed) {
    a.C = RoundToCents(std::max(typed, 0.0));
    if (a.W > 0) a.r = a.C / a.W;
}

double UnitPriceForChoice(int choice, double basePrice, double discountPrice, double markupPrice) {
    switch (choice) {
    case 1: return discountPrice;
    case 2: return markupPrice;
    default: return basePrice;
    }
}

namespace {
const QDateTime& EngineEpoch() {
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    return epoch;
}
} // namespace

double EngineDate(const QDateTime& when) {
    const QDateTime local = when.toLocalTime();
    const qint64 days = EngineEpoch().date().daysTo(local.date());
    return double(days) + local.time().msecsSinceStartOfDay() / 86400000.0;
}

double EngineDateNow() { return EngineDate(QDateTime::currentDateTime()); }

QString EngineDateText(double date) {
    if (!(date >= 1.0) || date > 2958465.0) return QStringLiteral(" "); // not set, or past 9999
    return EngineEpoch().date().addDays(qint64(date)).toString(QStringLiteral("MM/dd/yyyy"));
}

InvoiceStatus DeriveInvoiceStatus(const CInvoiceRecord& r) {
    InvoiceStatus s{QStringLiteral("New"), r.DateEntered, 0};
    if (r.Ordered) s = {QStringLiteral("Ordered"), r.DateOrdered, 1};
    if (r.OnHold) s = {QStringLiteral("On Hold"), r.DateOnHold, 2};
    if (r.Shipped) s = {QStringLiteral("Shipped"), r.DateShipped, 3};
    else if (r.PickedUp) s = {QStringLiteral("Picked Up"), r.DatePickedUp, 5};
    if (r.Received) s = {QStringLiteral("Received"), r.DateReceived, 4};
    if (r.Paid) s = {QStringLiteral("Paid"), r.DatePaid, 6};
    if (r.Closed) s = {QStringLiteral("CLOSED"), r.DateClosed, 7};
    return s;
}
