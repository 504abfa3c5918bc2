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

void ParseDiscountEntryLine(const QString& line, QString& name, double& percent) {
    name = RemoveTrailingBlanks(line.left(kNameWidth));
    // Read from the last blank on: a name longer than the column runs past position 25, and
    // the number itself never holds a blank.
    const QString tail = RemoveTrailingBlanks(line);
    percent = ReadLeadingNumber(tail.mid(tail.lastIndexOf(QLatin1Char(' ')) + 1));
}
