#include "import/dbfreader.h"

#include "import/codepage.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace import {
namespace {

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void Fail(const QString& path, const QString& what) {
    throw SourceError(QStringLiteral("%1: %2").arg(Native(path), what));
}

quint16 U16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}
quint32 U32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}

// ---- Text ----------------------------------------------------------------------------------

// The Polish and Czech DOS pages are not in iconv: both are page 437 with some letters changed.
std::array<char16_t, 128> Page437With(std::initializer_list<std::pair<int, char16_t>> changes) {
    std::array<char16_t, 128> table{};
    QByteArray high(128, '\0');
    for (int i = 0; i < 128; ++i)
        high[i] = char(0x80 + i);
    const QString decoded = DecodeCodePage(high, 437);
    for (int i = 0; i < 128; ++i)
        table[size_t(i)] = i < decoded.size() ? decoded[i].unicode() : 0xFFFD;
    for (const auto& [byte, letter] : changes)
        table[size_t(byte - 0x80)] = letter;
    return table;
}

const std::array<char16_t, 128>& MazoviaTable() {
    static const std::array<char16_t, 128> table = Page437With({{0x86, u'\u0105'},
                                                                {0x8D, u'\u0107'},
                                                                {0x8F, u'\u0104'},
                                                                {0x90, u'\u0118'},
                                                                {0x91, u'\u0119'},
                                                                {0x92, u'\u0142'},
                                                                {0x95, u'\u0106'},
                                                                {0x98, u'\u015A'},
                                                                {0x9C, u'\u0141'},
                                                                {0x9E, u'\u015B'},
                                                                {0xA0, u'\u0179'},
                                                                {0xA1, u'\u017B'},
                                                                {0xA3, u'\u00D3'},
                                                                {0xA4, u'\u0144'},
                                                                {0xA5, u'\u0143'},
                                                                {0xA6, u'\u017A'},
                                                                {0xA7, u'\u017C'}});
    return table;
}

const std::array<char16_t, 128>& KamenickyTable() {
    static const std::array<char16_t, 128> table =
        Page437With({{0x80, u'\u010C'}, {0x81, u'\u00FC'}, {0x82, u'\u00E9'}, {0x83, u'\u010F'},
                     {0x84, u'\u00E4'}, {0x85, u'\u010E'}, {0x86, u'\u0164'}, {0x87, u'\u010D'},
                     {0x88, u'\u011B'}, {0x89, u'\u011A'}, {0x8A, u'\u0139'}, {0x8B, u'\u00CD'},
                     {0x8C, u'\u013E'}, {0x8D, u'\u013A'}, {0x8E, u'\u00C4'}, {0x8F, u'\u00C1'},
                     {0x90, u'\u00C9'}, {0x91, u'\u017E'}, {0x92, u'\u017D'}, {0x93, u'\u00F4'},
                     {0x94, u'\u00F6'}, {0x95, u'\u00D3'}, {0x96, u'\u016F'}, {0x97, u'\u00DA'},
                     {0x98, u'\u00FD'}, {0x99, u'\u00D6'}, {0x9A, u'\u00DC'}, {0x9B, u'\u0160'},
                     {0x9C, u'\u013D'}, {0x9D, u'\u00DD'}, {0x9E, u'\u0158'}, {0x9F, u'\u0165'},
                     {0xA0, u'\u00E1'}, {0xA1, u'\u00ED'}, {0xA2, u'\u00F3'}, {0xA3, u'\u00FA'},
                     {0xA4, u'\u0148'}, {0xA5, u'\u0147'}, {0xA6, u'\u016E'}, {0xA7, u'\u00D4'},
                     {0xA8, u'\u0161'}, {0xA9, u'\u0159'}, {0xAA, u'\u0155'}, {0xAB, u'\u0154'},
                     {0xAC, u'\u00BC'}, {0xAD, u'\u00A7'}, {0xAE, u'\u00AB'}, {0xAF, u'\u00BB'}});
    return table;
}

bool IsMultiByte(int codePage) {
    return codePage == 65001 || codePage == 932 || codePage == 936 || codePage == 949 ||
           codePage == 950;
}

