#pragma once

#include "import/source.h"

#include <QString>
#include <QVariant>
#include <optional>

// How one source value becomes a value of a project field: pure rules, no database.
namespace import {

// The type text shown beside a field name ("Text", "Integer", ...); "<unknown>" for other codes.
QString TypeText(int code);

// The value to store in a destination field of type `to` (text size `size`), or nothing when
// the field keeps its default (types that do not convert, a value out of the field's range,
// a value that is not a number). Dates come back as engine dates (days since 1899-12-30).
std::optional<QVariant> ConvertValue(const QVariant& value, FieldType from, FieldType to, int size);

// The number a text begins with (sign, digits, point, exponent), when it is finite.
std::optional<double> LeadingNumber(const QString& text);
// The integer a text begins with (sign, digits).
std::optional<qint64> LeadingInteger(const QString& text);

// A source text as stored: trailing white space dropped; empty and "(null)" become " ".
QString StoredText(const QString& text);

// The engine date of a stored wall-clock moment; nothing before 1753 or after 9999.
std::optional<double> EngineDateOf(const QDateTime& when);

// True when the value holds nothing: null, or a text of blanks only.
bool IsBlankValue(const QVariant& value);

} // namespace import
