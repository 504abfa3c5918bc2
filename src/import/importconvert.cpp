#include "import/importconvert.h"

#include <QDateTime>
#include <QLocale>
#include <cmath>
#include <limits>

namespace import {

QString TypeText(int code) {
    switch (code) {
    case 1: return QStringLiteral("TRUE, FALSE");
    case 2: return QStringLiteral("Single character");
    case 3:
    case 4: return QStringLiteral("Integer");
    case 5: return QStringLiteral("Dollar amount");
    case 6:
    case 7: return QStringLiteral("Decimal number");
    case 8: return QStringLiteral("Date");
    case 10:
    case 12: return QStringLiteral("Text");
    case 11: return QStringLiteral("Object");
    case 15: return QStringLiteral("Unique");
    default: return QStringLiteral("<unknown>");
    }
}

namespace {

// The length of the number at the start of s: [sign] digits [. digits] [e [sign] digits].
int NumberPrefix(const QString& s, bool integerOnly) {
    int i = 0;
    const int n = int(s.size());
    while (i < n && s[i].isSpace()) ++i;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) ++i;
    int digits = 0;
    while (i < n && s[i] >= u'0' && s[i] <= u'9') ++i, ++digits;
    if (integerOnly) return digits > 0 ? i : 0;
    if (i < n && s[i] == u'.') {
        ++i;
        while (i < n && s[i] >= u'0' && s[i] <= u'9') ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        int j = i + 1;
        if (j < n && (s[j] == u'+' || s[j] == u'-')) ++j;
        const int start = j;
        while (j < n && s[j] >= u'0' && s[j] <= u'9') ++j;
        if (j > start) i = j;
    }
    return i;
}

std::optional<QVariant> InRange(double d, FieldType to) {
    if (!std::isfinite(d)) return std::nullopt;
    switch (to) {
    case FieldType::Double: return QVariant(d);
    case FieldType::Single:
        if (std::fabs(d) > double(std::numeric_limits<float>::max())) return std::nullopt;
        return QVariant(double(float(d)));
    case FieldType::Long:
    case FieldType::Integer: {
        const double r = std::nearbyint(d);
        const double lo = to == FieldType::Integer ? -32768.0 : -2147483648.0;
        const double hi = to == FieldType::Integer ? 32767.0 : 2147483647.0;
        if (!(r >= lo && r <= hi)) return std::nullopt;
        return QVariant(int(r));
    }
    default: return std::nullopt;
    }
}

bool IsNumeric(FieldType t) {
    return t == FieldType::Integer || t == FieldType::Long || t == FieldType::Single || t == FieldType::Double;
}

QString TextForm(const QVariant& v, FieldType from) {
    switch (from) {
    case FieldType::Boolean: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Date: {
        const QDateTime t = v.toDateTime();
        return t.time() == QTime(0, 0) ? t.date().toString(QStringLiteral("M/d/yyyy"))
                                       : t.toString(QStringLiteral("M/d/yyyy h:mm:ss AP"));
    }
    case FieldType::Currency:
    case FieldType::Single:
    case FieldType::Double: return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    default: return v.toString();
    }
}

} // namespace

std::optional<double> LeadingNumber(const QString& text) {
    const int len = NumberPrefix(text, false);
    if (len == 0) return std::nullopt;
    bool ok = false;
    const double d = text.left(len).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d)) return std::nullopt;
    return d;
}

std::optional<qint64> LeadingInteger(const QString& text) {
    const int len = NumberPrefix(text, true);
    if (len == 0) return std::nullopt;
    bool ok = false;
    const qint64 v = text.left(len).trimmed().toLongLong(&ok);
    if (!ok) return std::nullopt;
    return v;
}

QString StoredText(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace()) --end;
    const QString s = text.left(end);
    if (s.isEmpty() || s == QLatin1String("(null)")) return QStringLiteral(" ");
    return s;
}

std::optional<double> EngineDateOf(const QDateTime& when) {
    if (!when.isValid()) return std::nullopt;
    const QDate date = when.date();
    if (date.year() < 1753 || date.year() > 9999) return std::nullopt;
    const qint64 days = QDate(1899, 12, 30).daysTo(date);
    const double fraction = when.time().msecsSinceStartOfDay() / 86400000.0;
    // Before the epoch the whole days count back while the fraction counts forward.
    return days < 0 ? double(days) - fraction : double(days) + fraction;
}

bool IsBlankValue(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return true;
    if (value.typeId() == QMetaType::QString) return value.toString().trimmed().isEmpty();
    return false;
}

std::optional<QVariant> ConvertValue(const QVariant& value, FieldType from, FieldType to, int size) {
    if (from == FieldType::Memo) from = FieldType::Text;
    if (from == FieldType::Text) {
        const QString s = StoredText(value.isNull() ? QString() : value.toString());
        switch (to) {
        case FieldType::Text: return QVariant(size > 0 && s.size() > size ? s.left(size) : s);
        case FieldType::Double:
        case FieldType::Single: {
            const auto d = LeadingNumber(s);
            return d ? InRange(*d, to) : std::nullopt;
        }
        case FieldType::Integer:
        case FieldType::Long: {
            const auto i = LeadingInteger(s);
            return i ? InRange(double(*i), to) : std::nullopt;
        }
        default: return std::nullopt;
        }
    }
    if (!value.isValid() || value.isNull()) return std::nullopt;
    if (from == FieldType::Currency) from = FieldType::Double;
    if (to == FieldType::Text) {
        if (from == FieldType::Binary || from == FieldType::LongBinary) return std::nullopt;
        const QString s = StoredText(TextForm(value, from));
        return QVariant(size > 0 && s.size() > size ? s.left(size) : s);
    }
    if (IsNumeric(to) && IsNumeric(from)) {
        bool ok = false;
        const double d = value.toDouble(&ok);
        return ok ? InRange(d, to) : std::nullopt;
    }
    if (from != to) return std::nullopt;
    if (to == FieldType::Boolean) return QVariant(value.toBool() ? 1 : 0);
    if (to == FieldType::Date) {
        const auto d = EngineDateOf(value.toDateTime());
        return d ? std::optional<QVariant>(*d) : std::nullopt;
    }
    return value;
}

} // namespace import
