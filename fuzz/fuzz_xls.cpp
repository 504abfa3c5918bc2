// Excel 5.0-2003 .xls workbooks through the workbook reader. An input that starts with the
// compound file signature is the file itself; any other input is the workbook stream (BIFF5 or
// BIFF8), which the target puts into a well-formed compound file so that the fuzzer mutates the
// records.
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
    using namespace xlswriter;
    // Record kinds the writer above does not make: shared strings that go on in CONTINUE
    // records, RK, MULRK, formulas with their values, LABEL, a chart inside a sheet.
    const QByteArray sst =
        Record(0x00FC, Le32(2) + Le32(2) + Le16(4) + '\0' + QByteArray("ab")) +
        Record(0x003C, QByteArray("\x01") + Le16(0x3A9) + Le16(0xE9) + Le16(2) + '\x0C' + Le16(1) +
                           Le32(2) + QByteArray("xy") + QByteArray(6, '\0'));
    const QByteArray records =
        Label(0, 0, QStringLiteral("T")) + Label(0, 1, QStringLiteral("N")) +
        Record(0x00FD, At(1, 0) + Le32(0)) + Rk(1, 1, RkInt(5, true)) +
        Record(0x00FD, At(2, 0) + Le32(1)) + MulRk(2, 1, {RkDouble(0.5), RkInt(-3)}) +
        Formula(3, 0, FormulaValue(0)) + String(QStringLiteral("\u00e9t\u00e9")) +
        Formula(3, 1, LeDouble(1.25)) + Formula(4, 0, FormulaValue(1, 1)) +
        Record(0x0809, Le16(0x0600) + Le16(0x0020) + QByteArray(12, '\0')) + Record(0x000A, {}) +
        Record(0x0205, At(4, 1) + '\x07' + '\x01');
    const QByteArray biff5 =
        RawBiff({{QStringLiteral("S"), Label(0, 0, QStringLiteral("A"), true) +
                                           Label(1, 0, QString::fromLatin1("caf\xe9"), true) +
                                           Formula(2, 0, FormulaValue(0)) +
                                           String(QStringLiteral("x"), true)}},
                true, {}, 1251);
    const QByteArray raw = RawBiff({{QStringLiteral("R"), records}}, false, sst);
    return {
        {"records", raw},
        {"biff5", biff5},
        {"mini", Compound(raw, {9, true})},
        {"v4", Compound(raw, {12, true})},
        {"difat", Compound(biff5, {9, false, 0})},
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
