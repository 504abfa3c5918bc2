// The Paradox reader over 100,000 rows of 10 fields, beside a plain read of the same file's bytes.
#include "benchutil.h"
#include "import/paradoxreader.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 3; // best of
constexpr int kBlock = 4096;

struct PxField {
    quint8 code;
    int size;
    const char* name;
};
// Five texts, a long, two numbers, money and a date.
const PxField kFields[] = {{0x01, 12, "Code"},  {0x01, 30, "Name"},   {0x01, 16, "Category"},
                           {0x01, 8, "Unit"},   {0x01, 20, "Note"},   {0x04, 4, "Qty"},
                           {0x06, 8, "Price"},  {0x05, 8, "Cost"},    {0x06, 8, "Weight"},
                           {0x02, 4, "Day"}};

// Numbers as Paradox stores them: big-endian with the sign bit flipped.
void PutLong(char* at, qint32 v) {
    qToBigEndian<quint32>(quint32(v) ^ 0x80000000u, at);
}
void PutDouble(char* at, double d) {
    quint64 u;
    std::memcpy(&u, &d, sizeof u);
    qToBigEndian<quint64>(d >= 0 ? u ^ 0x8000000000000000ull : ~u, at);
}

QByteArray Record(int r) {
    QByteArray rec;
    const QByteArray texts[] = {"A-" + QByteArray::number(10000 + r),
                                "Caf\xe9 cr\xe8me item " + QByteArray::number(r),
                                "Category " + QByteArray::number(r % 40), "bottle",
                                r % 3 ? QByteArray() : QByteArray("special order")};
    for (int f = 0; f < 5; ++f)
        rec += texts[f].leftJustified(kFields[f].size, '\0', true);
    QByteArray numbers(4 + 8 + 8 + 8 + 4, '\0');
    PutLong(numbers.data(), r % 500);
    PutDouble(numbers.data() + 4, (r % 100000) / 100.0);
    PutDouble(numbers.data() + 12, (r % 1000) / 4.0);
    PutDouble(numbers.data() + 20, (r % 4000) / 16.0);
    PutLong(numbers.data() + 28, 736695 + r % 3000); // days from 1 January of year 1
    return rec + numbers;
}

// A Paradox 7 table, code page 1252, of 4 KB blocks chained in order.
QString WriteTable() {
    const QString path = BenchFolder() + QStringLiteral("/prices.db");
    constexpr int kFieldInfo = 0x78;
    const int fieldCount = int(std::size(kFields));
    int recordSize = 0;
    QByteArray names;
    for (const PxField& f : kFields) {
        recordSize += f.size;
        names += QByteArray(f.name) + '\0';
    }
    const int perBlock = (kBlock - 6) / recordSize;
    const int blocks = (kRows + perBlock - 1) / perBlock;
    const int tableName = kFieldInfo + 6 * fieldCount + 4;
    const int used = tableName + 79 + int(names.size());
    QByteArray h((used + 2047) / 2048 * 2048, '\0');
    qToLittleEndian<quint16>(quint16(recordSize), h.data());
    qToLittleEndian<quint16>(quint16(h.size()), h.data() + 0x02);
    h[0x04] = 2;
    h[0x05] = char(kBlock / 1024);
    qToLittleEndian<quint32>(kRows, h.data() + 0x06);
    qToLittleEndian<quint16>(quint16(blocks), h.data() + 0x0C);
    qToLittleEndian<quint16>(1, h.data() + 0x0E);
    qToLittleEndian<quint16>(quint16(fieldCount), h.data() + 0x21);
    qToLittleEndian<quint32>(0xFF00FF00u, h.data() + 0x25);
    h[0x39] = 11;
    qToLittleEndian<quint16>(1252, h.data() + 0x6A);
    for (int i = 0; i < fieldCount; ++i) {
        h[kFieldInfo + 2 * i] = char(kFields[i].code);
        h[kFieldInfo + 2 * i + 1] = char(kFields[i].size);
    }
    h.replace(tableName, 9, "PRICES.DB");
    h.replace(tableName + 79, names.size(), names);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(h);
    int r = 0;
    for (int b = 0; b < blocks; ++b) {
        QByteArray block(kBlock, '\0');
        qToLittleEndian<quint16>(quint16(b + 1 < blocks ? b + 2 : 0), block.data());
        qToLittleEndian<quint16>(quint16(b), block.data() + 2);
        const int count = std::min(perBlock, kRows - r);
        qToLittleEndian<quint16>(quint16((count - 1) * recordSize), block.data() + 4);
        for (int k = 0; k < count; ++k, ++r)
            block.replace(6 + k * recordSize, recordSize, Record(r));
        file.write(block);
    }
    return path;
}

double ReadTable(const QString& path, long long& rows, long long& values) {
    Stopwatch sw;
    auto source = import::OpenParadoxSource(path);
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
    const QString path = WriteTable();
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
    // Every value: Paradox keeps no NULL apart from an empty text (the empty notes).
    if (rows != kRows || values != 10LL * kRows || sum == 0) {
        std::fprintf(stderr, "read %lld rows, %lld values\n", rows, values);
        return 1;
    }
    std::printf("a Paradox table of %lld rows and 10 fields, %lld bytes\n", rows,
                QFile(path).size());
    PrintFigure("Paradox: read every value of 100,000 rows, s", ours, reference, "s");
    PrintFigure("Paradox: rows per second, thousands", kRows / ours / 1000.0,
                kRows / reference / 1000.0, "k/s", "at least 50 k/s");
    return 0;
}
