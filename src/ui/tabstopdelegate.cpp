#include "ui/tabstopdelegate.h"

#include <QApplication>
#include <QListWidget>
#include <QPainter>

CTabStopDelegate::CTabStopDelegate(int dialogUnits, QObject* parent)
    : QStyledItemDelegate(parent), m_dialogUnits(dialogUnits) {}

int CTabStopDelegate::StopPixels(const QFontMetrics& metrics) const {
    return std::max(1, m_dialogUnits * metrics.averageCharWidth() / 4);
}

std::vector<int> CTabStopDelegate::PartStarts(const QString& text, const QFontMetrics& metrics, int stop) {
    std::vector<int> starts;
    int x = 0;
    const QStringList parts = text.split(QLatin1Char('\t'));
    for (int i = 0; i < parts.size(); ++i) {
        starts.push_back(x);
        const int end = x + metrics.horizontalAdvance(parts[i]);
        x = (end / stop + 1) * stop; // the next stop past the text, never on it
    }
    return starts;
}

void CTabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget).adjusted(2, 0, -2, 0);
    const QFontMetrics metrics(opt.font);
    const std::vector<int> starts = PartStarts(text, metrics, StopPixels(metrics));
    const QStringList parts = text.split(QLatin1Char('\t'));
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
                                      opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(area);
    for (int i = 0; i < parts.size(); ++i)
        painter->drawText(area.adjusted(starts[size_t(i)], 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, parts[i]);
    painter->restore();
}

QSize CTabStopDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    const QFontMetrics metrics(option.font);
    const std::vector<int> starts = PartStarts(text, metrics, StopPixels(metrics));
    const int width = starts.back() + metrics.horizontalAdvance(text.section(QLatin1Char('\t'), -1)) + 8;
    size.setWidth(std::max(size.width(), width));
    return size;
}

void SetTabStop(QListWidget* list, int dialogUnits) { list->setItemDelegate(new CTabStopDelegate(dialogUnits, list)); }
