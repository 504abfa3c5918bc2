#pragma once

#include <QString>

// How a discount table entry is shown as one line of the entry list.

// The name padded to 25 characters (a longer name is kept whole), two blanks, then the rate
// as a percentage with two decimals: "retail                      5.00%".
QString DiscountEntryLine(const QString& name, double value);

// The text without the blanks at its end; leading blanks stay.
QString RemoveTrailingBlanks(const QString& text);
