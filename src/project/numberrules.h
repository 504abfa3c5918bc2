#pragma once

#include <QString>
#include <optional>

// How typed numbers are read, rounded and shown in the editing dialogs.

// The plain decimal number at the start of the text after any blanks: a sign, digits, one
// decimal point and an exponent that has digits. Reading stops at the first character that
// cannot continue it; no number reads as 0. Never NaN or infinite: a number beyond what a
// double holds (1e400, and 1e-400 too) reads as 0, like text that is not a number.
double ReadLeadingNumber(const QString& text);

// The whole text as a 32-bit whole number (blanks around it allowed); nothing when it is empty,
// has anything else in it or is out of range.
std::optional<int> ReadWholeNumber(const QString& text);

// A typed rate: 1 or more is a percentage, below 1 the fraction itself; never negative.
double RateFromTyped(double number);

// Rounds half away from zero to cents (a negative value as the negative of its size), through
// a 64-bit count of cents. A value too large for that has no cents to round and comes back as
// it is (infinity included); NaN rounds to 0.
double RoundToCents(double value);

// printf-style text of one value; the format must take exactly that one value.
QString FormatC(const char* printfFormat, double value);
QString FormatC(const char* printfFormat, int value);
// A fraction shown as a percentage through a format such as "%5.2f%%".
QString FormatRate(const char* printfFormat, double fraction);

// The formats the dialogs show their numbers in.
inline constexpr const char* kFormatMoney7 = "$ %7.2f";
inline constexpr const char* kFormatBalance = "$%10.2f";
inline constexpr const char* kFormatShipping = "$%5.2f";
inline constexpr const char* kFormatTaxRate = "%4.2f%%";
inline constexpr const char* kFormatDiscountRate = "%3.1f%%";
inline constexpr const char* kFormatRate = "%5.2f%%";
inline constexpr const char* kFormatCount = "%d";
