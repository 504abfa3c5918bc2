#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <utility>
#include <vector>

// A dBase III table with character (C) and numeric (N) fields, written for tests and benches.
namespace dbfwriter {

struct Field {
    QByteArray name;
    char type; // 'C' or 'N'
    int length;
    int decimals = 0;
};

inline QByteArray Table(const std::vector<Field>& fields, const std::vector<std::vector<QByteArray>>& rows) {
    int recordLength = 1;
    for (const Field& f : fields) recordLength += f.length;
    const int headerLength = 32 + 32 * int(fields.size()) + 1;
    QByteArray b(32, '\0');
    b[0] = char(0x03);
    b[1] = char(124);
    b[2] = char(1);
    b[3] = char(1);
    qToLittleEndian<quint32>(quint32(rows.size()), b.data() + 4);
    qToLittleEndian<quint16>(quint16(headerLength), b.data() + 8);
    qToLittleEndian<quint16>(quint16(recordLength), b.data() + 10);
    for (const Field& f : fields) {
        QByteArray d(32, '\0');
        const QByteArray name = f.name.left(10);
        for (int i = 0; i < name.size(); ++i) d[i] = name[i];
        d[11] = f.type;
        d[16] = char(f.length);
        d[17] = char(f.decimals);
        b += d;
    }
    b += char(0x0D);
    b.reserve(b.size() + qsizetype(rows.size()) * recordLength + 1);
    for (const auto& row : rows) {
        b += ' ';
        for (size_t i = 0; i < fields.size(); ++i) {
            const QByteArray v = i < row.size() ? row[i] : QByteArray();
            b += fields[i].type == 'N' ? v.rightJustified(fields[i].length, ' ', true)
                                       : v.leftJustified(fields[i].length, ' ', true);
        }
    }
    b += char(0x1A);
    return b;
}

inline bool Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace dbfwriter
