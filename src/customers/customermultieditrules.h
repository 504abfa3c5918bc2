#pragma once

#include "customers/customerrecord.h"

#include <QString>

// What the multi-edit dialog changes in every selected customer.
struct CCustomerMultiEdit {
    bool city = false, state = false, zip = false, discount = false, tax = false;
    bool user1 = false, user2 = false, price = false;
    QString cityText, stateText, zipText, user1Text, user2Text;
    double discountRate = 0.0;
    double taxRate = 0.0;
    int priceChoice = 0;
    // -1 leaves the flag as it is; 0 or 1 sets it.
    int business = -1, taxable = -1, group = -1;

    bool AnyChange() const {
        return city || state || zip || discount || tax || user1 || user2 || price || business != -1 ||
               taxable != -1 || group != -1;
    }
};

// Writes the chosen changes into one customer; an empty text is stored as a single blank.
void ApplyCustomerMultiEdit(const CCustomerMultiEdit& edit, CCustomerRecord& record);
