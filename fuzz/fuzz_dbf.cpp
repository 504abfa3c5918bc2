// dBase and FoxPro tables with their memo files: the input is a .dbf and a memo file (see
// SplitInput; the flag names the memo t.dbt, else t.fpt).
#include "fuzzcommon.h"

#include "import/dbfreader.h"

#include <QtEndian>

namespace {

QByteArray Le16(int v) {
    QByteArray b(2, '\0');
    qToLittleEndian<quint16>(quint16(v), b.data());
    return b;
}
QByteArray Le32(qint64 v) {
    QByteArray b(4, '\0');
    qToLittleEndian<quint32>(quint32(v), b.data());
    return b;
}
QByteArray Be32(qint64 v) {
    QByteArray b(4, '\0');
    qToBigEndian<quint32>(quint32(v), b.data());
    return b;
}
QByteArray Le64(qint64 v) {
    QByteArray b(8, '\0');
    qToLittleEndian<qint64>(v, b.data());
    return b;
}

struct Fld {
    QByteArray name;
    char type;
    int length;
    int decimals = 0;
    unsigned char flags = 0;
};

// One row, each value blank-padded or cut to its field's length; missing values are blank.
QByteArray Row(const std::vector<Fld>& fields, const std::vector<QByteArray>& values,
               bool deleted = false) {
    QByteArray row(1, deleted ? '*' : ' ');
    for (size_t i = 0; i < fields.size(); ++i)
        row += (i < values.size() ? values[i] : QByteArray())
                   .leftJustified(fields[i].length, ' ', true);
    return row;
}

// A table as dBase III+ and FoxPro write it; Visual FoxPro versions get the backlink area.
QByteArray Dbf(unsigned char version, unsigned char mark, const std::vector<Fld>& fields,
               const std::vector<QByteArray>& rows) {
    const bool vfp = version >= 0x30 && version <= 0x32;
    int recordLength = 1;
    for (const Fld& f : fields)
        recordLength += f.length;
    QByteArray b(1, char(version));
    b += QByteArray("\x7c\x01\x1f", 3) + Le32(qint64(rows.size()));
    b += Le16(32 + 32 * int(fields.size()) + 1 + (vfp ? 263 : 0)) + Le16(recordLength);
    b += QByteArray(17, '\0') + char(mark) + QByteArray(2, '\0');
    int offset = 1;
    for (const Fld& f : fields) {
        b += f.name.leftJustified(11, '\0', true) + f.type + Le32(offset);
        b += char(f.length) + QByteArray(1, char(f.decimals)) + QByteArray(1, char(f.flags));
        b += QByteArray(13, '\0');
        offset += f.length;
    }
    b += '\r';
    if (vfp)
        b += QByteArray(263, '\0');
    for (const QByteArray& row : rows)
        b += row;
    return b + '\x1a';
}

} // namespace

