#pragma once

#include <QString>

// How a discount table entry is shown as one line of the entry list, and read back from it.

// The name padded to 25 characters (a longer name is kept whole), two blanks, then the rate
// as a percentage with two decimals: "retail                      5.00%".
QString DiscountEntryLine(const QString& name, double value);

// The name is the line's first 25 characters without trailing blanks, so a longer name reads
// back shortened; the percent is the number at the end of the line.
void ParseDiscountEntryLine(const QString& line, QString& name, double& percent);

// The text without the blanks at its end; leading blanks stay.
QString RemoveTrailingBlanks(const QString& text);
