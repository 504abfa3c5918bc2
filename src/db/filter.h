#pragma once

#include <QString>
#include <QVariant>

namespace db {

// The filter texts the program builds: one field, one comparison, one literal,
// e.g. "ID = 12", "[CustomerID] = 3", "[InvoiceID] > 0", "ItemName = 'box'".
struct Filter {
    QString field;
    QString op; // one of = <> < > <= >=
    QVariant literal;
};

// Throws db::Error for any other text.
Filter parseFilter(const QString& text);

} // namespace db
