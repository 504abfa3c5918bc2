#pragma once

#include "import/source.h"

#include <QString>
#include <memory>

namespace import {

// Delimited text: a .csv or .txt file is one table, named by its file name with the extension
// ("prices.csv"); a folder makes each of its .csv and .txt files a table, in name order.
// Per file: the separator (comma, semicolon or tab), the encoding (BOM, UTF-16, UTF-8, else the
// detected code page) and the field types are told from the file itself; the first line names
// the fields.
std::unique_ptr<Source> OpenTextSource(const QString& path);

// The same with a lower ceiling than kMaxValueBytes on the bytes of one line.
std::unique_ptr<Source> OpenTextSource(const QString& path, qint64 maxLineBytes);

} // namespace import
