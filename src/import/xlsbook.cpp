#include "xlsbook.h"

#include "codepage.h"
#include "source.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>

namespace import::xls {
namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kNoStream = 0xFFFFFFFF;
constexpr qint64 kMaxFileBytes = qint64(1) << 30;
constexpr quint32 kMiniCutoff = 4096;
constexpr int kMiniSector = 64;
constexpr size_t kMaxSheets = 4096;

quint16 U16(const uchar* p) {
    return quint16(p[0] | p[1] << 8);
}
quint32 U32(const uchar* p) {
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}
double F64(const uchar* p) {
    const quint64 u = U32(p) | quint64(U32(p + 4)) << 32;
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString Utf16(const uchar* p, qsizetype count) {
    QString s(count, Qt::Uninitialized);
    for (qsizetype i = 0; i < count; ++i)
        s[i] = QChar(U16(p + 2 * i));
    return s;
}

// An RK value: a 30-bit integer or the high 30 bits of a double, maybe divided by 100.
double Rk(quint32 rk) {
    double d;
    if (rk & 2) {
        d = double(qint32(rk) >> 2);
    } else {
        const quint64 u = quint64(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&d, &u, sizeof d);
    }
    return (rk & 1) ? d / 100 : d;
}

// ---- The compound file

class Compound {
public:
    using Damaged = std::function<void(const QString&)>;

    Compound(const QByteArray& file, Damaged damaged)
        : m_file(file), m_damaged(std::move(damaged)) {
        const uchar* h = bytes(0);
        const int shift = U16(h + 0x1E);
        if (shift != 9 && shift != 12)
            fail(QStringLiteral("its sector size is not 512 or 4096 bytes"));
        if (U16(h + 0x20) != 6)
            fail(QStringLiteral("its mini sector size is not 64 bytes"));
        m_sector = 1u << shift;
        m_sectors = (qint64(file.size()) - m_sector + m_sector - 1) / m_sector;
        if (m_sectors < 1)
            fail(QStringLiteral("it is cut short"));
        readFat(h);
        readDirectory(U32(h + 0x30));
        // The mini stream is the root's stream; its sectors are listed by the mini FAT.
        const Entry& root = m_entries[0];
        if (root.size > 0)
            m_mini = chain(root.start, root.size, false);
        if (root.size > 0 || U32(h + 0x3C) != kEndOfChain) {
            const QByteArray table =
                chain(U32(h + 0x3C), std::min<qint64>(m_sectors, qint64(U32(h + 0x40))) * m_sector,
                      false, true);
            for (qsizetype i = 0; i + 4 <= table.size(); i += 4)
                m_miniFat.push_back(U32(reinterpret_cast<const uchar*>(table.constData()) + i));
        }
    }

    // The stream of that name among the root's children, or a null array.
    QByteArray stream(QStringView name) const {
        for (const Entry& e : m_entries)
            if (e.childOfRoot && e.type == 2 && e.name.compare(name, Qt::CaseInsensitive) == 0)
                return e.size == 0 ? QByteArray("") : chain(e.start, e.size, e.size < kMiniCutoff);
        return {};
    }

private:
    struct Entry {
        QString name;
        int type = 0; // 1 storage, 2 stream, 5 root
        quint32 left = kNoStream, right = kNoStream, child = kNoStream;
        quint32 start = 0;
        qint64 size = 0;
        bool childOfRoot = false;
    };

    [[noreturn]] void fail(const QString& why) const {
        m_damaged(why);
        throw SourceError(why); // not reached: m_damaged throws
    }

    const uchar* bytes(qint64 at) const {
        return reinterpret_cast<const uchar*>(m_file.constData()) + at;
    }

    // Appends up to want bytes of a sector; a last sector cut short reads as zeros past the end.
    void append(QByteArray& out, quint32 id, qint64 want) const {
        if (qint64(id) >= m_sectors)
            fail(QStringLiteral("a sector chain leads past the end of the file"));
        const qint64 at = (qint64(id) + 1) * m_sector;
        const qint64 n = std::min<qint64>(want, m_sector);
        const qint64 present = std::clamp<qint64>(qint64(m_file.size()) - at, 0, n);
        if (present > 0)
            out.append(reinterpret_cast<const char*>(bytes(at)), present);
        out.append(QByteArray(n - present, '\0'));
    }

    void readFat(const uchar* h) {
        const quint32 count = U32(h + 0x2C);
        if (qint64(count) > m_sectors)
            fail(QStringLiteral("it claims more sector tables than it has sectors"));
        std::vector<quint32> ids;
        for (int i = 0; i < 109 && ids.size() < count; ++i)
            if (U32(h + 0x4C + 4 * i) != kNoStream)
                ids.push_back(U32(h + 0x4C + 4 * i));
        // Further FAT sector numbers are in a chain of DIFAT sectors, each ending with the next.
        std::vector<bool> seen(size_t(m_sectors), false);
        const int perSector = int(m_sector / 4) - 1;
        for (quint32 d = U32(h + 0x44); ids.size() < count && d != kEndOfChain && d != kNoStream;) {
            if (qint64(d) >= m_sectors)
                fail(QStringLiteral("its sector table list leads past the end of the file"));
            if (seen[d])
                fail(QStringLiteral("its sector table list runs in a loop"));
            seen[d] = true;
            QByteArray sector;
            append(sector, d, m_sector);
            const uchar* p = reinterpret_cast<const uchar*>(sector.constData());
            for (int k = 0; k < perSector && ids.size() < count; ++k)
                if (U32(p + 4 * k) != kNoStream)
                    ids.push_back(U32(p + 4 * k));
            d = U32(p + 4 * perSector);
        }
        if (ids.size() < count)
            fail(QStringLiteral("its sector table list is cut short"));
        QByteArray fat;
        for (const quint32 id : ids)
            append(fat, id, m_sector);
        m_fat.resize(size_t(fat.size() / 4));
        for (size_t i = 0; i < m_fat.size(); ++i)
            m_fat[i] = U32(reinterpret_cast<const uchar*>(fat.constData()) + 4 * i);
    }

    // A stream of size bytes from its first sector, in sectors or in mini sectors. A whole
    // chain (wholeChain) is read to its end, up to size bytes.
    QByteArray chain(quint32 start, qint64 size, bool mini, bool wholeChain = false) const {
        const std::vector<quint32>& table = mini ? m_miniFat : m_fat;
        const qint64 unit = mini ? kMiniSector : m_sector;
        const qint64 room = mini ? qint64(m_mini.size()) : m_sectors * m_sector;
        if (size > room)
            fail(QStringLiteral("a stream is larger than the file"));
        QByteArray out;
        if (!wholeChain)
            out.reserve(qsizetype(size));
        std::vector<bool> seen(table.size(), false);
        quint32 id = start;
        while (out.size() < size) {
            if (id == kEndOfChain && wholeChain)
                break;
            if (id >= table.size())
                fail(id == kEndOfChain
                         ? QStringLiteral("a stream is cut short")
                         : QStringLiteral("a sector chain leads past the end of the file"));
            if (seen[id])
                fail(QStringLiteral("a sector chain runs in a loop"));
            seen[id] = true;
            const qint64 want = std::min<qint64>(unit, size - out.size());
            if (mini) {
                if ((qint64(id) + 1) * kMiniSector > m_mini.size())
                    fail(QStringLiteral(
                        "a mini sector chain leads past the end of the mini stream"));
                out.append(m_mini.constData() + qint64(id) * kMiniSector, want);
            } else {
                append(out, id, want);
            }
            id = table[id];
        }
        return out;
    }

    void readDirectory(quint32 start) {
        const QByteArray dir = chain(start, m_sectors * m_sector, false, true);
        const uchar* d = reinterpret_cast<const uchar*>(dir.constData());
        for (qsizetype at = 0; at + 128 <= dir.size(); at += 128) {
            const uchar* e = d + at;
            Entry entry;
            entry.type = e[0x42];
            if (entry.type == 1 || entry.type == 2 || entry.type == 5) {
                const int length = U16(e + 0x40);
                if (length > 64 || length % 2)
                    fail(QStringLiteral("a name in its directory is longer than its field"));
                entry.name = Utf16(e, std::max(0, length / 2 - 1));
                entry.left = U32(e + 0x44);
                entry.right = U32(e + 0x48);
                entry.child = U32(e + 0x4C);
                entry.start = U32(e + 0x74);
                // The size's high half is only meant in 4096-byte sector files.
                entry.size = U32(e + 0x78) | (m_sector == 4096 ? qint64(U32(e + 0x7C)) << 32 : 0);
            }
            m_entries.push_back(entry);
        }
        if (m_entries.empty() || m_entries[0].type != 5)
            fail(QStringLiteral("its directory has no root"));
        // The root's children: a tree through left and right from the root's child.
        std::vector<bool> seen(m_entries.size(), false);
        std::vector<quint32> todo{m_entries[0].child};
        while (!todo.empty()) {
            const quint32 id = todo.back();
            todo.pop_back();
            if (id == kNoStream)
                continue;
            if (id >= m_entries.size() || id == 0)
                fail(QStringLiteral("its directory points outside itself"));
            if (seen[id])
                fail(QStringLiteral("its directory runs in a loop"));
            seen[id] = true;
            m_entries[id].childOfRoot = true;
            todo.push_back(m_entries[id].left);
            todo.push_back(m_entries[id].right);
        }
    }

    const QByteArray& m_file;
    Damaged m_damaged;
    qint64 m_sector = 512;
    qint64 m_sectors = 0;
    std::vector<quint32> m_fat, m_miniFat;
    std::vector<Entry> m_entries;
    QByteArray m_mini;
};

// ---- Records of the workbook stream

struct Record {
    quint16 type = 0;
    quint16 size = 0;
    const uchar* data = nullptr;
};

class Records {
public:
    Records(const QByteArray& stream, qint64 at, std::function<void(const QString&)> damaged)
        : m_data(reinterpret_cast<const uchar*>(stream.constData())), m_size(stream.size()),
          m_at(at), m_damaged(std::move(damaged)) {}

    bool next(Record& r) {
        if (m_at >= m_size)
            return false;
        if (m_at + 4 > m_size)
            m_damaged(QStringLiteral("its last record is cut short"));
        r.type = U16(m_data + m_at);
        r.size = U16(m_data + m_at + 2);
        if (m_at + 4 + r.size > m_size)
            m_damaged(QStringLiteral("a record runs past the end of the workbook"));
        r.data = m_data + m_at + 4;
        m_at += 4 + r.size;
        return true;
    }
    // The type of the next record, 0 at the end.
    quint16 peek() const { return m_at + 4 <= m_size ? U16(m_data + m_at) : 0; }

private:
    const uchar* m_data;
    qint64 m_size;
    qint64 m_at;
    std::function<void(const QString&)> m_damaged;
};

// The bytes of a record and the CONTINUE records after it, read as one; characters of a string
// that go on in the next record start there with their flags byte again.
class Pieces {
public:
    explicit Pieces(std::function<void(const QString&)> damaged) : m_damaged(std::move(damaged)) {}
    void add(const Record& r) { m_pieces.push_back(r); }

    bool atEnd() {
        settle();
        return m_piece >= m_pieces.size();
    }
    uchar byte() {
        settle();
        if (m_piece >= m_pieces.size())
            m_damaged(QStringLiteral("its shared strings are cut short"));
        return m_pieces[m_piece].data[m_at++];
    }
    quint16 u16() {
        const quint16 lo = byte();
        return quint16(lo | byte() << 8);
    }
    quint32 u32() {
        const quint32 lo = u16();
        return lo | quint32(u16()) << 16;
    }
    void skip(quint64 n) {
        while (n > 0) {
            settle();
            if (m_piece >= m_pieces.size())
                m_damaged(QStringLiteral("its shared strings are cut short"));
            const quint64 step = std::min<quint64>(n, m_pieces[m_piece].size - m_at);
            m_at += int(step);
            n -= step;
        }
    }
    QString chars(int count, bool wide) {
        QString out;
        out.reserve(count);
        while (count > 0) {
            if (m_piece < m_pieces.size() && m_at >= m_pieces[m_piece].size) {
                ++m_piece;
                m_at = 0;
                if (m_piece >= m_pieces.size() || m_pieces[m_piece].size == 0)
                    m_damaged(QStringLiteral("its shared strings are cut short"));
                wide = m_pieces[m_piece].data[m_at++] & 1;
            }
            if (m_piece >= m_pieces.size())
                m_damaged(QStringLiteral("its shared strings are cut short"));
            const Record& r = m_pieces[m_piece];
            const int unit = wide ? 2 : 1;
            const int n = std::min(count, (r.size - m_at) / unit);
            if (n == 0)
                m_damaged(QStringLiteral("a shared string splits a character"));
            const uchar* p = r.data + m_at;
            if (wide)
                out += Utf16(p, n);
            else
                out += QLatin1StringView(reinterpret_cast<const char*>(p), n);
            m_at += n * unit;
            count -= n;
        }
        return out;
    }

private:
    void settle() {
        while (m_piece < m_pieces.size() && m_at >= m_pieces[m_piece].size) {
            ++m_piece;
            m_at = 0;
        }
    }

    std::vector<Record> m_pieces;
    size_t m_piece = 0;
    int m_at = 0;
    std::function<void(const QString&)> m_damaged;
};


// A text with a count of countBytes (1 or 2) before it; BIFF8 adds a flags byte that tells
// 16-bit characters from 8-bit ones. Empty when the text runs past its record.
template <typename Decode>
std::optional<QString> RecordText(const Record& rec, int at, int countBytes, bool biff8, const Decode& decode) {
    if (at + countBytes > rec.size)
        return std::nullopt;
    const int count = countBytes == 1 ? rec.data[at] : U16(rec.data + at);
    at += countBytes;
    if (!biff8) {
        if (at + count > rec.size)
            return std::nullopt;
        return decode(QByteArray(reinterpret_cast<const char*>(rec.data + at), count));
    }
    if (at + 1 > rec.size)
        return std::nullopt;
    const bool wide = rec.data[at++] & 1;
    if (at + count * (wide ? 2 : 1) > rec.size)
        return std::nullopt;
    return wide ? Utf16(rec.data + at, count)
                : QString::fromLatin1(reinterpret_cast<const char*>(rec.data + at), count);
}

} // namespace

Book::Book(const QString& path) : m_shown(Shown(path)) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw SourceError(QStringLiteral("The file \"%1\" cannot be opened: %2.")
                              .arg(m_shown, file.errorString()));
    if (file.size() > kMaxFileBytes)
        throw SourceError(QStringLiteral("The workbook \"%1\" is larger than %2 MB, more than "
                                         "can be imported.")
                              .arg(m_shown)
                              .arg(kMaxFileBytes / (1024 * 1024)));
    *this = Book(file.readAll(), path);
}

