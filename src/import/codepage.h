#pragma once

#include <QByteArray>
#include <QString>

namespace import {

// Decodes text stored in a Windows or DOS code page (437, 850, 852, 866, 1250, 1251, 1252 and
// whatever else the C library's iconv knows); 65001 is UTF-8. Bytes that do not decode become
// U+FFFD; an unknown code page decodes as 1252.
QString DecodeCodePage(const QByteArray& bytes, int codePage);

// True when the bytes are valid UTF-8 (plain ASCII included).
bool IsValidUtf8(const QByteArray& bytes);

} // namespace import