// Decodes one table's text; a single-byte page goes through a table built once, since opening
// iconv for every value would be slow.
class Decoder {
public:
    explicit Decoder(int codePage = 1252) : m_codePage(codePage) {
        if (codePage == 620) {
            m_high = MazoviaTable();
            m_table = true;
        } else if (codePage == 895) {
            m_high = KamenickyTable();
            m_table = true;
        } else if (!IsMultiByte(codePage)) {
            QByteArray high(128, '\0');
            for (int i = 0; i < 128; ++i)
                high[i] = char(0x80 + i);
            const QString decoded = DecodeCodePage(high, codePage);
            if (decoded.size() == 128) {
                for (int i = 0; i < 128; ++i)
                    m_high[size_t(i)] = decoded[i].unicode();
                m_table = true;
            }
        }
    }

    QString decode(const char* p, qsizetype n) const {
        if (n <= 0)
            return QStringLiteral("");
        if (m_table) {
            QString out(n, Qt::Uninitialized);
            QChar* o = out.data();
            for (qsizetype i = 0; i < n; ++i) {
                const auto c = static_cast<unsigned char>(p[i]);
                o[i] = QChar(c < 0x80 ? char16_t(c) : m_high[c - 0x80]);
            }
            return out;
        }
        return DecodeCodePage(QByteArray(p, n), m_codePage);
    }

private:
    int m_codePage;
    bool m_table = false;
    std::array<char16_t, 128> m_high{};
};

qsizetype TrimmedLength(const char* p, qsizetype n) {
    while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0'))
        --n;
    return n;
}

// Tells UTF-8 from single-byte text, and Windows-1252 from DOS 850: a byte beside a plain
// letter should decode to a letter, of the same case as that neighbour.
class TextEvidence {
public:
    void add(const QByteArray& bytes) {
        if (bytes.isEmpty())
            return;
        m_utf8 = m_utf8 && IsValidUtf8(bytes);
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
        const qsizetype n = bytes.size();
        for (qsizetype i = 0; i < n; ++i) {
            if (p[i] < 0x80)
                continue;
            const int left = i > 0 ? Case(p[i - 1]) : 0;
            const int right = i + 1 < n ? Case(p[i + 1]) : 0;
            if (left == 0 && right == 0)
                continue; // no plain letter beside it: no evidence
            m_windows += score(m_1252.at(p[i]), p[i], left, right, true);
            m_dos += score(m_850.at(p[i]), p[i], left, right, false);
        }
    }

    int codePage() const {
        if (m_utf8)
            return 65001;
        return m_dos > m_windows ? 850 : 1252;
    }

private:
    struct Table {
        explicit Table(int codePage) {
            QByteArray high(128, '\0');
            for (int i = 0; i < 128; ++i)
                high[i] = char(0x80 + i);
            text = DecodeCodePage(high, codePage);
        }
        QChar at(unsigned char byte) const {
            const int i = byte - 0x80;
            return i < text.size() ? text[i] : QChar(QChar::ReplacementCharacter);
        }
        QString text;
    };

    // 1 for a plain lower-case letter, 2 for an upper-case one, 0 for anything else.
    static int Case(unsigned char c) {
        if (c >= 'a' && c <= 'z')
            return 1;
        if (c >= 'A' && c <= 'Z')
            return 2;
        return 0;
    }

    static int score(QChar ch, unsigned char byte, int left, int right, bool windows) {
        if (ch.isLetter()) {
            const int mine = ch.isLower() ? 1 : 2;
            return (left == 0 || left == mine) && (right == 0 || right == mine) ? 2 : 0;
        }
        // Windows quotes and dashes sit beside letters too.
        return windows && ((byte >= 0x91 && byte <= 0x94) || byte == 0x96 || byte == 0x97) ? 1 : 0;
    }

    bool m_utf8 = true;
    qint64 m_windows = 0;
    qint64 m_dos = 0;
    Table m_1252{1252};
    Table m_850{850};
};

// ---- Header ----------------------------------------------------------------------------------

struct FieldDef {
    QByteArray rawName;
    QString name;
    char type = 'C';
    int offset = 0; // in the record, after the deletion flag
    int length = 0;
    int decimals = 0;
    unsigned char flags = 0;
    FieldType kind = FieldType::Text;
    bool memo = false;
    int lengthBit = -1; // of a varchar: set when the value is shorter than the field
    int nullBit = -1;
};

