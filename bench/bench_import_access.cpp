// The Access reader over 100,000 rows of 10 fields (a Jet 4 file written page by page), beside
// a plain read of the same file's bytes.
#include "benchutil.h"
#include "import/accessreader.h"

#include "../tests/support/jetwriter.h"

#include <QFile>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 3; // best of

QString WriteDatabase() {
    using namespace jetwriter;
    const QString path = BenchFolder() + QStringLiteral("/prices.mdb");
    Table t{QStringLiteral("Prices"),
            {{Long, "ID"},
             {Text, "Code"},
             {Text, "Description"},
             {Double, "Price"},
             {Integer, "Qty"},
             {Double, "Weight"},
             {Date, "Updated"},
             {Text, "Category"},
             {Text, "Note"},
             {Long, "Stock"}},
            {}};
    t.rows.reserve(kRows);
    for (int r = 0; r < kRows; ++r)
        t.rows.push_back({r + 1, QStringLiteral("A-%1").arg(10000 + r),
                          QStringLiteral("Caf\u00e9 cr\u00e8me item %1").arg(r), (r % 100000) / 100.0,
                          r % 500, (r % 4000) / 16.0, 45000.0 + r % 3000 + 0.25,
                          QStringLiteral("Category %1").arg(r % 40),
                          r % 3 ? QVariant() : QVariant(QStringLiteral("special order")), r * 7});
    QFile file(path);
    const QByteArray bytes = Database({t});
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

double ReadTable(const QString& path, long long& rows, long long& values) {
    Stopwatch sw;
    auto source = import::OpenAccessSource(path);
    auto table = source->openTable(source->tableNames().front());
    rows = values = 0;
    const int fields = int(table->fields().size());
    while (table->next()) {
        for (int f = 0; f < fields; ++f)
            values += table->value(f).isNull() ? 0 : 1;
        ++rows;
    }
    return sw.seconds();
}

} // namespace

int main() {
    const QString path = WriteDatabase();
    if (path.isEmpty())
        return 1;
    double ours = 1e9, reference = 1e9;
    long long rows = 0, values = 0;
    unsigned sum = 0;
    try {
        for (int run = 0; run < kRuns; ++run) {
            reference = std::min(reference, ReadBytes(path, sum));
            ours = std::min(ours, ReadTable(path, rows, values));
        }
    } catch (const import::SourceError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    // Every value but the NULL notes of two rows in three.
    if (rows != kRows || values != 10LL * kRows - (kRows - (kRows + 2) / 3) || sum == 0) {
        std::fprintf(stderr, "read %lld rows, %lld values\n", rows, values);
        return 1;
    }
    std::printf("an Access (Jet 4) table of %lld rows and 10 fields, %lld bytes\n", rows,
                QFile(path).size());
    PrintFigure("Access: read every value of 100,000 rows, s", ours, reference, "s");
    PrintFigure("Access: rows per second, thousands", kRows / ours / 1000.0,
                kRows / reference / 1000.0, "k/s", "at least 50 k/s");
    return 0;
}
