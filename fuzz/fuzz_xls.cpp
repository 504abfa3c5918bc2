// Excel 97-2003 .xls workbooks through FreeXL. An input that starts with the compound file
// signature is the file itself; any other input is the BIFF8 workbook stream, which the target
// puts into a well-formed compound file so that the fuzzer mutates the records.
#include "fuzzcommon.h"

#include "../tests/support/xlswriter.h"
#include "import/excelreader.h"

namespace {

const QByteArray kSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

// Small limits keep what one input may make the reader hold within the fuzzer's memory.
const import::ExcelLimits kLimits{4 * 1024 * 1024, 8 * 1024 * 1024};

} // namespace

std::vector<qvfuzz::Seed> qvfuzz::Seeds() {
    using xlswriter::Sheet;
    const QDate day(2024, 1, 31);
    const std::vector<Sheet> sheets = {
        {QStringLiteral("Prices"),
         {{QStringLiteral("Code"), QStringLiteral("Prix \u20ac"), QStringLiteral("Ok"),
           QStringLiteral("Day"), QStringLiteral("When")},
          {QStringLiteral("Caf\u00e9 cr\u00e8me"), 12.5, true, day,
           QDateTime(day, QTime(10, 20, 30), Qt::UTC)},
          {QVariant(), -1e-3, false, QVariant(), QStringLiteral("Caf\u00e9 cr\u00e8me")},
          {3, 2147483648.0, QVariant(), day.addDays(-40000), QVariant()}}},
        {QStringLiteral("\u00c9t\u00e9"), {{QStringLiteral("N")}, {1}, {2}}},
        {QStringLiteral("Empty"), {}}};
    std::vector<QVariant> wide(200, QVariant(7));
    wide[0] = QStringLiteral("A");
    return {
        {"sheets", xlswriter::Biff(sheets)},
        {"date1904", xlswriter::Biff(sheets, true)},
        {"wide", xlswriter::Biff({{QStringLiteral("W"), {wide, wide}}})},
        {"compound", xlswriter::Workbook(sheets)},
    };
}

void qvfuzz::FuzzOne(const QByteArray& input) {
    Files files;
    const QString path = files.write(
        QStringLiteral("t.xls"), input.startsWith(kSignature) ? input : xlswriter::Compound(input));
    Walk(files, [&] { return import::OpenExcelSource(path, kLimits); });
}