std::vector<qvfuzz::Seed> qvfuzz::Seeds() {
    const std::vector<Fld> plain = {{"NAME", 'C', 10},    {"QTY", 'N', 5}, {"PRICE", 'N', 8, 2},
                                    {"RATE", 'F', 10, 3}, {"DAY", 'D', 8}, {"OK", 'L', 1}};
    const std::vector<Fld> vfp = {{"ID", 'I', 4},
                                  {"PRICE", 'Y', 8},
                                  {"WHEN", 'T', 8},
                                  {"RATE", 'B', 8},
                                  {"NOTE", 'V', 10, 0, 2},
                                  {"CODE", 'C', 5, 0, 2},
                                  {"_NullFlags", '0', 1, 0, 5}};
    const std::vector<Fld> memo = {{"NAME", 'C', 5}, {"NOTE", 'M', 10}, {"PIC", 'P', 10}};
    const std::vector<Fld> vfpMemo = {{"NOTE", 'M', 4}, {"PIC", 'G', 4}};
    const QByteArray text = "Cr\xe8me br\xfbl\xe9"
                            "e\r\nline two";

    QByteArray dbase2(1, '\x02');
    dbase2 += Le16(2) + QByteArray("\x01\x02\x03", 3) + Le16(1 + 6 + 4);
    dbase2 += QByteArray("NAME").leftJustified(11, '\0') + 'C' + char(6) + Le16(0) + char(0);
    dbase2 += QByteArray("PAY").leftJustified(11, '\0') + 'N' + char(4) + Le16(0) + char(1);
    dbase2 = (dbase2 + '\r').leftJustified(521, '\0') + " Joe    6.5*Gone   1.0";

    QByteArray dbt3 =
        Le32(3).leftJustified(512, '\0') + (text + "\x1a\x1a").leftJustified(512, '\0');
    QByteArray dbt4 = (Le32(3) + QByteArray(16, '\0') + Le16(512)).leftJustified(512, '\0');
    dbt4 += (QByteArray("\xff\xff\x08\x00", 4) + Le32(text.size() + 8) + text)
                .leftJustified(512, '\x1f');
    QByteArray fpt =
        (Be32(10) + QByteArray(2, '\0') + QByteArray("\x00\x40", 2)).leftJustified(512, '\0');
    fpt += (Be32(1) + Be32(text.size()) + text).leftJustified(64, '\0');
    fpt += Be32(0) + Be32(3) + QByteArray("\x00\x01\xff", 3);

    const qint64 day = 2460341; // 31 January 2024
    return {
        {"dbase3", Join(Dbf(0x03, 0x03, plain,
                            {Row(plain, {"Apple", "12", "12.50", "0.125", "20240131", "T"}),
                             Row(plain, {"Gone", "1", "1", "1", "20240101", "F"}, true),
                             Row(plain, {"", "", "", "", "", "?"}),
                             Row(plain, {"Plum", "*****", "-0.5", "1,5", "20240230", "n"})}),
                        {})},
        {"dbase2", Join(dbase2, {})},
        {"cp866",
         Join(Dbf(0x03, 0x65, plain, {Row(plain, {"\x8f\xe0\xa8", "1", "", "", "", ""})}), {})},
        {"unmarked", Join(Dbf(0x03, 0, plain,
                              {Row(plain, {"caf\xc3\xa9", "", "", "", "", ""}),
                               Row(plain, {"caf\xe9", "", "", "", "", ""})}),
                          {})},
        {"vfp",
         Join(Dbf(0x32, 0x03, vfp,
                  {Row(vfp, {Le32(42), Le64(123400), Le32(day) + Le32(48938999),
                             Le64(0x4004000000000000),
                             QByteArray("Hi").leftJustified(9, '\0') + '\x02', "AB", "\x01"}),
                   Row(vfp, {Le32(-1), Le64(-5000), Le64(0), Le64(0), "", "", "\x06"})}),
              {})},
        {"dbase3-memo",
         Join(Dbf(0x83, 0x03, memo, {Row(memo, {"tea", "1", ""}), Row(memo, {})}), dbt3, true)},
        {"dbase4-memo", Join(Dbf(0x8B, 0x03, memo, {Row(memo, {"tea", "1", ""})}), dbt4, true)},
        {"foxpro-memo",
         Join(Dbf(0xF5, 0x03, memo, {Row(memo, {"tea", "8", "9"}), Row(memo, {})}), fpt)},
        {"vfp-memo", Join(Dbf(0x30, 0x03, vfpMemo,
                              {Row(vfpMemo, {Le32(8), Le32(9)}), Row(vfpMemo, {Le32(0), Le32(0)})}),
                          fpt)},
    };
}

void qvfuzz::FuzzOne(const QByteArray& input) {
    const Split split = SplitInput(input);
    Files files;
    const QString table = files.write(QStringLiteral("t.dbf"), split.first);
    if (!split.second.isEmpty())
        files.write(split.flag ? QStringLiteral("t.dbt") : QStringLiteral("t.fpt"), split.second);
    Walk(files, [&] { return import::OpenDbfSource(table); });
}
