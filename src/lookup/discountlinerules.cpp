#include "discountlinerules.h"

#include "project/numberrules.h"

namespace {
constexpr int kNameWidth = 25;
}

QString RemoveTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && (text[end - 1] == QLatin1Char(' ') || text[end - 1] == QLatin1Char('\t'))) --end;
    return text.left(end);
}

QString DiscountEntryLine(const QString& name, double value) {
    return name.leftJustified(kNameWidth) + QStringLiteral("  ") + FormatC("%5.2lf%%", value * 100.0);
}
