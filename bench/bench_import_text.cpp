// The text reader against sqlite3's own .import of the same CSV file.
#include "benchutil.h"
#include "import/textreader.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

constexpr int kRows = 100000;
constexpr int kFields = 10;
constexpr int kRuns = 3; // best of

[[noreturn]] void Fail(const QString& what) {
    std::fprintf(stderr, "%s\n", qPrintable(what));
    std::exit(1);
}

// A supplier's price list: numbers, dates, booleans, accented and quoted texts.
QString WriteCsv() {
    const QString path = BenchFolder() + QStringLiteral("/prices.csv");
    std::mt19937 rng(20240611);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const char* words[] = {"Caf\xc3\xa9",
                           "cr\xc3\xa8me",
                           "bottle",
                           "case",
                           "Gr\xc3\xbc\xc3\x9f"
                           "e",
                           "red",
                           "wine",
                           "oil",
                           "dry",
                           "sweet"};
    QByteArray csv = "ID,Code,Description,Price,Qty,Weight,Updated,InStock,Category,Note\n";
    csv.reserve(100 * kRows);
    for (int i = 1; i <= kRows; ++i) {
        QByteArray desc =
            QByteArray(words[pick(0, 9)]) + ' ' + words[pick(0, 9)] + ' ' + words[pick(0, 9)];
        if (i % 7 == 0)
            desc = "\"" + desc + ", 12 \"\"x\"\" 75cl\""; // quoted, with a comma and quotes
        csv += QByteArray::number(i) + ",A-" + QByteArray::number(pick(10000, 99999)) + ',' + desc +
               ',' + QByteArray::number(pick(1, 100000) / 100.0, 'f', 2) + ',' +
               QByteArray::number(pick(0, 500)) + ',' +
               QByteArray::number(pick(1, 4000) / 16.0, 'f', 4) + ",20" +
               QByteArray::number(10 + pick(0, 14)) + "-0" + QByteArray::number(pick(1, 9)) + '-' +
               QByteArray::number(10 + pick(0, 18)) + ',' + (pick(0, 1) ? "true" : "false") +
               ",Cat " + QByteArray::number(pick(1, 40)) + ',' +
               (i % 3 ? QByteArray() : "special order") + '\n';
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(csv) != csv.size())
        Fail(QStringLiteral("cannot write the CSV"));
    return path;
}

double ReadOurs(const QString& path) {
    Stopwatch watch;
    auto source = import::OpenTextSource(path);
    auto table = source->openTable(source->tableNames().value(0));
    if (table->fields().size() != size_t(kFields))
        Fail(QStringLiteral("wrong field count"));
    long rows = 0;
    qsizetype touched = 0;
    while (table->next()) {
        ++rows;
        for (int i = 0; i < kFields; ++i)
            touched += table->value(i).isNull() ? 0 : 1;
    }
    const double seconds = watch.seconds();
    if (rows != kRows || touched == 0)
        Fail(QStringLiteral("read %1 rows").arg(rows));
    return seconds;
}

double ReadSqlite(const QString& path) {
    QProcess sqlite;
    Stopwatch watch;
    sqlite.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), QStringLiteral(":memory:")});
    if (!sqlite.waitForStarted())
        Fail(QStringLiteral("sqlite3 did not start: install the sqlite3 package"));
    sqlite.write(".mode csv\n.import '" + path.toUtf8() + "' t\nSELECT count(*) FROM t;\n");
    sqlite.closeWriteChannel();
    if (!sqlite.waitForFinished(600000))
        Fail(QStringLiteral("sqlite3 did not finish"));
    const double seconds = watch.seconds();
    const QByteArray out = sqlite.readAllStandardOutput().trimmed();
    if (out != QByteArray::number(kRows))
        Fail(QStringLiteral("sqlite3 imported: %1").arg(QString::fromUtf8(out)));
    return seconds;
}

} // namespace

int main() {
    const QString path = WriteCsv();
    std::printf("CSV of %d rows, %d fields, %lld bytes\n", kRows, kFields, QFile(path).size());
    double ours = 1e9, reference = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        ours = std::min(ours, ReadOurs(path));
        reference = std::min(reference, ReadSqlite(path));
    }
    PrintFigure("read 100,000 rows of 10 fields from CSV (total)", ours * 1e3, reference * 1e3,
                "ms", "within 3x of sqlite3 .import");
    PrintFigure("read CSV rows per second", kRows / ours, kRows / reference, "rows",
                "at least 50,000 rows/s");
    return 0;
}
