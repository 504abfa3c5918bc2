#pragma once

#include "import/source.h"

#include <QString>
#include <memory>

namespace import {

// What an .xlsx may unpack to: its parts are zip members that a hostile file can make expand
// without bound, so each one, and all of them together, are counted as they are read.
struct ExcelLimits {
    qint64 partBytes = qint64(256) * 1024 * 1024;
    qint64 totalBytes = qint64(256) * 1024 * 1024;
};

// Excel workbooks: .xls (Excel 5.0 to 2003) and .xlsx; the kind is told from the file's content,
// not its extension. Each sheet that holds data is a table named by the sheet, in the workbook's
// order. A folder makes each of its .xls and .xlsx files contribute its sheets, files in name
// order, each table named "<file name>:<sheet name>" ("prices.xlsx:Sheet1": a colon never occurs
// in a sheet name nor in a Windows file name, so the names stay unique).
// In a sheet, the first row that holds a value names the fields (blank: "Field<n>", a repeated
// name gets "_1", "_2"); the fields span every column used anywhere in the sheet; rows without
// any value are left out. A field's type comes from its values: all booleans Boolean, all whole
// numbers that fit 32 bits Long, all numbers Double, all dates Date, else Text (Memo beyond 255
// characters), the other values then shown as text. Empty cells and error values are NULL.
std::unique_ptr<Source> OpenExcelSource(const QString& path);

std::unique_ptr<Source> OpenExcelSource(const QString& path, const ExcelLimits& limits);

} // namespace import
