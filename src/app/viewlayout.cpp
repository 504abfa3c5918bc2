#include "viewlayout.h"

#include <algorithm>

UpperViewRects UpperViewLayout(int w, int h, int c) {
    // The first two lists never get less than 100 pixels; the item list takes what is left.
    const int d = h - 3 * c - 102;
    const int e = std::max(d / 3, 100);
    const int width = std::max(w - 6, 0);
    UpperViewRects r;
    r.customerList = QRect(3, c + 3, width, e);
    r.customerBar = QRect(3, e + c + 3, width, 30);
    r.invoiceList = QRect(3, e + 2 * c + 36, width, e);
    r.invoiceBar = QRect(3, 2 * e + 2 * c + 36, width, 30);
    r.itemList = QRect(3, 3 * c + 2 * e + 69, width, std::max(d - 2 * e, 0));
    r.itemBar = QRect(3, d + 3 * c + 69, width, 30);
    return r;
}

QRect LowerViewStoreRect(int w, int h, int c) {
    return QRect(3, c + 3, std::max(w - 6, 0), std::max(h - c - 6, 100));
}
