#include "invoices/invoicerules.h"

#include "project/numberrules.h"

#include <algorithm>
#include <cmath>

namespace {
// A rate as the computation uses it: never negative, NaN as 0.
double NonNegative(double v) { return v > 0.0 ? v : 0.0; }
} // namespace

InvoiceAmounts ComputeInvoice(double S, double p, double W, double r, double t, bool roundTotal) {
    InvoiceAmounts a;
    a.S = S;
    // A discount above 100 % would make the total negative.
    a.p = ClampDiscountRate(p);
    a.W = W;
    a.r = NonNegative(r);
    a.t = NonNegative(t);
    a.D = RoundToCents(a.p * S);
    a.C = RoundToCents(a.r * W);
    RecomputeTaxAndTotal(a, roundTotal);
    return a;
}

void RecomputeTaxAndTotal(InvoiceAmounts& a, bool roundTotal) {
    const double N = a.S - a.D;
    a.X = RoundToCents((N + a.C) * a.t);
    a.T = roundTotal ? RoundToCents(a.X + a.C + N) : a.X + a.C + N;
}

double DiscountRateFromTyped(double number) { return std::min(RateFromTyped(number), 1.0); }

double ClampDiscountRate(double p) { return p > 0.0 ? std::min(p, 1.0) : 0.0; }

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

// ---- status flags

bool& FlagOf(CInvoiceRecord& r, InvoiceFlag f) {
    switch (f) {
    case InvoiceFlag::Ordered: return r.Ordered;
    case InvoiceFlag::OnHold: return r.OnHold;
    case InvoiceFlag::Shipped: return r.Shipped;
    case InvoiceFlag::Received: return r.Received;
    case InvoiceFlag::PickedUp: return r.PickedUp;
    case InvoiceFlag::Paid: return r.Paid;
    case InvoiceFlag::Closed: break;
    }
    return r.Closed;
}

bool FlagOf(const CInvoiceRecord& r, InvoiceFlag f) { return FlagOf(const_cast<CInvoiceRecord&>(r), f); }

double& DateOf(CInvoiceRecord& r, InvoiceFlag f) {
    switch (f) {
    case InvoiceFlag::Ordered: return r.DateOrdered;
    case InvoiceFlag::OnHold: return r.DateOnHold;
    case InvoiceFlag::Shipped: return r.DateShipped;
    case InvoiceFlag::Received: return r.DateReceived;
    case InvoiceFlag::PickedUp: return r.DatePickedUp;
    case InvoiceFlag::Paid: return r.DatePaid;
    case InvoiceFlag::Closed: break;
    }
    return r.DateClosed;
}

FlagImplication ImpliedByChecking(InvoiceFlag f) {
    using F = InvoiceFlag;
    switch (f) {
    case F::OnHold: return {{F::Ordered}, {F::Shipped, F::Received, F::PickedUp}};
    case F::Shipped: return {{F::Ordered}, {F::OnHold, F::PickedUp}};
    case F::Received: return {{F::Ordered, F::Shipped}, {F::OnHold, F::PickedUp}};
    case F::PickedUp: return {{F::Ordered}, {F::Shipped, F::Received, F::OnHold}};
    case F::Paid: return {{F::Ordered}, {F::OnHold}};
    case F::Ordered:
    case F::Closed: break;
    }
    return {};
}

void CheckInvoiceFlag(CInvoiceRecord& r, InvoiceFlag f, bool checked, double now) {
    // Only a flag that changes touches its date: a shipping date must not become the day the
    // invoice was marked received.
    const auto set = [&](InvoiceFlag g) {
        if (FlagOf(r, g)) return;
        FlagOf(r, g) = true;
        DateOf(r, g) = now;
    };
    const auto clear = [&](InvoiceFlag g) {
        if (!FlagOf(r, g)) return;
        FlagOf(r, g) = false;
        DateOf(r, g) = 0;
    };
    if (!checked) {
        clear(f);
        return;
    }
    set(f);
    const FlagImplication implied = ImpliedByChecking(f);
    for (InvoiceFlag g : implied.alsoChecked) set(g);
    for (InvoiceFlag g : implied.alsoUnchecked) clear(g);
}

// ---- several invoices at once