struct Layout {
    unsigned char version = 0;
    bool visualFoxPro = false;
    qint64 headerLength = 0;
    qint64 recordLength = 0;
    qint64 rowCount = 0;
    unsigned char languageDriver = 0;
    std::vector<FieldDef> fields; // the hidden null-flags field included
    int nullFlags = -1;           // index of that field
    bool hasMemo = false;
};

bool IsKnownVersion(unsigned char v) {
    switch (v) {
    case 0x03: // dBase III, IV, 5, FoxBase+, FoxPro without memo
    case 0x30: // Visual FoxPro
    case 0x31: // Visual FoxPro with autoincrement
    case 0x32: // Visual FoxPro with varchar or blob
    case 0x43: // dBase IV SQL table
    case 0x63: // dBase IV SQL system table
    case 0x83: // dBase III with memo
    case 0x8B: // dBase IV with memo
    case 0xCB: // dBase IV SQL table with memo
    case 0xE5: // Clipper SIx with memo
    case 0xF5: // FoxPro 2.x with memo
    case 0xFB: // FoxBase
        return true;
    default:
        return false;
    }
}

void ReadField(FieldDef& f, bool visualFoxPro, const QString& path) {
    const auto bad = [&] {
        Fail(path, QStringLiteral("The field \"%1\" has a length (%2) that does not fit its type.")
                       .arg(QString::fromLatin1(f.rawName))
                       .arg(f.length));
    };
    switch (f.type) {
    case 'C':
    case 'V':
        f.kind = FieldType::Text;
        break;
    case 'N':
    case 'F':
        // Nine digits always fit in 32 bits.
        f.kind = f.decimals == 0 && f.length <= 9 ? FieldType::Long : FieldType::Double;
        break;
    case 'D':
        f.kind = FieldType::Date;
        break;
    case 'T':
        if (f.length != 8)
            bad();
        f.kind = FieldType::Date;
        break;
    case 'L':
        f.kind = FieldType::Boolean;
        break;
    case 'I':
        if (f.length != 4)
            bad();
        f.kind = FieldType::Long;
        break;
    case 'Y':
        if (f.length != 8)
            bad();
        f.kind = FieldType::Currency;
        break;
    case 'Q':
        f.kind = FieldType::Binary;
        break;
    case 'M':
        f.kind = FieldType::Memo;
        f.memo = true;
        break;
    case 'B':
        if (visualFoxPro) { // a double in Visual FoxPro, a binary memo in dBase
            if (f.length != 8)
                bad();
            f.kind = FieldType::Double;
        } else {
            f.kind = FieldType::LongBinary;
            f.memo = true;
        }
        break;
    case 'G':
    case 'P':
    case 'W':
        f.kind = FieldType::LongBinary;
        f.memo = true;
        break;
    default: // unknown types are shown as their text
        f.kind = FieldType::Text;
        break;
    }
    if (f.memo && f.length != 4 && f.length != 10)
        bad();
}

