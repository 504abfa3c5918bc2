#pragma once

// A small Excel 97-2003 workbook (.xls), for tests and fuzz seeds: a BIFF8 workbook stream
// (globals with date formats, cell formats, shared strings and the sheet list, then one
// substream per sheet) inside a compound file of 512-byte sectors with the stream "Workbook".
// Cells: QString (LABELSST), bool (BOOLERR), int or double (NUMBER), QDate or QDateTime
// (NUMBER formatted as a date, or as a date and time); a null QVariant is no cell.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <algorithm>
#include <cstring>
#include <vector>

namespace xlswriter {

struct Sheet {
    QString name;
    std::vector<std::vector<QVariant>> rows; // rows from row 0, cells from column 0
};

inline QByteArray Le16(int v) {
    return QByteArray(1, char(v)) + char(v >> 8);
}
inline QByteArray Le32(quint32 v) {
    return Le16(int(v & 0xFFFF)) + Le16(int(v >> 16));
}
inline QByteArray LeDouble(double d) {
    quint64 u;
    std::memcpy(&u, &d, sizeof u);
    return Le32(quint32(u)) + Le32(quint32(u >> 32));
}
inline QByteArray Record(int type, const QByteArray& data) {
    return Le16(type) + Le16(int(data.size())) + data;
}

// Characters as one byte each (Latin-1) when they all fit, else UTF-16; the flag byte says which.
inline QByteArray Chars(const QString& text) {
    bool narrow = true;
    for (const QChar c : text)
        narrow = narrow && c.unicode() < 256;
    QByteArray out(1, narrow ? '\0' : '\1');
    for (const QChar c : text)
        out += narrow ? QByteArray(1, char(c.unicode())) : Le16(c.unicode());
    return out;
}

constexpr int kDateXf = 1;     // "yyyy-mm-dd"
constexpr int kDateTimeXf = 2; // "yyyy-mm-dd hh:mm:ss"

inline double Serial(const QDateTime& t, bool date1904) {
    const QDate base = date1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    return double(base.daysTo(t.date())) + t.time().msecsSinceStartOfDay() / 86400000.0;
}

inline QByteArray Bof(int kind) {
    return Record(0x0809,
                  Le16(0x0600) + Le16(kind) + Le16(0x0DBB) + Le16(0x07CC) + Le32(0) + Le32(6));
}

// A cell format: font 0, number format fmt; a style format (the first) or a cell format.
inline QByteArray Xf(int fmt, bool style) {
    return Record(0x00E0, Le16(0) + Le16(fmt) + Le16(style ? 0xFFF5 : 0x0001) + Le16(0x20) +
                              QByteArray(12, '\0'));
}

inline QByteArray SheetStream(const Sheet& sheet, const std::vector<QString>& strings,
                              bool date1904) {
    int columns = 0;
    for (const auto& row : sheet.rows)
        columns = std::max(columns, int(row.size()));
    QByteArray out = Bof(0x0010);
    out += Record(0x0200,
                  Le32(0) + Le32(quint32(sheet.rows.size())) + Le16(0) + Le16(columns) + Le16(0));
    for (int r = 0; r < int(sheet.rows.size()); ++r) {
        for (int c = 0; c < int(sheet.rows[size_t(r)].size()); ++c) {
            const QVariant& v = sheet.rows[size_t(r)][size_t(c)];
            if (v.isNull())
                continue;
            const QByteArray at = Le16(r) + Le16(c);
            switch (v.typeId()) {
            case QMetaType::QString: {
                const auto i = std::find(strings.begin(), strings.end(), v.toString());
                out += Record(0x00FD, at + Le16(0) + Le32(quint32(i - strings.begin())));
                break;
            }
            case QMetaType::Bool:
                out += Record(0x0205, at + Le16(0) + char(v.toBool() ? 1 : 0) + '\0');
                break;
            case QMetaType::QDate:
                out +=
                    Record(0x0203, at + Le16(kDateXf) +
                                       LeDouble(Serial(v.toDate().startOfDay(Qt::UTC), date1904)));
                break;
            case QMetaType::QDateTime:
                out += Record(0x0203,
                              at + Le16(kDateTimeXf) + LeDouble(Serial(v.toDateTime(), date1904)));
                break;
            default:
                out += Record(0x0203, at + Le16(0) + LeDouble(v.toDouble()));
            }
        }
    }
    return out + Record(0x000A, {});
}

// The shared strings: whole strings only, a CONTINUE record where the next would not fit.
inline QByteArray Sst(const std::vector<QString>& strings, int total) {
    std::vector<QByteArray> records{Le32(quint32(total)) + Le32(quint32(strings.size()))};
    for (const QString& s : strings) {
        const QByteArray one = Le16(int(s.size())) + Chars(s);
        if (records.back().size() + one.size() > 8224)
            records.emplace_back();
        records.back() += one;
    }
    QByteArray out = Record(0x00FC, records[0]);
    for (size_t i = 1; i < records.size(); ++i)
        out += Record(0x003C, records[i]);
    return out;
}

// The BIFF8 workbook stream.
inline QByteArray Biff(const std::vector<Sheet>& sheets, bool date1904 = false) {
    std::vector<QString> strings;
    int total = 0;
    for (const Sheet& sheet : sheets)
        for (const auto& row : sheet.rows)
            for (const QVariant& v : row)
                if (v.typeId() == QMetaType::QString) {
                    ++total;
                    if (std::find(strings.begin(), strings.end(), v.toString()) == strings.end())
                        strings.push_back(v.toString());
                }
    QByteArray globals =
        Bof(0x0005) + Record(0x0042, Le16(1200)) + Record(0x0022, Le16(date1904 ? 1 : 0));
    globals += Record(0x0031, Le16(200) + Le16(0) + Le16(0x7FFF) + Le16(400) + Le16(0) +
                                  QByteArray(4, '\0') + char(5) + Chars(QStringLiteral("Arial")));
    globals += Record(0x041E, Le16(164) + Le16(10) + Chars(QStringLiteral("yyyy-mm-dd")));
    globals += Record(0x041E, Le16(165) + Le16(19) + Chars(QStringLiteral("yyyy-mm-dd hh:mm:ss")));
    globals += Xf(0, true) + Xf(164, false) + Xf(165, false);
    std::vector<QByteArray> streams;
    int boundSheets = 0;
    for (const Sheet& sheet : sheets) {
        streams.push_back(SheetStream(sheet, strings, date1904));
        boundSheets += 4 + 7 + int(Chars(sheet.name).size());
    }
    const QByteArray tail = Sst(strings, total) + Record(0x000A, {});
    quint32 offset = quint32(globals.size() + boundSheets + tail.size());
    for (size_t i = 0; i < sheets.size(); ++i) {
        globals += Record(0x0085, Le32(offset) + Le16(0) + char(sheets[i].name.size()) +
                                      Chars(sheets[i].name));
        offset += quint32(streams[i].size());
    }
    QByteArray out = globals + tail;
    for (const QByteArray& s : streams)
        out += s;
    return out;
}

// The compound file: header, FAT sectors, the stream's sectors, one directory sector. A stream
// under 4096 bytes is padded to that size so that it lives in ordinary sectors.
inline QByteArray Compound(QByteArray stream) {
    constexpr int kSector = 512;
    constexpr quint32 kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSector = 0xFFFFFFFD;
    const quint32 size = quint32(std::max<qsizetype>(stream.size(), 4096));
    stream.append(
        QByteArray(qsizetype((size + kSector - 1) / kSector * kSector) - stream.size(), '\0'));
    const int data = int(stream.size() / kSector);
    int fats = 1;
    while (fats * 128 < fats + data + 1)
        ++fats;
    QByteArray header(kSector, '\0');
    const auto put = [](QByteArray& at, int offset, const QByteArray& bytes) {
        at.replace(offset, bytes.size(), bytes);
    };
    put(header, 0, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    put(header, 0x18, Le16(0x3E) + Le16(3) + Le16(0xFFFE) + Le16(9) + Le16(6));
    put(header, 0x2C,
        Le32(quint32(fats)) + Le32(quint32(fats + data)) + Le32(0) + Le32(4096) + Le32(kEnd) +
            Le32(0) + Le32(kEnd) + Le32(0));
    for (int i = 0; i < 109; ++i)
        put(header, 0x4C + 4 * i, Le32(i < fats ? quint32(i) : kFree));
    QByteArray fat;
    for (int i = 0; i < fats; ++i)
        fat += Le32(kFatSector);
    for (int i = 0; i < data; ++i)
        fat += Le32(i + 1 < data ? quint32(fats + i + 1) : kEnd);
    fat += Le32(kEnd);
    while (fat.size() < fats * kSector)
        fat += Le32(kFree);
    const auto entry = [&](const QString& name, int type, quint32 child, quint32 start,
                           quint32 length) {
        QByteArray e(128, '\0');
        if (name.isEmpty()) {
            put(e, 0x44, Le32(kFree) + Le32(kFree) + Le32(kFree));
            return e;
        }
        QByteArray utf16;
        for (const QChar c : name)
            utf16 += Le16(c.unicode());
        put(e, 0, utf16);
        put(e, 0x40, Le16(int(utf16.size()) + 2));
        e[0x42] = char(type);
        e[0x43] = 1; // black
        put(e, 0x44, Le32(kFree) + Le32(kFree) + Le32(child));
        put(e, 0x74, Le32(start) + Le32(length));
        return e;
    };
    const QByteArray directory = entry(QStringLiteral("Root Entry"), 5, 1, kEnd, 0) +
                                 entry(QStringLiteral("Workbook"), 2, kFree, quint32(fats), size) +
                                 entry({}, 0, 0, 0, 0) + entry({}, 0, 0, 0, 0);
    return header + fat + stream + directory;
}

inline QByteArray Workbook(const std::vector<Sheet>& sheets, bool date1904 = false) {
    return Compound(Biff(sheets, date1904));
}

} // namespace xlswriter