Book::Book(const QByteArray& bytes, const QString& shown) : m_shown(Shown(shown)) {
    if (bytes.size() < 512 || !bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        throw SourceError(QStringLiteral("The file \"%1\" is not an Excel workbook.").arg(m_shown));
    const Compound compound(bytes, [this](const QString& why) { damaged(why); });
    m_stream = compound.stream(u"Workbook");
    if (m_stream.isNull())
        m_stream = compound.stream(u"Book");
    if (m_stream.isNull()) {
        if (!compound.stream(u"EncryptedPackage").isNull())
            throw SourceError(QStringLiteral("The workbook \"%1\" is encrypted; save it without a "
                                             "password to import it.")
                                  .arg(m_shown));
        throw SourceError(QStringLiteral("The file \"%1\" is not an Excel workbook (it may be "
                                         "another Office document).")
                              .arg(m_shown));
    }
    readGlobals();
}

void Book::damaged(const QString& why) const {
    throw SourceError(QStringLiteral("The workbook \"%1\" is damaged: %2.").arg(m_shown, why));
}

QString Book::decode(const QByteArray& bytes) const {
    return DecodeCodePage(bytes, m_codePage);
}

void Book::readGlobals() {
    const auto fail = [this](const QString& why) { damaged(why); };
    Records records(m_stream, 0, fail);
    Record r;
    if (!records.next(r) || (r.type & 0xFF) != 0x09)
        fail(QStringLiteral("its workbook stream does not start with a beginning record"));
    if (r.type != 0x0809 || r.size < 4)
        throw SourceError(QStringLiteral("The file \"%1\" is an Excel 4.0 or older file, which "
                                         "cannot be read; save it as a newer workbook first.")
                              .arg(m_shown));
    const quint16 version = U16(r.data);
    if (version != 0x0600 && version != 0x0500)
        fail(QStringLiteral("its workbook is of an unknown version (%1)")
                 .arg(version, 4, 16, QChar(u'0')));
    m_biff8 = version == 0x0600;
    if (U16(r.data + 2) != 0x0005)
        fail(QStringLiteral("its workbook stream does not start with the workbook's globals"));
    const auto text = [&](const Record& rec, int at, int countBytes) {
        const auto t = RecordText(rec, at, countBytes, m_biff8, [this](const QByteArray& b) { return decode(b); });
        if (!t)
            fail(QStringLiteral("a text is longer than its record"));
        return *t;
    };
    for (;;) {
        if (!records.next(r))
            fail(QStringLiteral("its workbook's globals end without their end record"));
        switch (r.type) {
        case 0x000A: // EOF
            return;
        case 0x002F: // FILEPASS
            throw SourceError(QStringLiteral("The workbook \"%1\" is encrypted; save it without a "
                                             "password to import it.")
                                  .arg(m_shown));
        case 0x0042: // CODEPAGE
            if (r.size >= 2) {
                const int cp = U16(r.data);
                m_codePage = cp == 32769 || cp == 1200 || cp == 367 ? 1252
                             : cp == 32768                          ? 10000
                                                                    : cp;
            }
            break;
        case 0x0022: // DATEMODE
            m_date1904 = r.size >= 2 && U16(r.data) == 1;
            break;
        case 0x041E: // FORMAT
            if (r.size < 2)
                fail(QStringLiteral("a number format is cut short"));
            m_formats.insert(U16(r.data), text(r, 2, m_biff8 ? 2 : 1));
            break;
        case 0x00E0: // XF
            if (r.size < 4)
                fail(QStringLiteral("a cell format is cut short"));
            m_xfFormats.push_back(U16(r.data + 2));
            break;
        case 0x0085: // BOUNDSHEET
            if (r.size < 7)
                fail(QStringLiteral("a sheet's entry is cut short"));
            if (m_names.size() >= kMaxSheets)
                fail(QStringLiteral("it lists more than %1 sheets").arg(kMaxSheets));
            if (r.data[5] == 0) { // a worksheet, not a chart or macro sheet
                m_offsets.push_back(U32(r.data));
                m_names.push_back(text(r, 6, 1));
            }
            break;
        case 0x00FC: { // SST, and the CONTINUE records that go on with it
            Pieces pieces(fail);
            if (r.size < 8)
                fail(QStringLiteral("its shared strings are cut short"));
            const quint32 unique = U32(r.data + 4);
            Record first = r;
            first.data += 8;
            first.size -= 8;
            pieces.add(first);
            qint64 bytes = first.size;
            while (records.peek() == 0x003C) {
                records.next(r);
                pieces.add(r);
                bytes += r.size;
            }
            m_strings.clear();
            m_strings.reserve(size_t(std::min<qint64>(unique, bytes / 3)));
            for (quint32 i = 0; i < unique && !pieces.atEnd(); ++i) {
                const int count = pieces.u16();
                const uchar flags = pieces.byte();
                const int runs = (flags & 8) ? pieces.u16() : 0;
                const quint32 extra = (flags & 4) ? pieces.u32() : 0;
                m_strings.push_back(pieces.chars(count, flags & 1));
                pieces.skip(quint64(runs) * 4 + extra);
            }
            break;
        }
        default:
            break;
        }
    }
}

SheetCells Book::readSheet(size_t index) const {
    SheetCells out;
    if (index >= m_offsets.size())
        return out;
    const QString& name = m_names[index];
    const auto fail = [&](const QString& why) {
        damaged(QStringLiteral("in the sheet \"%1\", %2").arg(name, why));
    };
    if (m_offsets[index] >= quint32(m_stream.size()))
        fail(QStringLiteral("the sheet lies past the end of the workbook"));
    Records records(m_stream, m_offsets[index], fail);
    Record r;
    if (!records.next(r) || r.type != 0x0809 || r.size < 4)
        fail(QStringLiteral("the sheet does not start where the workbook says"));
    const quint16 kind = U16(r.data + 2);
    if (kind == 0x0020 || kind == 0x0040 || kind == 0x0006)
        return out; // a chart, macro or module sheet listed as a worksheet
    if (kind != 0x0010)
        fail(QStringLiteral("the sheet does not start where the workbook says"));
    const auto text = [&](const Record& rec, int at) {
        const auto t = RecordText(rec, at, 2, m_biff8, [this](const QByteArray& b) { return decode(b); });
        if (!t)
            fail(QStringLiteral("a text is longer than its record"));
        return *t;
    };
    const auto cell = [&](const uchar* p, Cell::Kind kind) -> Cell& {
        Cell c;
        c.row = U16(p);
        c.column = U16(p + 2);
        c.xf = U16(p + 4);
        c.kind = kind;
        if (c.column >= kMaxColumns)
            fail(QStringLiteral("a cell lies past the last column"));
        out.cells.push_back(c);
        return out.cells.back();
    };
    const auto addText = [&](const uchar* p, const QString& t) {
        cell(p, Cell::Kind::Text).text = quint32(out.texts.size());
        out.texts.push_back(t);
    };
    // A formula whose value is a text: the text follows in a STRING record.
    bool stringPending = false;
    uchar pendingAt[6] = {};
    int depth = 1;
    while (depth > 0) {
        if (!records.next(r))
            fail(QStringLiteral("the sheet ends without its end record"));
        if (r.type == 0x0809) {
            ++depth; // a chart's records inside the sheet
            continue;
        }
        if (r.type == 0x000A) {
            --depth;
            continue;
        }
        if (depth > 1)
            continue;
        const auto need = [&](int size) {
            if (r.size < size)
                fail(QStringLiteral("a cell's record is cut short"));
        };
        if (r.type == 0x0207) { // STRING
            if (stringPending)
                addText(pendingAt, text(r, 0));
            stringPending = false;
            continue;
        }
        switch (r.type) {
        case 0x0203: // NUMBER
            need(14);
            cell(r.data, Cell::Kind::Number).number = F64(r.data + 6);
            break;
        case 0x027E: // RK
            need(10);
            cell(r.data, Cell::Kind::Number).number = Rk(U32(r.data + 6));
            break;
        case 0x00BD: { // MULRK: row, first column, (xf, rk) each, last column
            need(6);
            if ((r.size - 6) % 6)
                fail(QStringLiteral("a cell's record is cut short"));
            uchar at[6];
            std::memcpy(at, r.data, 4);
            const int first = U16(r.data + 2);
            for (int k = 0; k < (r.size - 6) / 6; ++k) {
                const uchar* v = r.data + 4 + 6 * k;
                at[2] = uchar(first + k);
                at[3] = uchar((first + k) >> 8);
                std::memcpy(at + 4, v, 2);
                if (first + k >= kMaxColumns)
                    fail(QStringLiteral("a cell lies past the last column"));
                cell(at, Cell::Kind::Number).number = Rk(U32(v + 2));
            }
            break;
        }
        case 0x0205: // BOOLERR: a value and whether it is an error
            need(8);
            if (r.data[7] == 0)
                cell(r.data, Cell::Kind::Boolean).flag = r.data[6] != 0;
            break;
        case 0x00FD: { // LABELSST
            need(10);
            const quint32 i = U32(r.data + 6);
            if (i >= m_strings.size())
                fail(QStringLiteral("a cell names a shared string that is not there"));
            addText(r.data, m_strings[i]);
            break;
        }
        case 0x0204: // LABEL
        case 0x00D6: // RSTRING, its formatting runs after the text
            need(6);
            addText(r.data, text(r, 6));
            break;
        case 0x0006: { // FORMULA with its last value
            need(20);
            const uchar* v = r.data + 6;
            if (U16(v + 6) != 0xFFFF) {
                cell(r.data, Cell::Kind::Number).number = F64(v);
            } else if (v[0] == 0) {
                stringPending = true;
                std::memcpy(pendingAt, r.data, 6);
                continue;
            } else if (v[0] == 1) {
                cell(r.data, Cell::Kind::Boolean).flag = v[2] != 0;
            } else if (v[0] == 3) {
                addText(r.data, QString());
            }
            break;
        }
        default:
            continue; // BLANK, MULBLANK, DIMENSIONS and formatting: no value
        }
        stringPending = false;
    }
    // Cells in row and column order, as Excel writes them; of a cell given twice, the last.
    const auto before = [](const Cell& a, const Cell& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    };
    if (std::adjacent_find(out.cells.begin(), out.cells.end(), [&](const Cell& a, const Cell& b) {
            return !before(a, b);
        }) == out.cells.end())
        return out;
    std::stable_sort(out.cells.begin(), out.cells.end(), before);
    const auto same = [](const Cell& a, const Cell& b) {
        return a.row == b.row && a.column == b.column;
    };
    size_t kept = 0;
    for (size_t i = 0; i < out.cells.size(); ++i) {
        if (i + 1 < out.cells.size() && same(out.cells[i], out.cells[i + 1]))
            continue;
        out.cells[kept++] = out.cells[i];
    }
    out.cells.resize(kept);
    return out;
}

} // namespace import::xls