Layout ReadLayout(QFile& file, const QString& path) {
    const qint64 size = file.size();
    if (size == 0)
        Fail(path, QStringLiteral("The file is empty."));
    if (!file.seek(0))
        Fail(path, QStringLiteral("The file cannot be read."));
    const QByteArray head = file.read(std::min<qint64>(size, 65536 + 32));
    if (head.size() < 32)
        Fail(path, QStringLiteral("The file is too short to be a dBase or FoxPro table."));
    const char* h = head.constData();

    Layout layout;
    layout.version = static_cast<unsigned char>(h[0]);
    qint64 fieldStart = 32;
    qint64 fieldSize = 32;
    qint64 fieldEnd = 0;
    if (layout.version == 0x02) { // dBase II: a fixed header of 521 bytes with 16-byte fields
        if (head.size() < 521)
            Fail(path, QStringLiteral("The file is too short to be a dBase II table."));
        layout.rowCount = U16(h + 1);
        layout.recordLength = U16(h + 6);
        layout.headerLength = 521;
        fieldStart = 8;
        fieldSize = 16;
        fieldEnd = 520;
    } else if (layout.version == 0x04 || layout.version == 0x8C) {
        Fail(path, QStringLiteral("The file is a dBase 7 table, which cannot be read; save it "
                                  "as a dBase IV or dBase 5 table."));
    } else if (!IsKnownVersion(layout.version)) {
        Fail(path, QStringLiteral("The file is not a dBase or FoxPro table (its first byte is "
                                  "0x%1).")
                       .arg(layout.version, 2, 16, QLatin1Char('0')));
    } else {
        layout.visualFoxPro = layout.version >= 0x30 && layout.version <= 0x32;
        layout.rowCount = U32(h + 4);
        layout.headerLength = U16(h + 8);
        layout.recordLength = U16(h + 10);
        layout.languageDriver = static_cast<unsigned char>(h[29]);
        if (layout.headerLength > size)
            Fail(path, QStringLiteral("The file is cut short inside its header."));
        fieldEnd = std::min<qint64>(layout.headerLength, head.size());
    }

    int offset = 1;
    for (qint64 pos = fieldStart; pos < fieldEnd && h[pos] != 0x0D && h[pos] != 0;
         pos += fieldSize) {
        if (pos + fieldSize > fieldEnd)
            Fail(path, QStringLiteral("The list of fields runs past the end of the header."));
        if (int(layout.fields.size()) >= kMaxFields)
            Fail(path, QStringLiteral("The table has more than %1 fields.").arg(kMaxFields));
        const char* d = h + pos;
        FieldDef f;
        f.rawName = QByteArray(d, qsizetype(qstrnlen(d, 11))).trimmed();
        f.type = d[11];
        if (fieldSize == 16) {
            f.length = static_cast<unsigned char>(d[12]);
            f.decimals = static_cast<unsigned char>(d[15]);
        } else {
            f.length = static_cast<unsigned char>(d[16]);
            f.decimals = static_cast<unsigned char>(d[17]);
            f.flags = static_cast<unsigned char>(d[18]);
        }
        if (f.type == 'C' && !layout.visualFoxPro) { // long texts keep the high byte in decimals
            f.length += f.decimals * 256;
            f.decimals = 0;
        }
        f.offset = offset;
        offset += f.length;
        ReadField(f, layout.visualFoxPro, path);
        if (f.type == '0' && layout.nullFlags < 0)
            layout.nullFlags = int(layout.fields.size());
        layout.hasMemo = layout.hasMemo || f.memo;
        layout.fields.push_back(std::move(f));
    }
    if (layout.fields.empty())
        Fail(path, QStringLiteral("The table has no fields."));
    if (offset > layout.recordLength)
        Fail(path, QStringLiteral("The record length in the header (%1 bytes) is shorter than "
                                  "its fields (%2 bytes).")
                       .arg(layout.recordLength)
                       .arg(offset));

    // Visual FoxPro's hidden flags: one bit per varchar (set when shorter than the field), then
    // one per nullable field, in field order.
    if (layout.nullFlags >= 0) {
        const int bits = layout.fields[size_t(layout.nullFlags)].length * 8;
        int bit = 0;
        for (FieldDef& f : layout.fields) {
            if (f.type == '0')
                continue;
            if (f.type == 'V' || f.type == 'Q')
                f.lengthBit = bit < bits ? bit++ : -1;
            if (f.flags & 0x02)
                f.nullBit = bit < bits ? bit++ : -1;
        }
    }

    const qint64 present = (size - layout.headerLength) / layout.recordLength;
    if (present < layout.rowCount)
        Fail(path, QStringLiteral("The file is cut short: its header counts %1 rows, but it "
                                  "holds only %2.")
                       .arg(layout.rowCount)
                       .arg(present));
    return layout;
}

// ---- Memo files ------------------------------------------------------------------------------

class MemoFile {
public:
    MemoFile(const QString& path, bool foxPro, bool dBaseIII, const QString& tablePath)
        : m_path(path), m_tablePath(tablePath), m_file(path), m_foxPro(foxPro) {
        if (!m_file.open(QIODevice::ReadOnly))
            Fail(path, QStringLiteral("The memo file cannot be opened."));
        m_size = m_file.size();
        // A memo file cut short inside its header keeps the usual block size; every memo it
        // is asked for then lies past its end.
        const QByteArray head = m_file.read(32);
        if (foxPro && head.size() >= 8) {
            m_blockSize = qFromBigEndian<quint16>(head.constData() + 6);
            if (m_blockSize == 0)
                m_blockSize = 1; // allocated byte by byte
        } else if (!foxPro && !dBaseIII && head.size() >= 22) {
            m_blockSize = U16(head.constData() + 20);
            if (m_blockSize == 0)
                m_blockSize = 512;
        }
    }

