#include "numberrules.h"

#include <QHash>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

} // namespace

double ReadLeadingNumber(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && IsBlank(text[i])) ++i;

    std::string number;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        // from_chars takes no plus sign.
        if (text[i] == QLatin1Char('-')) number += '-';
        ++i;
    }
    bool anyDigit = false;
    while (i < n && IsDigit(text[i])) {
        number += char(text[i].unicode());
        anyDigit = true;
        ++i;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        while (i < n && IsDigit(text[i])) {
            number += char(text[i].unicode());
            anyDigit = true;
            ++i;
        }
    }
    if (!anyDigit) return 0.0;

    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < n && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+')))
            exponent += char(text[j++].unicode());
        if (j < n && IsDigit(text[j])) {
            while (j < n && IsDigit(text[j])) exponent += char(text[j++].unicode());
            number += exponent;
        }
    }

    // from_chars ignores the C locale, which the application sets from the environment.
    double value = 0.0;
    const std::from_chars_result read = std::from_chars(number.data(), number.data() + number.size(), value);
    if (read.ec != std::errc() || !std::isfinite(value)) return 0.0;
    return value + 0.0; // no "-0"
}

std::optional<int> ReadWholeNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed[i] == QLatin1Char('-') || trimmed[i] == QLatin1Char('+'))) ++i;
    if (i == trimmed.size()) return std::nullopt;
    for (qsizetype j = i; j < trimmed.size(); ++j)
        if (!IsDigit(trimmed[j])) return std::nullopt;
    bool ok = false;
    const qlonglong value = trimmed.toLongLong(&ok);
    if (!ok || value < INT_MIN || value > INT_MAX) return std::nullopt;
    return int(value);
}

double RateFromTyped(double number) {
    if (!(number > 0.0)) return 0.0; // negatives, zero and NaN
    return number >= 1.0 ? number / 100.0 : number;
}

double RoundToCents(double value) {
    if (std::isnan(value)) return 0.0;
    // Symmetric about zero: adding the half cent before truncating would make a negative a cent high.
    if (value < 0.0) return -RoundToCents(-value) + 0.0; // + 0.0: no "-0"
    const double cents = (value + 0.005) * 100.0;
    // Converting a double outside the int64 range is undefined; a double that large holds
    // whole dollars only, so there is nothing left to round.
    constexpr double kLimit = 9223372036854775808.0; // 2^63
    if (!(cents > -kLimit && cents < kLimit)) return value;
    return double(static_cast<std::int64_t>(cents)) * 0.01;
}

namespace {

// The formats the program shows numbers in: literal text around one "%[width][.precision]f" or
// "%[width]d", "%%" for a percent sign. Those are made with QString::number, which rounds as
// QString::asprintf does (the same conversion underneath) at a fraction of its cost: a list of
// many thousand rows formats its cells through here. Anything else goes to asprintf.
struct SimpleFormat {
    QString prefix, suffix;
    int width = 0;
    int precision = 6;
    char conversion = 0; // 'f' or 'd'; 0 when the format is not this simple
};

SimpleFormat ParseSimpleFormat(const char* format) {
    SimpleFormat f;
    QString* text = &f.prefix;
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            *text += QLatin1Char(*p);
            continue;
        }
        if (p[1] == '%') {
            *text += QLatin1Char('%');
            ++p;
            continue;
        }
        if (f.conversion) return {}; // a second conversion
        ++p;
        while (*p >= '0' && *p <= '9') f.width = f.width * 10 + (*p++ - '0');
        if (*p == '.') {
            f.precision = 0;
            ++p;
            while (*p >= '0' && *p <= '9') f.precision = f.precision * 10 + (*p++ - '0');
        }
        if (*p != 'f' && *p != 'd') return {};
        f.conversion = *p;
        text = &f.suffix;
    }
    return f;
}

const SimpleFormat& CachedFormat(const char* format) {
    static QHash<const char*, SimpleFormat> cache; // formats are string literals
    auto it = cache.constFind(format);
    if (it == cache.constEnd()) it = cache.insert(format, ParseSimpleFormat(format));
    return *it;
}

} // namespace

QString FormatC(const char* printfFormat, double value) {
    const SimpleFormat& f = CachedFormat(printfFormat);
    if (f.conversion != 'f' || !std::isfinite(value)) return QString::asprintf(printfFormat, value);
    return f.prefix + QString::number(value, 'f', f.precision).rightJustified(f.width) + f.suffix;
}

QString FormatC(const char* printfFormat, int value) {
    const SimpleFormat& f = CachedFormat(printfFormat);
    if (f.conversion != 'd') return QString::asprintf(printfFormat, value);
    return f.prefix + QString::number(value).rightJustified(f.width) + f.suffix;
}

QString FormatRate(const char* printfFormat, double fraction) { return FormatC(printfFormat, fraction * 100.0); }
