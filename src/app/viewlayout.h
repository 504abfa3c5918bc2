#pragma once

#include <QRect>

// Where the upper view puts its six children for a client area of w x h and caption bars of
// captionHeight: three lists, each under its caption and above its bar.
struct UpperViewRects {
    QRect customerList;
    QRect customerBar;
    QRect invoiceList;
    QRect invoiceBar;
    QRect itemList;
    QRect itemBar;
};

UpperViewRects UpperViewLayout(int w, int h, int captionHeight);

// The lower view's store tabs.
QRect LowerViewStoreRect(int w, int h, int captionHeight);

// The caption bar painted above a child placed at rect.
inline QRect CaptionRectAbove(const QRect& rect, int captionHeight) {
    return QRect(rect.x(), rect.y() - captionHeight, rect.width(), captionHeight);
}