    QByteArray read(quint64 block) {
        if (block >= quint64(m_size / m_blockSize) + 1 || qint64(block) * m_blockSize >= m_size)
            fail(QStringLiteral("points past the end of the memo file"));
        const qint64 offset = qint64(block) * m_blockSize;
        if (!m_file.seek(offset))
            fail(QStringLiteral("cannot be read"));
        const QByteArray head = m_file.read(8);
        if (m_foxPro) {
            if (head.size() < 8)
                fail(QStringLiteral("runs past the end of the memo file"));
            return readExact(offset + 8, qFromBigEndian<quint32>(head.constData() + 4));
        }
        if (head.size() == 8 && head.startsWith(QByteArray("\xFF\xFF\x08\x00", 4))) {
            const quint32 length = U32(head.constData() + 4); // the 8 bytes above included
            if (length < 8)
                fail(QStringLiteral("has a damaged header"));
            return stripEnd(readExact(offset + 8, length - 8));
        }
        return readToEndMark(offset);
    }

private:
    [[noreturn]] void fail(const QString& what) const {
        Fail(m_path, QStringLiteral("A memo of the table %1 %2.").arg(Native(m_tablePath), what));
    }

    QByteArray readExact(qint64 offset, quint32 length) {
        if (qint64(length) > kMaxValueBytes)
            fail(QStringLiteral("is too long"));
        if (offset + qint64(length) > m_size)
            fail(QStringLiteral("runs past the end of the memo file"));
        if (!m_file.seek(offset))
            fail(QStringLiteral("cannot be read"));
        QByteArray data = m_file.read(length);
        if (data.size() != qsizetype(length))
            fail(QStringLiteral("cannot be read"));
        return data;
    }

    // dBase III memos run to an end mark (0x1A) rather than carrying their length.
    QByteArray readToEndMark(qint64 offset) {
        if (!m_file.seek(offset))
            fail(QStringLiteral("cannot be read"));
        QByteArray data;
        while (true) {
            const QByteArray chunk = m_file.read(4096);
            const qsizetype end = chunk.indexOf('\x1A');
            data.append(chunk.constData(), end >= 0 ? end : chunk.size());
            if (data.size() > kMaxValueBytes)
                fail(QStringLiteral("is too long"));
            if (end >= 0 || chunk.size() < 4096)
                return data;
        }
    }

    static QByteArray stripEnd(QByteArray data) {
        while (data.endsWith('\x1A'))
            data.chop(1);
        return data;
    }

    QString m_path;
    QString m_tablePath;
    QFile m_file;
    bool m_foxPro;
    qint64 m_size = 0;
    qint64 m_blockSize = 512;
};

QString FindMemoFile(const QFileInfo& table, bool preferFpt) {
    const QString base = table.completeBaseName();
    const QStringList names = {base + (preferFpt ? QStringLiteral(".fpt") : QStringLiteral(".dbt")),
                               base +
                                   (preferFpt ? QStringLiteral(".dbt") : QStringLiteral(".fpt"))};
    const QFileInfoList files = table.dir().entryInfoList(QDir::Files);
    for (const QString& name : names)
        for (const QFileInfo& file : files)
            if (file.fileName().compare(name, Qt::CaseInsensitive) == 0)
                return file.absoluteFilePath();
    return {};
}

// ---- Tables ----------------------------------------------------------------------------------

class DbfTable final : public SourceTable {
public:
    explicit DbfTable(const QString& path) : m_path(path), m_file(path) {
        if (!m_file.open(QIODevice::ReadOnly))
            Fail(path, QStringLiteral("The file cannot be opened."));
        m_layout = ReadLayout(m_file, path);
        if (m_layout.hasMemo)
            openMemo();
        m_decoder = Decoder(chooseCodePage());
        nameFields();
    }

    const std::vector<SourceField>& fields() const override { return m_fields; }

