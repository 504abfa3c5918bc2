#pragma once

// A small Excel 97-2003 workbook (.xls), for tests and fuzz seeds: a BIFF8 workbook stream
// (globals with date formats, cell formats, shared strings and the sheet list, then one
// substream per sheet) inside a compound file of 512-byte sectors with the stream "Workbook".
// Cells: QString (LABELSST), bool (BOOLERR), int or double (NUMBER), QDate or QDateTime
// (NUMBER formatted as a date, or as a date and time); a null QVariant is no cell. RawBiff
// makes a workbook of records given as they stand (BIFF5 or BIFF8), Compound can lay the stream
// out in 4096-byte sectors, in the mini stream or with DIFAT sectors.
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

// How the compound file is laid out.
struct CompoundOptions {
    int sectorShift = 9;  // 9: 512-byte sectors (version 3); 12: 4096-byte sectors (version 4)
    bool mini = false;    // a stream under 4096 bytes goes into the mini stream, else is padded
    int headerFats = 109; // FAT sector numbers in the header; the others in DIFAT sectors
    QString name = QStringLiteral("Workbook");
};

// The compound file: header, FAT sectors, DIFAT sectors, the stream's sectors, the directory,
// then, with a mini stream, its table and the mini stream itself (the root's stream).
inline QByteArray Compound(QByteArray stream, const CompoundOptions& o = {}) {
    constexpr quint32 kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF, kFatSector = 0xFFFFFFFD,
                      kDifSector = 0xFFFFFFFC;
    const int sector = 1 << o.sectorShift;
    const int perSector = sector / 4;
    const bool mini = o.mini && stream.size() < 4096;
    const quint32 size =
        mini ? quint32(stream.size()) : quint32(std::max<qsizetype>(stream.size(), 4096));
    const auto padded = [](QByteArray b, int unit, char fill) {
        b.append(QByteArray((unit - b.size() % unit) % unit, fill));
        return b;
    };
    QByteArray miniFat, miniStream;
    if (mini) {
        miniStream = padded(stream, 64, '\0');
        const int n = int(miniStream.size() / 64);
        for (int i = 0; i < n; ++i)
            miniFat += Le32(i + 1 < n ? quint32(i + 1) : kEnd);
        miniFat = padded(miniFat, sector, '\xFF');
        miniStream = padded(miniStream, sector, '\0');
        stream.clear();
    } else {
        stream = padded(stream + QByteArray(qsizetype(size) - stream.size(), '\0'), sector, '\0');
    }
    const int streamSectors = int(stream.size() / sector);
    const int dirSectors = 1;
    const int miniFatSectors = int(miniFat.size() / sector);
    const int miniSectors = int(miniStream.size() / sector);
    const int data = streamSectors + dirSectors + miniFatSectors + miniSectors;
    int fats = 1, difats = 0;
    for (;;) {
        difats = std::max(0, fats - o.headerFats + perSector - 2) / (perSector - 1);
        if (fats * perSector >= fats + difats + data)
            break;
        ++fats;
    }
    const int firstData = fats + difats;
    const int dirStart = firstData + streamSectors;
    const int miniFatStart = dirStart + dirSectors;
    const int miniStart = miniFatStart + miniFatSectors;
    QByteArray header(sector, '\0');
    const auto put = [](QByteArray& at, int offset, const QByteArray& bytes) {
        at.replace(offset, bytes.size(), bytes);
    };
    put(header, 0, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    put(header, 0x18,
        Le16(0x3E) + Le16(o.sectorShift == 12 ? 4 : 3) + Le16(0xFFFE) + Le16(o.sectorShift) +
            Le16(6));
    put(header, 0x28, Le32(o.sectorShift == 12 ? quint32(dirSectors) : 0));
    put(header, 0x2C,
        Le32(quint32(fats)) + Le32(quint32(dirStart)) + Le32(0) + Le32(4096) +
            Le32(mini ? quint32(miniFatStart) : kEnd) + Le32(quint32(miniFatSectors)) +
            Le32(difats ? quint32(fats) : kEnd) + Le32(quint32(difats)));
    for (int i = 0; i < 109; ++i)
        put(header, 0x4C + 4 * i, Le32(i < std::min(fats, o.headerFats) ? quint32(i) : kFree));
    QByteArray difat;
    for (int d = 0, next = std::min(fats, o.headerFats); d < difats; ++d) {
        for (int k = 0; k < perSector - 1; ++k, ++next)
            difat += Le32(next < fats ? quint32(next) : kFree);
        difat += Le32(d + 1 < difats ? quint32(fats + d + 1) : kEnd);
    }
    QByteArray fat;
    for (int i = 0; i < fats; ++i)
        fat += Le32(kFatSector);
    for (int i = 0; i < difats; ++i)
        fat += Le32(kDifSector);
    const auto chain = [&](int first, int count) {
        for (int i = 0; i < count; ++i)
            fat += Le32(i + 1 < count ? quint32(first + i + 1) : kEnd);
    };
    chain(firstData, streamSectors);
    chain(dirStart, dirSectors);
    chain(miniFatStart, miniFatSectors);
    chain(miniStart, miniSectors);
    fat = padded(fat, sector, '\xFF');
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
    QByteArray directory =
        entry(QStringLiteral("Root Entry"), 5, 1, mini ? quint32(miniStart) : kEnd,
              mini ? quint32(miniStream.size()) : 0) +
        entry(o.name, 2, kFree, mini ? 0 : quint32(firstData), size);
    while (directory.size() < sector)
        directory += entry({}, 0, 0, 0, 0);
    return header + fat + difat + stream + directory + miniFat + miniStream;
}

inline QByteArray Workbook(const std::vector<Sheet>& sheets, bool date1904 = false) {
    return Compound(Biff(sheets, date1904));
}

// ---- Workbooks of raw records, for records the writer above does not make

// The first three fields of a cell's record.
inline QByteArray At(int row, int column, int xf = 0) {
    return Le16(row) + Le16(column) + Le16(xf);
}
// An RK value: an integer of 30 bits, or a double of which only the high 30 bits are kept.
inline quint32 RkInt(int v, bool hundredths = false) {
    return quint32(v) << 2 | 2 | (hundredths ? 1 : 0);
}
inline quint32 RkDouble(double d) {
    quint64 u;
    std::memcpy(&u, &d, sizeof u);
    return quint32(u >> 32) & 0xFFFFFFFC;
}
inline QByteArray Rk(int row, int column, quint32 rk) {
    return Record(0x027E, At(row, column) + Le32(rk));
}
inline QByteArray MulRk(int row, int column, const std::vector<quint32>& rks) {
    QByteArray data = Le16(row) + Le16(column);
    for (const quint32 rk : rks)
        data += Le16(0) + Le32(rk);
    return Record(0x00BD, data + Le16(column + int(rks.size()) - 1));
}
// A text with a 16-bit count: BIFF8 with its flags byte, BIFF5 as Latin-1 bytes.
inline QByteArray Text16(const QString& text, bool biff5) {
    return Le16(int(text.size())) + (biff5 ? text.toLatin1() : Chars(text));
}
inline QByteArray Label(int row, int column, const QString& text, bool biff5 = false) {
    return Record(0x0204, At(row, column) + Text16(text, biff5));
}
// A formula's last value: a number, or a kind (0 text, 1 boolean, 2 error, 3 empty text) with
// its byte; the formula itself is left empty.
inline QByteArray Formula(int row, int column, const QByteArray& value) {
    return Record(0x0006, At(row, column) + value + Le16(0) + Le32(0) + Le16(0));
}
inline QByteArray FormulaValue(int kind, int byte = 0) {
    return QByteArray(1, char(kind)) + '\0' + char(byte) + QByteArray(3, '\0') + Le16(0xFFFF);
}
inline QByteArray String(const QString& text, bool biff5 = false) {
    return Record(0x0207, Text16(text, biff5));
}

struct RawSheet {
    QString name;
    QByteArray records; // between the sheet's BOF and EOF
    int type = 0;       // in the sheet list: 0 worksheet, 2 chart
};

// A workbook stream of the given sheets; globals (an SST, say) go before the sheet list. BIFF5
// text is Latin-1 bytes, read through the code page given.
inline QByteArray RawBiff(const std::vector<RawSheet>& sheets, bool biff5 = false,
                          const QByteArray& globals = {}, int codePage = 1252) {
    const auto bof = [&](int kind) {
        return Record(0x0809, Le16(biff5 ? 0x0500 : 0x0600) + Le16(kind) + Le16(0x0DBB) +
                                  Le16(0x07CC) + (biff5 ? QByteArray() : Le32(0) + Le32(6)));
    };
    const auto shortText = [&](const QString& t) {
        return QByteArray(1, char(t.size())) + (biff5 ? t.toLatin1() : Chars(t));
    };
    QByteArray head = bof(0x0005) + Record(0x0042, Le16(codePage));
    head += Record(0x041E, Le16(164) + (biff5 ? shortText(QStringLiteral("yyyy-mm-dd"))
                                              : Le16(10) + Chars(QStringLiteral("yyyy-mm-dd"))));
    head += Xf(0, true) + Xf(164, false) + globals;
    std::vector<QByteArray> streams;
    int list = 0;
    for (const RawSheet& s : sheets) {
        streams.push_back(bof(s.type == 2 ? 0x0020 : 0x0010) + s.records + Record(0x000A, {}));
        list += 4 + 6 + int(shortText(s.name).size());
    }
    quint32 offset = quint32(head.size() + list + 4);
    for (size_t i = 0; i < sheets.size(); ++i) {
        head += Record(0x0085,
                       Le32(offset) + char(0) + char(sheets[i].type) + shortText(sheets[i].name));
        offset += quint32(streams[i].size());
    }
    head += Record(0x000A, {});
    for (const QByteArray& s : streams)
        head += s;
    return head;
}

} // namespace xlswriter
