#pragma once

#include <QStyledItemDelegate>

class QListWidget;

// Draws a list line's tab-separated parts in columns: each part starts at the next multiple of
// the tab stop, given in dialog units (a quarter of the font's average character width), so a
// long name pushes its type to the following stop instead of running into it.
class CTabStopDelegate : public QStyledItemDelegate {
public:
    CTabStopDelegate(int dialogUnits, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where each part of text starts, in pixels from the line's left, for a font of these metrics.
    static std::vector<int> PartStarts(const QString& text, const QFontMetrics& metrics, int stop);

private:
    int StopPixels(const QFontMetrics& metrics) const;
    int m_dialogUnits;
};

// Sets a tab stop of dialogUnits on list.
void SetTabStop(QListWidget* list, int dialogUnits);