    bool next() override {
        while (true) {
            if (m_position >= m_loaded && !load()) {
                m_current = nullptr;
                return false;
            }
            m_current = m_buffer.constData() + m_position * m_layout.recordLength;
            ++m_position;
            if (*m_current != '*')
                return true; // '*' marks a deleted row
        }
    }

    QVariant value(int index) const override {
        if (index < 0 || index >= int(m_visible.size()))
            throw SourceError(QStringLiteral("%1: The table has no field %2.")
                                  .arg(Native(m_path))
                                  .arg(index + 1));
        if (!m_current)
            throw SourceError(QStringLiteral("%1: No row is being read.").arg(Native(m_path)));
        const FieldDef& f = m_layout.fields[size_t(m_visible[size_t(index)])];
        if (f.nullBit >= 0 && flag(f.nullBit))
            return {};
        return read(f, m_current + f.offset);
    }

private:
    bool flag(int bit) const {
        const FieldDef& flags = m_layout.fields[size_t(m_layout.nullFlags)];
        const auto byte = static_cast<unsigned char>(m_current[flags.offset + bit / 8]);
        return (byte >> (bit % 8)) & 1;
    }

    QVariant read(const FieldDef& f, const char* p) const {
        const int n = f.length;
        switch (f.type) {
        case 'C':
            return m_decoder.decode(p, TrimmedLength(p, n));
        case 'V':
        case 'Q': {
            qsizetype length = n;
            if (f.lengthBit >= 0 && flag(f.lengthBit) && n > 0)
                length = std::min<qsizetype>(static_cast<unsigned char>(p[n - 1]), n);
            if (f.type == 'Q')
                return QByteArray(p, length);
            return m_decoder.decode(p, length);
        }
        case 'N':
        case 'F':
            return number(f, p);
        case 'D':
            return date(p, n);
        case 'T':
            return dateTime(p);
        case 'L':
            return logical(p, n);
        case 'I':
            return int(qFromLittleEndian<qint32>(p));
        case 'Y':
            return double(qFromLittleEndian<qint64>(p)) / 10000.0;
        default:
            break;
        }
        if (f.type == 'B' && f.kind == FieldType::Double) {
            const quint64 bits = qFromLittleEndian<quint64>(p);
            double d;
            std::memcpy(&d, &bits, sizeof d);
            return std::isfinite(d) ? QVariant(d) : QVariant();
        }
        if (f.memo)
            return memo(f, p);
        return m_decoder.decode(p, TrimmedLength(p, n));
    }

    static QVariant logical(const char* p, int n) {
        if (n < 1)
            return {};
        switch (p[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
            return true;
        case 'F':
        case 'f':
        case 'N':
        case 'n':
            return false;
        default: // '?' or blank: not known
            return {};
        }
    }

    static QVariant number(const FieldDef& f, const char* p) {
        QByteArray text = QByteArray(p, f.length).replace('\0', ' ').trimmed();
        if (text.isEmpty())
            return {};
        text.replace(',', '.');
        bool ok = false;
        const double d = text.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            return {}; // also the "****" of an overflowed value
        if (f.kind == FieldType::Long) {
            if (d < std::numeric_limits<int>::min() || d > std::numeric_limits<int>::max())
                return {};
            return int(std::llround(d));
        }
        return d;
    }

    static QVariant date(const char* p, int n) {
        if (n < 8)
            return {};
        int parts[3] = {0, 0, 0};
        const int widths[3] = {4, 2, 2};
        const char* c = p;
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < widths[i]; ++k, ++c) {
                if (*c < '0' || *c > '9')
                    return {}; // blank: no date
                parts[i] = parts[i] * 10 + (*c - '0');
            }
        const QDate d(parts[0], parts[1], parts[2]);
        if (!d.isValid())
            return {};
        return QDateTime(d, QTime(0, 0), Qt::UTC);
    }

    static QVariant dateTime(const char* p) {
        const qint32 day = qFromLittleEndian<qint32>(p);
        const qint32 ms = qFromLittleEndian<qint32>(p + 4);
        if (day <= 0 || ms < 0 || ms > 86400000)
            return {}; // zero or blank: no date
        const QDate d = QDate::fromJulianDay(day);
        if (!d.isValid())
            return {};
        // Times are kept to the second; the stored milliseconds are often a rounding off.
        return QDateTime(d, QTime(0, 0), Qt::UTC).addSecs((ms + 500) / 1000);
    }

