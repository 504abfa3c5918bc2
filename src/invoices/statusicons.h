#pragma once

#include <QIcon>
#include <vector>

// The nine 16-pixel pictures of the invoice statuses, drawn on a transparent background:
// 0 new, 1 ordered, 2 on hold, 3 shipped, 4 received, 5 picked up, 6 paid, 7 closed, 8 unknown.
std::vector<QIcon> InvoiceStatusIcons();
