#pragma once

#include <QString>
#include <vector>

// One invoice as the dialogs and the rules see it: the 36 fields of an Invoice row, and the
// customer's name for showing. Dates are engine dates (days since 1899-12-30); below 1 is not set.
struct CInvoiceRecord {
    int ID = 0;
    int CustomerID = 0;
    int InvoiceGroupID = 0;
    int CustomerNumber = 0;
    int InvoiceNumber = 0;
    bool GroupInvoice = false;
    double DateEntered = 0, DateOrdered = 0, DateOnHold = 0, DateShipped = 0, DateReceived = 0,
           DatePickedUp = 0, DateClosed = 0, DatePaid = 0;
    bool Ordered = false, OnHold = false, Shipped = false, Received = false, PickedUp = false, Paid = false,
         Closed = false;
    int ItemCount = 0;
    double ItemsSubtotal = 0, DiscountPercent = 0, DiscountAmount = 0, ShipWeight = 0, ShipCostPerLb = 0,
           ShipCharge = 0, TaxRate = 0, SalesTax = 0, InvoiceTotal = 0, AmountPaid = 0;
    int PriceChoice = 0;
    QString Comment, UserField1, UserField2;

    QString CustomerName; // shown only, never stored
};

// One line of an invoice as the invoice dialog lists it.
struct CInvoiceLineView {
    int ID = 0;
    QString ItemCode;
    QString Description;
    int Quantity = 0;
    int BackOrderCnt = 0;
    double UnitWeight = 0; // one unit
    double UnitPrice = 0;  // at the invoice's price choice
};