    // The memo's bytes; a null array when the field points at none.
    QByteArray memoBytes(const FieldDef& f, const char* p) const {
        quint64 block = 0;
        if (f.length == 4) {
            block = qFromLittleEndian<quint32>(p);
        } else {
            for (int i = 0; i < f.length; ++i) {
                if (p[i] >= '0' && p[i] <= '9')
                    block = block * 10 + quint64(p[i] - '0');
                else if (p[i] != ' ' && p[i] != '\0')
                    return {}; // not a pointer
            }
        }
        return block == 0 ? QByteArray() : m_memo->read(block);
    }

    QVariant memo(const FieldDef& f, const char* p) const {
        const QByteArray data = memoBytes(f, p);
        if (f.kind == FieldType::Memo)
            return m_decoder.decode(data.constData(), data.size());
        return data.isNull() ? QByteArray("") : data;
    }

    bool load() {
        const qint64 left = m_layout.rowCount - m_loadedRows;
        if (left <= 0)
            return false;
        const qint64 count =
            std::min<qint64>(left, std::max<qint64>(1, 65536 / m_layout.recordLength));
        const qint64 bytes = count * m_layout.recordLength;
        if (!m_file.seek(m_layout.headerLength + m_loadedRows * m_layout.recordLength))
            Fail(m_path, QStringLiteral("The file cannot be read."));
        m_buffer.resize(bytes);
        if (m_file.read(m_buffer.data(), bytes) != bytes)
            Fail(m_path, QStringLiteral("The file is cut short."));
        m_loadedRows += count;
        m_loaded = count;
        m_position = 0;
        return true;
    }

    void rewind() {
        m_loadedRows = 0;
        m_loaded = 0;
        m_position = 0;
        m_current = nullptr;
    }

    // Without a code page mark, text that is valid UTF-8 is taken as UTF-8 (as spreadsheet
    // programs write it); other text as Windows-1252, or as DOS 850 when its letters read better
    // so (old DOS programs wrote no mark). Memo text counts too, up to a budget.
    int chooseCodePage() {
        const int marked = DbfCodePage(m_layout.languageDriver);
        if (marked != 0)
            return marked;
        TextEvidence evidence;
        for (const FieldDef& f : m_layout.fields)
            evidence.add(f.rawName);
        qint64 memoBudget = 1 << 20;
        while (next()) {
            for (const FieldDef& f : m_layout.fields) {
                const char* p = m_current + f.offset;
                if (f.type == 'C' || f.type == 'V') {
                    evidence.add(QByteArray::fromRawData(p, TrimmedLength(p, f.length)));
                } else if (f.kind == FieldType::Memo && memoBudget > 0) {
                    const QByteArray data = memoBytes(f, p);
                    memoBudget -= data.size();
                    evidence.add(data);
                }
            }
        }
        rewind();
        return evidence.codePage();
    }

    void nameFields() {
        for (int i = 0; i < int(m_layout.fields.size()); ++i) {
            FieldDef& f = m_layout.fields[size_t(i)];
            if (f.type == '0')
                continue; // Visual FoxPro's hidden null flags
            QString name = m_decoder.decode(f.rawName.constData(), f.rawName.size());
            if (name.isEmpty())
                name = QStringLiteral("FIELD%1").arg(i + 1);
            // A second field of the same name would be out of reach by name.
            const QString base = name;
            for (int k = 2; fieldIndexOf(name) >= 0; ++k)
                name = QStringLiteral("%1_%2").arg(base).arg(k);
            f.name = name;
            m_fields.push_back({name, f.kind, f.kind == FieldType::Text ? f.length : 0});
            m_visible.push_back(i);
        }
    }

