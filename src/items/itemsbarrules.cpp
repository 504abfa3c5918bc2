#include "itemsbarrules.h"

ItemsBarPlacement PlaceItemsBar(int w, int h) {
    ItemsBarPlacement p;
    const int usable = w - (4 * h + 6);
    int deleteWidth = 40;
    int labelWidth = 30;
    if (usable - 210 >= 0) {
        p.deleteText = QStringLiteral("Delete");
        p.backOrderText = QStringLiteral("Back Order: ");
        deleteWidth = 80;
        labelWidth = 90;
        p.spare = usable - 210;
    } else if (usable - 170 >= 0) {
        p.deleteText = QStringLiteral("Del");
        p.backOrderText = QStringLiteral("Back Ord: ");
        deleteWidth = 60;
        labelWidth = 70;
        p.spare = usable - 170;
    } else {
        p.deleteText = QStringLiteral("Del");
        p.backOrderText = QStringLiteral("B/O: ");
        p.spare = usable - 110;
    }
    int x = p.spare / 2;
    p.deleteButton = QRect(x, 0, deleteWidth, h);
    x += deleteWidth;
    p.qtyLabel = QRect(x, 4, 40, h - 4);
    x += 40;
    p.qtyUp = QRect(x, 0, h, h);
    x += h + 3;
    p.qtyDown = QRect(x, 0, h, h);
    x += h;
    p.backOrderLabel = QRect(x, 4, labelWidth, h - 4);
    x += labelWidth;
    p.backOrderUp = QRect(x, 0, h, h);
    x += h + 3;
    p.backOrderDown = QRect(x, 0, h, h);
    return p;
}
