#pragma once

#include "source.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>

namespace import {

// Access databases (.mdb of Jet 3 and 4, .accdb) read through libmdb, read-only. The tables
// are the user tables of the database, sorted by name; system tables are left out. Values are
// decoded from the stored bytes by the column's type, so they keep their types, NULL is told
// from an empty text, memos come whole and dates before 1900 are right.
std::unique_ptr<Source> OpenAccessSource(const QString& path);

namespace access {

// A stored Date/Time: days since 1899-12-30; before that day the whole days count back while
// the fraction still counts the time forward (-1.25 is 1899-12-29 06:00). A value outside
// the years 100 to 9999, or not a number, is damaged: a null QVariant.
QVariant DateFromSerial(double serial);

// Stored text: Jet 3 in the database's code page; Jet 4 and later as UTF-16LE, or, after the
// marker FF FE, compressed (runs of one-byte Latin-1 characters and of UTF-16LE characters,
// each 00 byte switching between them).
QString DecodeText(const QByteArray& bytes, bool jet3, int codePage);

// A Decimal's 17 bytes: a sign byte (0x80 negative), then a 128-bit magnitude as four
// little-endian 32-bit words, the most significant first; scale is the digits after the point.
double DecodeDecimal(const QByteArray& bytes17, int scale);

} // namespace access
} // namespace import