    int fieldIndexOf(const QString& name) const {
        for (int i = 0; i < int(m_fields.size()); ++i)
            if (m_fields[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }

    void openMemo() {
        const QFileInfo info(m_path);
        const unsigned char v = m_layout.version;
        const bool foxPro = m_layout.visualFoxPro || v == 0xF5 || v == 0xFB;
        const QString memoPath = FindMemoFile(info, foxPro);
        if (memoPath.isEmpty())
            Fail(m_path, QStringLiteral("The memo file %1 is missing.")
                             .arg(info.completeBaseName() +
                                  (foxPro ? QStringLiteral(".fpt") : QStringLiteral(".dbt"))));
        const bool fpt = memoPath.endsWith(QStringLiteral(".fpt"), Qt::CaseInsensitive);
        m_memo = std::make_unique<MemoFile>(memoPath, fpt, v == 0x83, m_path);
    }

    QString m_path;
    QFile m_file;
    Layout m_layout;
    Decoder m_decoder;
    std::vector<SourceField> m_fields;
    std::vector<int> m_visible; // index in m_layout.fields of each field shown
    std::unique_ptr<MemoFile> m_memo;
    QByteArray m_buffer;     // rows read ahead
    qint64 m_loadedRows = 0; // rows of the file read so far
    qint64 m_loaded = 0;     // rows in the buffer
    qint64 m_position = 0;   // next row in the buffer
    const char* m_current = nullptr;
};

class DbfSource final : public FileTablesSource {
public:
    DbfSource(const QString& where, std::vector<TableFile> tables) : FileTablesSource(where, std::move(tables)) {}

private:
    std::unique_ptr<SourceTable> openFile(const QString& path) override { return std::make_unique<DbfTable>(path); }
};

struct Mark {
    unsigned char byte;
    short codePage;
};

constexpr Mark kMarks[] = {
    {0x01, 437},   {0x02, 850},   {0x03, 1252}, {0x04, 10000}, {0x08, 865},  {0x09, 437},
    {0x0A, 850},   {0x0B, 437},   {0x0D, 437},  {0x0E, 850},   {0x0F, 437},  {0x10, 850},
    {0x11, 437},   {0x12, 850},   {0x13, 932},  {0x14, 850},   {0x15, 437},  {0x16, 850},
    {0x17, 865},   {0x18, 437},   {0x19, 437},  {0x1A, 850},   {0x1B, 437},  {0x1C, 863},
    {0x1D, 850},   {0x1F, 852},   {0x22, 852},  {0x23, 852},   {0x24, 860},  {0x25, 850},
    {0x26, 866},   {0x37, 850},   {0x40, 852},  {0x4D, 936},   {0x4E, 949},  {0x4F, 950},
    {0x50, 874},   {0x57, 1252},  {0x58, 1252}, {0x59, 1252},  {0x64, 852},  {0x65, 866},
    {0x66, 865},   {0x67, 861},   {0x68, 895},  {0x69, 620},   {0x6A, 737},  {0x6B, 857},
    {0x6C, 863},   {0x78, 950},   {0x79, 949},  {0x7A, 936},   {0x7B, 932},  {0x7C, 874},
    {0x7D, 1255},  {0x7E, 1256},  {0x86, 737},  {0x87, 852},   {0x88, 857},  {0x96, 10007},
    {0x97, 10029}, {0x98, 10006}, {0xC8, 1250}, {0xC9, 1251},  {0xCA, 1254}, {0xCB, 1253},
    {0xCC, 1257}};

} // namespace

int DbfCodePage(unsigned char languageDriver) {
    for (const Mark& mark : kMarks)
        if (mark.byte == languageDriver)
            return mark.codePage;
    return 0;
}

std::unique_ptr<Source> OpenDbfSource(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw SourceError(QStringLiteral("%1 does not exist.").arg(Native(path)));
    std::vector<FileTablesSource::TableFile> tables;
    if (info.isDir()) {
        tables = TableFilesOfFolder(
            path, [](const QFileInfo& f) { return f.suffix().compare(QLatin1String("dbf"), Qt::CaseInsensitive) == 0; },
            [](const QFileInfo& f) { return f.completeBaseName(); });
        if (tables.empty())
            throw SourceError(QStringLiteral("%1: The folder holds no dBase or FoxPro tables "
                                             "(.dbf files).")
                                  .arg(Native(path)));
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            Fail(path, QStringLiteral("The file cannot be opened."));
        ReadLayout(file, path); // a file that is no table is refused at once
        tables.push_back({info.completeBaseName(), info.absoluteFilePath()});
    }
    return std::make_unique<DbfSource>(Native(path), std::move(tables));
}

} // namespace import
