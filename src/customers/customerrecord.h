#pragma once

#include <QString>

// One customer in memory: what the customer dialog edits and the table row holds.
struct CCustomerRecord {
    int ID = 0;
    int CustomerNbr = 0;
    QString Name, Address1, Address2, City, State, Zip, Phone, Fax, Work;
    int InvoiceCnt = 0;
    double BalanceDue = 0.0;
    double DiscountRate = 0.0;
    double TaxRate = 0.0;
    QString Comment;
    int Business = 0;
    int Taxable = 0;
    int ShareOrder = 0;
    int PriceChoice = 0;
    QString UserField1, UserField2;
};
