#pragma once

#include <QRect>
#include <QString>

// Where the items bar puts its controls for a bar w wide and h high: the longest texts that
// leave room, centred, the arrow buttons square.
struct ItemsBarPlacement {
    QString deleteText;
    QString backOrderText;
    int spare = 0; // width left over; half of it lies left of the controls
    QRect deleteButton;
    QRect qtyLabel;
    QRect qtyUp;
    QRect qtyDown;
    QRect backOrderLabel;
    QRect backOrderUp;
    QRect backOrderDown;
};

ItemsBarPlacement PlaceItemsBar(int w, int h);
