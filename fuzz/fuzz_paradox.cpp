// Paradox tables with their memo files: the input is a .db and a .mb (see SplitInput).
#include "fuzzcommon.h"

#include "import/paradoxreader.h"

#include <cstring>

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out += char(v);
    return out;
}
QByteArray Le16(int v) {
    return Bytes({v, v >> 8});
}
QByteArray Le32(quint32 v) {
    return Bytes({int(v), int(v >> 8), int(v >> 16), int(v >> 24)});
}
// Numbers as Paradox stores them: big-endian, sign bit flipped.
QByteArray BeLong(qint32 v) {
    const quint32 u = quint32(v) ^ 0x80000000u;
    return Bytes({int(u >> 24), int(u >> 16), int(u >> 8), int(u)});
}
QByteArray BeShort(qint16 v) {
    const quint16 u = quint16(v) ^ 0x8000u;
    return Bytes({u >> 8, u});
}
QByteArray BeDouble(double d) {
    quint64 u;
    std::memcpy(&u, &d, sizeof u);
    u = d >= 0 ? u ^ 0x8000000000000000ull : ~u;
    QByteArray out;
    for (int i = 7; i >= 0; --i)
        out += char(u >> (8 * i));
    return out;
}
void Put(QByteArray& at, int offset, const QByteArray& bytes) {
    at.replace(offset, bytes.size(), bytes);
}

struct PxField {
    quint8 code;
    int size;
    QByteArray name;
};

// A table of 1 KB blocks chained in order after a header of whole 2 KB.
QByteArray Table(int version, int codePage, const std::vector<PxField>& fields,
                 const std::vector<std::vector<QByteArray>>& blocks) {
    const bool extended = version >= 5;
    const int fieldInfo = extended ? 0x78 : 0x58;
    int recordSize = 0;
    QByteArray names;
    for (const PxField& f : fields) {
        recordSize += f.code == 0x17 ? 17 : f.size;
        names += f.name + '\0';
    }
    const int tableName = fieldInfo + 6 * int(fields.size()) + 4;
    const int used = tableName + (version >= 12 ? 261 : 79) + int(names.size());
    QByteArray h((used + 2047) / 2048 * 2048, '\0');
    int records = 0;
    for (const auto& b : blocks)
        records += int(b.size());
    Put(h, 0x00, Le16(recordSize));
    Put(h, 0x02, Le16(int(h.size())));
    h[0x04] = 2;
    h[0x05] = 1;
    Put(h, 0x06, Le32(quint32(records)));
    Put(h, 0x0C, Le16(int(blocks.size())));
    Put(h, 0x0E, Le16(1));
    Put(h, 0x21, Le16(int(fields.size())));
    Put(h, 0x25, Le32(extended ? 0xFF00FF00u : 0));
    h[0x39] = char(version);
    if (extended)
        Put(h, 0x6A, Le16(codePage));
    for (size_t i = 0; i < fields.size(); ++i) {
        h[int(fieldInfo + 2 * i)] = char(fields[i].code);
        h[int(fieldInfo + 2 * i + 1)] = char(fields[i].size);
    }
    Put(h, tableName, "TABLE.DB");
    Put(h, tableName + (version >= 12 ? 261 : 79), names);
    QByteArray file = h;
    for (size_t b = 0; b < blocks.size(); ++b) {
        QByteArray block(1024, '\0');
        Put(block, 0, Le16(b + 1 < blocks.size() ? int(b) + 2 : 0));
        const int count = int(blocks[b].size());
        Put(block, 4, Le16(count == 0 ? -recordSize : (count - 1) * recordSize));
        int at = 6;
        for (const QByteArray& r : blocks[b]) {
            Put(block, at, r);
            at += int(r.size());
        }
        file += block;
    }
    return file;
}

} // namespace

std::vector<qvfuzz::Seed> qvfuzz::Seeds() {
    const qint32 day2018 = 736695; // 1 January 2018, counted from 1 January of year 1
    QByteArray bcd(17, '\0');
    bcd[0] = char(0xC2); // 1.23
    bcd[15] = 0x01;
    bcd[16] = 0x23;
    const std::vector<PxField> every = {{0x01, 8, "Name"},   {0x02, 4, "Day"},   {0x03, 2, "Small"},
                                        {0x04, 4, "Big"},    {0x05, 8, "Price"}, {0x06, 8, "Ratio"},
                                        {0x09, 1, "Flag"},   {0x14, 4, "At"},    {0x15, 8, "Stamp"},
                                        {0x16, 4, "Serial"}, {0x17, 2, "Exact"}, {0x18, 3, "Raw"},
                                        {0x0C, 20, "Note"}};
    const QByteArray full =
        QByteArray("caf\xe9 ").leftJustified(8, '\0') + BeLong(day2018) + BeShort(-7) +
        BeLong(-100000) + BeDouble(12.5) + BeDouble(-0.25) + char(0x81) + BeLong(36000000) +
        BeDouble((day2018 + 30.0) * 86400000.0 + 3601500.0) + BeLong(42) + bcd +
        QByteArray("\x00\x01\x02", 3) + QByteArray("short memo").leftJustified(10, '\0') + Le32(0) +
        Le32(10) + Le16(1);
    const QByteArray zeros(full.size(), '\0');

    // A memo file with a block of its own at 4096 and a shared block at 8192 holding entry 5.
    const QByteArray longText = QByteArray("Gr\xc3\xbc\xc3\x9f"
                                           "e ")
                                    .repeated(20);
    const QByteArray small = "a blob of 23 bytes here";
    QByteArray mb(3 * 4096, '\0');
    mb[4096] = 2;
    Put(mb, 4097, Le16(1) + Le32(quint32(longText.size())) + Le16(1));
    Put(mb, 4096 + 9, longText);
    mb[8192] = 3;
    Put(mb, 8192 + 12 + 5 * 5, Bytes({0x30, 2, 1, 0, 7}));
    Put(mb, 8192 + 0x300, small);
    const QByteArray memoRecord = longText.left(4) + Le32(4096 | 0xFF) +
                                  Le32(quint32(longText.size())) + Le16(1) + Le32(8192 | 5) +
                                  Le32(quint32(small.size())) + Le16(1);

    return {
        {"every-type", Join(Table(12, 1252, every, {{full, zeros}, {full}}), {})},
        {"paradox3", Join(Table(3, 0, {{0x01, 10, "T\xe9xt"}, {0x04, 4, "N"}},
                                {{QByteArray("\x82t\x82").leftJustified(10, '\0') + BeLong(1)},
                                 {},
                                 {QByteArray(10, '\0') + BeLong(-3)}}),
                          {})},
        {"paradox4-cp850",
         Join(Table(11, 850, {{0x01, 6, "A"}}, {{QByteArray("\x9b\0junk", 6)}}), {})},
        {"memo",
         Join(Table(12, 65001, {{0x0C, 14, "Memo"}, {0x0D, 10, "Blob"}}, {{memoRecord}}), mb)},
    };
}

void qvfuzz::FuzzOne(const QByteArray& input) {
    const Split split = SplitInput(input);
    Files files;
    const QString table = files.write(QStringLiteral("t.db"), split.first);
    if (!split.second.isEmpty())
        files.write(split.flag ? QStringLiteral("T.MB") : QStringLiteral("t.mb"), split.second);
    Walk(files, [&] {
        import::ReadParadoxTableInfo(table);
        return import::OpenParadoxSource(table);
    });
}
