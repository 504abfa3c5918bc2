#include "customermultieditrules.h"

namespace {

// Text fields are never stored empty.
QString Stored(const QString& text) { return text.isEmpty() ? QStringLiteral(" ") : text; }

} // namespace

void ApplyCustomerMultiEdit(const CCustomerMultiEdit& edit, CCustomerRecord& record) {
    if (edit.city) record.City = Stored(edit.cityText);
    if (edit.state) record.State = Stored(edit.stateText);
    if (edit.zip) record.Zip = Stored(edit.zipText);
    if (edit.discount) record.DiscountRate = edit.discountRate;
    if (edit.tax) record.TaxRate = edit.taxRate;
    if (edit.business != -1) record.Business = edit.business;
    if (edit.taxable != -1) record.Taxable = edit.taxable;
    if (edit.group != -1) record.ShareOrder = edit.group;
    if (edit.price) record.PriceChoice = edit.priceChoice;
    if (edit.user1) record.UserField1 = Stored(edit.user1Text);
    if (edit.user2) record.UserField2 = Stored(edit.user2Text);
}
