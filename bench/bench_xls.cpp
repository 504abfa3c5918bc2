// The Excel reader over an .xls of 100,000 rows of 10 fields, beside a plain read of the same
// file's bytes. A BIFF8 sheet holds at most 65,536 rows: the rows are on two sheets of 50,000.
#include "../tests/support/xlswriter.h"
#include "benchutil.h"
#include "import/excelreader.h"

#include <QFile>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRows = 100000;
constexpr int kSheets = 2;
constexpr int kRuns = 3; // best of

// Five texts (shared strings, as Excel writes them) and five numbers a row, under a header row.
QString WriteXls() {
    using namespace xlswriter;
    std::vector<QString> strings;
    std::vector<RawSheet> sheets;
    for (int s = 0; s < kSheets; ++s) {
        QByteArray records;
        for (int f = 0; f < 10; ++f)
            records +=
                Label(0, f, (f < 5 ? QStringLiteral("Text%1") : QStringLiteral("Num%1")).arg(f));
        for (int r = 1; r <= kRows / kSheets; ++r) {
            for (int f = 0; f < 5; ++f) {
                records += Record(0x00FD, At(r, f) + Le32(quint32(strings.size())));
                strings.push_back(QStringLiteral("café item %1").arg((s * kRows + r) * 5 + f));
            }
            for (int f = 5; f < 10; ++f)
                records += Record(0x0203, At(r, f) + LeDouble((r % 1000) + f / 4.0));
        }
        sheets.push_back({QStringLiteral("Prices%1").arg(s + 1), records});
    }
    const QByteArray file = Compound(RawBiff(sheets, false, Sst(strings, int(strings.size()))));
    const QString path = BenchFolder() + QStringLiteral("/prices.xls");
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
        return {};
    return path;
}

double ReadTables(const QString& path, long long& rows) {
    Stopwatch sw;
    auto source = import::OpenExcelSource(path);
    rows = 0;
    for (const QString& name : source->tableNames()) {
        auto table = source->openTable(name);
        const int fields = int(table->fields().size());
        while (table->next()) {
            for (int f = 0; f < fields; ++f)
                (void)table->value(f);
            ++rows;
        }
    }
    return sw.seconds();
}

} // namespace

int main() {
    const QString path = WriteXls();
    if (path.isEmpty())
        return 1;
    double ours = 1e9, reference = 1e9;
    long long rows = 0;
    unsigned sum = 0;
    try {
        for (int run = 0; run < kRuns; ++run) {
            reference = std::min(reference, ReadBytes(path, sum));
            ours = std::min(ours, ReadTables(path, rows));
        }
    } catch (const import::SourceError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    if (rows != kRows || sum == 0)
        return 1;
    std::printf("an .xls workbook of %lld rows and 10 fields on %d sheets, %lld bytes\n", rows,
                kSheets, static_cast<long long>(QFile(path).size()));
    PrintFigure("Excel .xls: read every value of 100,000 rows, s", ours, reference, "s");
    PrintFigure("Excel .xls: rows per second, thousands", kRows / ours / 1000.0,
                kRows / reference / 1000.0, "k/s", "at least 50 k/s");
    return 0;
}