bool ApplyInvoiceMultiEdit(const CInvoiceMultiEdit& e, CInvoiceRecord& rec, double subtotal, double now) {
    if (rec.Closed) return false;

    InvoiceAmounts a;
    a.S = rec.ItemsSubtotal;
    a.p = ClampDiscountRate(rec.DiscountPercent);
    a.D = rec.DiscountAmount;
    a.W = rec.ShipWeight;
    a.r = NonNegative(rec.ShipCostPerLb);
    a.C = rec.ShipCharge;
    a.t = NonNegative(rec.TaxRate);

    if (e.tax) a.t = NonNegative(e.taxRate);
    if (e.user1) rec.UserField1 = e.user1Text;
    if (e.user2) rec.UserField2 = e.user2Text;
    if (e.price && e.priceChoice != rec.PriceChoice) rec.PriceChoice = e.priceChoice;

    // The subtotal always comes from the invoice's own lines; a discount rate applies to the new one.
    const bool subtotalChanged = subtotal != a.S;
    a.S = subtotal;
    if (e.discountPercent) {
        a.p = ClampDiscountRate(e.discountRate);
        a.D = RoundToCents(a.p * a.S);
    } else if (e.discountAmount) {
        ApplyTypedDiscountAmount(a, e.discountValue);
    } else if (subtotalChanged) {
        a.D = RoundToCents(a.p * a.S);
    }
    a.D = std::clamp(a.D, 0.0, std::max(a.S, 0.0)); // never a negative total

    if (e.shipRate) {
        a.r = NonNegative(e.shipCostPerLb);
        a.C = RoundToCents(a.W * a.r);
    } else if (e.shipAmount) {
        ApplyTypedShipCharge(a, e.shipCharge);
    }
    RecomputeTaxAndTotal(a, !rec.GroupInvoice);

    const std::pair<int, InvoiceFlag> states[] = {
        {e.closed, InvoiceFlag::Closed},     {e.ordered, InvoiceFlag::Ordered},
        {e.onHold, InvoiceFlag::OnHold},     {e.shipped, InvoiceFlag::Shipped},
        {e.received, InvoiceFlag::Received}, {e.pickedUp, InvoiceFlag::PickedUp},
    };
    for (const auto& [state, flag] : states) {
        if (state == 1 && !FlagOf(rec, flag)) {
            FlagOf(rec, flag) = true;
            DateOf(rec, flag) = now;
        } else if (state == 0) {
            FlagOf(rec, flag) = false; // the date stays: when it was last set
        }
    }

    if (rec.UserField1.isEmpty()) rec.UserField1 = QStringLiteral(" ");
    if (rec.UserField2.isEmpty()) rec.UserField2 = QStringLiteral(" ");

    rec.ItemsSubtotal = a.S;
    rec.DiscountPercent = a.p;
    rec.DiscountAmount = a.D;
    rec.ShipCostPerLb = a.r;
    rec.ShipCharge = a.C;
    rec.TaxRate = a.t;
    rec.SalesTax = a.X;
    rec.InvoiceTotal = a.T;
    return true;
}

// ---- after an import

namespace {
bool SameValues(const CInvoiceRecord& a, const CInvoiceRecord& b) {
    return a.DiscountPercent == b.DiscountPercent && a.DiscountAmount == b.DiscountAmount &&
           a.ShipCostPerLb == b.ShipCostPerLb && a.ShipCharge == b.ShipCharge && a.TaxRate == b.TaxRate &&
           a.SalesTax == b.SalesTax && a.InvoiceTotal == b.InvoiceTotal && a.Ordered == b.Ordered &&
           a.OnHold == b.OnHold && a.Shipped == b.Shipped;
}
} // namespace

bool ValidateInvoiceValues(CInvoiceRecord& rec) {
    if (rec.Closed) return false;
    const CInvoiceRecord before = rec;

    const double S = rec.ItemsSubtotal;
    if (S > 0) {
        double& p = rec.DiscountPercent;
        double& D = rec.DiscountAmount;
        p = ClampDiscountRate(p);
        D = std::isnan(D) ? 0.0 : std::clamp(D, 0.0, S);
        if (p > 0 && D == 0) D = RoundToCents(S * p);
        else if (D > 0) p = D / S; // an amount without a rate keeps its amount

        const double W = rec.ShipWeight;
        double& r = rec.ShipCostPerLb;
        double& C = rec.ShipCharge;
        r = NonNegative(r);
        C = NonNegative(C);
        if (W > 0) {
            if (r > 0 && C == 0) C = RoundToCents(r * W);
            else if (r == 0 && C > 0) r = C / W;
        }

        double& t = rec.TaxRate;
        double& X = rec.SalesTax;
        t = NonNegative(t);
        X = NonNegative(X);
        const double taxed = S - D + C; // what the tax is charged on
        if (t > 0) {
            if (X == 0) X = RoundToCents(taxed * t);
        } else if (X > 0 && taxed > 0) {
            t = X / taxed; // a tax amount without a rate keeps its tax
        }

        if (rec.InvoiceTotal == 0) {
            const double T = S - D + X + C;
            rec.InvoiceTotal = rec.GroupInvoice ? T : RoundToCents(T);
        }
    }

    if (rec.InvoiceTotal > 0.01 && rec.InvoiceTotal - rec.AmountPaid < 0.01) rec.Ordered = true;
    if (rec.Shipped || rec.PickedUp) rec.OnHold = false;
    if (rec.Received) {
        rec.OnHold = false;
        rec.Shipped = true;
    }
    return !SameValues(before, rec);
}
