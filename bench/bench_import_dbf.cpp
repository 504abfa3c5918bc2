// The dBase reader over 100,000 rows of 10 fields, beside a plain read of the same file's bytes.
#include "benchutil.h"
#include "import/dbfreader.h"

#include <QFile>
#include <QtEndian>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 3; // best of

// A dBase III table: five text fields of 20 characters, five numbers of 10 with 2 decimals.
QString WriteDbf() {
    const QString path = BenchFolder() + QStringLiteral("/prices.dbf");
    constexpr int kFields = 10;
    const int recordSize = 1 + 5 * 20 + 5 * 10;
    const int headerSize = 32 + 32 * kFields + 1;
    QByteArray header(32, '\0');
    header[0] = 0x03;
    header[1] = 124;
    header[2] = 6;
    header[3] = 11;
    qToLittleEndian<quint32>(kRows, header.data() + 4);
    qToLittleEndian<quint16>(quint16(headerSize), header.data() + 8);
    qToLittleEndian<quint16>(quint16(recordSize), header.data() + 10);
    header[29] = 0x03; // code page 1252
    for (int f = 0; f < kFields; ++f) {
        QByteArray field(32, '\0');
        const QByteArray name = (f < 5 ? "TEXT" : "NUM") + QByteArray::number(f);
        std::memcpy(field.data(), name.constData(), size_t(name.size()));
        field[11] = f < 5 ? 'C' : 'N';
        field[16] = char(f < 5 ? 20 : 10);
        field[17] = char(f < 5 ? 0 : 2);
        header += field;
    }
    header += '\r';
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(header);
    QByteArray row;
    for (int r = 0; r < kRows; ++r) {
        row = " ";
        for (int f = 0; f < 5; ++f) row += QByteArray("caf\xe9 item ").append(QByteArray::number(r * 5 + f)).leftJustified(20, ' ', true);
        for (int f = 0; f < 5; ++f) row += QByteArray::number((r % 1000) + f / 4.0, 'f', 2).rightJustified(10, ' ', true);
        file.write(row);
    }
    file.write("\x1a");
    return path;
}

double ReadTable(const QString& path, long long& rows) {
    Stopwatch sw;
    auto source = import::OpenDbfSource(path);
    auto table = source->openTable(source->tableNames().front());
    rows = 0;
    const int fields = int(table->fields().size());
    while (table->next()) {
        for (int f = 0; f < fields; ++f) (void)table->value(f);
        ++rows;
    }
    return sw.seconds();
}

} // namespace

int main() {
    const QString path = WriteDbf();
    if (path.isEmpty()) return 1;
    double ours = 1e9, reference = 1e9;
    long long rows = 0;
    unsigned sum = 0;
    try {
        for (int run = 0; run < kRuns; ++run) {
            reference = std::min(reference, ReadBytes(path, sum));
            ours = std::min(ours, ReadTable(path, rows));
        }
    } catch (const import::SourceError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    if (rows != kRows || sum == 0) return 1;
    std::printf("a dBase table of %lld rows and 10 fields\n", rows);
    PrintFigure("dBase: read every value of 100,000 rows, s", ours, reference, "s");
    PrintFigure("dBase: rows per second, thousands", kRows / ours / 1000.0, kRows / reference / 1000.0,
                "k/s", "at least 50 k/s");
    return 0;
}
