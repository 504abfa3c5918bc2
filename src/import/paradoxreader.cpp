#include "paradoxreader.h"

#include "codepage.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QtEndian>
#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>

namespace import {
namespace {

// Field type codes as the header stores them.
enum TypeCode : quint8 {
    kAlpha = 0x01,
    kDate = 0x02,
    kShort = 0x03,
    kLong = 0x04,
    kCurrency = 0x05,
    kNumber = 0x06,
    kLogical = 0x09,
    kMemo = 0x0C,
    kBlob = 0x0D,
    kFormattedMemo = 0x0E,
    kOle = 0x0F,
    kGraphic = 0x10,
    kTime = 0x14,
    kTimestamp = 0x15,
    kAutoIncrement = 0x16,
    kBcd = 0x17,
    kBytes = 0x18,
};

constexpr int kFixedHeaderSize = 0x58;    // every version
constexpr int kExtendedHeaderSize = 0x78; // data files of Paradox 4 and later
constexpr int kBlockHeaderSize = 6;       // next block, previous block, last record's offset
constexpr int kBlobTrailerSize = 10;      // .mb pointer, length, modification number
constexpr int kBcdBytes = 17;
constexpr qint64 kMbBlockSize = 4096;
constexpr int kMbSubEntries = 64;
constexpr qint64 kMsPerDay = 86400000;

struct FieldSlot {
    quint8 code = 0;
    int storedSize = 0; // the header's size byte (decimals for BCD)
    int bytes = 0;    // bytes in the record
    int offset = 0;   // from the record's start
};

struct TableLayout {
    ParadoxTableInfo info;
    int headerSize = 0;
    int firstBlock = 0;
    std::vector<FieldSlot> fieldSlots;
    std::vector<SourceField> fields;
};

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void FailTable(const QString& path, const QString& what) {
    throw SourceError(
        QStringLiteral("Cannot read the Paradox table \"%1\": %2").arg(Shown(path), what));
}

[[noreturn]] void FailMemo(const QString& path, const QString& what) {
    throw SourceError(
        QStringLiteral("Cannot read the Paradox memo file \"%1\": %2").arg(Shown(path), what));
}

quint64 Be(const uchar* p, int n) {
    quint64 v = 0;
    for (int i = 0; i < n; ++i)
        v = v << 8 | p[i];
    return v;
}

bool AllZero(const uchar* p, int n) {
    return std::all_of(p, p + n, [](uchar b) { return b == 0; });
}

// Numbers are stored big-endian with the sign bit flipped, so that bytes sort as values do;
// a negative double has all its bits inverted.
qint32 DecodeLong(const uchar* p) {
    return qint32(quint32(Be(p, 4)) ^ 0x80000000u);
}

double DecodeDouble(const uchar* p) {
    quint64 bits = Be(p, 8);
    bits = (bits & 0x8000000000000000ull) ? bits & ~0x8000000000000000ull : ~bits;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// Day 1 is 1 January of year 1.
QVariant DateFromDayNumber(qint64 day, QTime time) {
    if (day < 1 || day > 3652059)
        return {}; // outside years 1 to 9999: damaged
    return QDateTime(QDate(1, 1, 1).addDays(day - 1), time, Qt::UTC);
}

// Packed decimal: a sign bit in the first byte, then 32 digits of which the field's decimals
// are the fraction; a negative number has every digit complemented.
QVariant DecodeBcd(const uchar* p, int decimals) {
    if (AllZero(p, kBcdBytes))
        return {};
    const bool negative = !(p[0] & 0x80);
    decimals = std::clamp(decimals, 0, 32);
    QByteArray text = negative ? "-0" : "0";
    bool valid = true;
    for (int i = 2; i < 2 * kBcdBytes; ++i) {
        if (i == 2 * kBcdBytes - decimals)
            text += '.';
        int digit = (i % 2 == 0) ? p[i / 2] >> 4 : p[i / 2] & 0x0F;
        if (negative)
            digit = 0x0F - digit;
        // Writers have been seen to leave junk past the digits a double carries.
        if (digit > 9)
            valid = false;
        text += char('0' + (valid ? digit : 0));
    }
    return text.toDouble();
}

// The field's type code for the import and the bytes it takes in a record (0: from the header).
bool TypeOf(quint8 code, FieldType* type, int* fixedBytes) {
    switch (code) {
    case kAlpha:
        *type = FieldType::Text;
        *fixedBytes = 0;
        return true;
    case kDate:
        *type = FieldType::Date;
        *fixedBytes = 4;
        return true;
    case kShort:
        *type = FieldType::Integer;
        *fixedBytes = 2;
        return true;
    case kLong:
    case kAutoIncrement:
        *type = FieldType::Long;
        *fixedBytes = 4;
        return true;
    case kCurrency:
        *type = FieldType::Currency;
        *fixedBytes = 8;
        return true;
    case kNumber:
        *type = FieldType::Double;
        *fixedBytes = 8;
        return true;
    case kLogical:
        *type = FieldType::Boolean;
        *fixedBytes = 1;
        return true;
    case kMemo:
        *type = FieldType::Memo;
        *fixedBytes = 0;
        return true;
    case kBlob:
    case kFormattedMemo: // text with formatting of the writer's own: kept as bytes
    case kOle:
    case kGraphic:
        *type = FieldType::LongBinary;
        *fixedBytes = 0;
        return true;
    case kTime:
        *type = FieldType::Date;
        *fixedBytes = 4;
        return true;
    case kTimestamp:
        *type = FieldType::Date;
        *fixedBytes = 8;
        return true;
    case kBcd:
        *type = FieldType::Double;
        *fixedBytes = kBcdBytes;
        return true;
    case kBytes:
        *type = FieldType::Binary;
        *fixedBytes = 0;
        return true;
    default:
        return false;
    }
}

bool IsBlob(quint8 code) {
    return code == kMemo || code == kBlob || code == kFormattedMemo || code == kOle ||
           code == kGraphic;
}

// A NUL-terminated string within [at, end); -1 when it runs to the end unterminated.
qsizetype CStringEnd(const uchar* h, qsizetype at, qsizetype end) {
    for (qsizetype i = at; i < end; ++i)
        if (h[i] == 0)
            return i;
    return -1;
}

TableLayout ReadLayout(const QString& path, QFile& file) {
    if (!file.open(QIODevice::ReadOnly))
        FailTable(path, QStringLiteral("the file cannot be opened (%1).").arg(file.errorString()));
    const qint64 fileSize = file.size();
    if (fileSize == 0)
        FailTable(path, QStringLiteral("the file is empty."));
    const QByteArray head = file.read(std::min<qint64>(fileSize, 0x10000));
    if (head.size() < kFixedHeaderSize)
        FailTable(path, QStringLiteral("the file is too short to be a Paradox table."));
    const auto* h = reinterpret_cast<const uchar*>(head.constData());

    TableLayout t;
    const int recordSize = qFromLittleEndian<quint16>(h);
    t.headerSize = qFromLittleEndian<quint16>(h + 0x02);
    const int fileType = h[0x04];
    const int blockCode = h[0x05];
    t.firstBlock = qFromLittleEndian<quint16>(h + 0x0E);
    const int fieldCount = qFromLittleEndian<quint16>(h + 0x21);
    t.info.version = h[0x39];
    t.info.recordCount = qFromLittleEndian<quint32>(h + 0x06);
    t.info.recordSize = recordSize;
    // 0 is a keyed table, 2 an unkeyed one; the other types are index files.
    if ((fileType != 0 && fileType != 2) || t.info.version < 3 || t.info.version > 12)
        FailTable(path, QStringLiteral("the file is not a Paradox table."));
    t.info.keyed = fileType == 0;
    switch (blockCode) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 8:
    case 16:
    case 32:
        t.info.blockSize = blockCode * 1024;
        break;
    default:
        FailTable(path,
                  QStringLiteral("the header names an unknown block size (%1).").arg(blockCode));
    }
    const bool extended = t.info.version >= 5;
    const int fieldInfo = extended ? kExtendedHeaderSize : kFixedHeaderSize;
    if (t.headerSize < fieldInfo || t.headerSize > head.size())
        FailTable(
            path,
            QStringLiteral("the header size (%1 bytes) does not fit the file.").arg(t.headerSize));
    // Paradox 4 and later keep 0xFF00FF00 in the old place and the password's mark further on.
    const quint32 oldMark = qFromLittleEndian<quint32>(h + 0x25);
    const bool encrypted =
        extended ? (qFromLittleEndian<quint32>(h + 0x5C) != 0 || (oldMark != 0 && oldMark != 0xFF00FF00u)) : oldMark != 0;
    if (encrypted)
        FailTable(path, QStringLiteral("the table is protected by a password; remove the password "
                                       "in Paradox and import it again."));
    if (fieldCount == 0)
        FailTable(path, QStringLiteral("the table has no fields."));
    if (fieldCount > kMaxFields)
        FailTable(path,
                  QStringLiteral("the table has %1 fields, more than the %2 that can be read.")
                      .arg(fieldCount)
                      .arg(kMaxFields));
    if (recordSize == 0 || recordSize > t.info.blockSize - kBlockHeaderSize)
        FailTable(path, QStringLiteral(
                            "the record size (%1 bytes) does not fit a data block of %2 bytes.")
                            .arg(recordSize)
                            .arg(t.info.blockSize));
    t.info.codePage = extended ? qFromLittleEndian<quint16>(h + 0x6A) : 437;
    if (t.info.codePage == 0)
        t.info.codePage = 437;

    // Field types and sizes, then the in-memory pointers (skipped), the table name and the
    // field names one after another.
    const qsizetype tableNameAt =
        fieldInfo + 2 * qsizetype(fieldCount) + 4 + 4 * qsizetype(fieldCount);
    const qsizetype tableNameLength = t.info.version >= 12 ? 261 : 79;
    const qsizetype end = t.headerSize;
    if (tableNameAt + tableNameLength > end)
        FailTable(path,
                  QStringLiteral("the header is too short for its %1 fields.").arg(fieldCount));
    const qsizetype nameEnd = CStringEnd(h, tableNameAt, tableNameAt + tableNameLength);
    t.info.tableName = DecodeCodePage(
        head.mid(tableNameAt,
                 (nameEnd < 0 ? tableNameAt + tableNameLength : nameEnd) - tableNameAt),
        t.info.codePage);

    qsizetype at = tableNameAt + tableNameLength;
    int offset = 0;
    for (int i = 0; i < fieldCount; ++i) {
        FieldSlot slot;
        slot.code = h[fieldInfo + 2 * i];
        slot.storedSize = h[fieldInfo + 2 * i + 1];
        const qsizetype stop = CStringEnd(h, at, end);
        if (stop < 0)
            FailTable(
                path,
                QStringLiteral("the header is cut short in the name of field %1.").arg(i + 1));
        SourceField field;
        field.name = DecodeCodePage(head.mid(at, stop - at), t.info.codePage);
        if (field.name.isEmpty())
            field.name = QStringLiteral("Field%1").arg(i + 1);
        at = stop + 1;
        int fixedBytes = 0;
        if (!TypeOf(slot.code, &field.type, &fixedBytes))
            FailTable(path, QStringLiteral(
                                "the field \"%1\" has a type this program does not know (code %2).")
                                .arg(field.name)
                                .arg(slot.code));
        slot.bytes = fixedBytes != 0 ? fixedBytes : slot.storedSize;
        const bool sizeFits = slot.code == kBcd   ? slot.storedSize <= 32
                              : fixedBytes != 0   ? slot.storedSize == fixedBytes
                              : IsBlob(slot.code) ? slot.storedSize >= kBlobTrailerSize
                                                  : slot.storedSize >= 1;
        if (!sizeFits)
            FailTable(path, QStringLiteral(
                                "the field \"%1\" has a size (%2) that its type does not allow.")
                                .arg(field.name)
                                .arg(slot.storedSize));
        if (slot.code == kAlpha)
            field.size = slot.storedSize;
        slot.offset = offset;
        offset += slot.bytes;
        t.fieldSlots.push_back(slot);
        t.fields.push_back(field);
    }
    if (offset != recordSize)
        FailTable(path,
                  QStringLiteral("the fields take %1 bytes, but the records are %2 bytes long.")
                      .arg(offset)
                      .arg(recordSize));
    return t;
}

// Text of one code page. Single-byte code pages decode through a table built once per table,
// which keeps iconv out of the per-value path.
class TextDecoder {
public:
    explicit TextDecoder(int codePage) : m_codePage(codePage) {
        static const int kMultiByte[] = {932, 936, 949, 950, 1361, 65001};
        if (std::find(std::begin(kMultiByte), std::end(kMultiByte), codePage) !=
            std::end(kMultiByte))
            return;
        QByteArray high(128, '\0');
        for (int i = 0; i < 128; ++i)
            high[i] = char(0x80 + i);
        const QString decoded = DecodeCodePage(high, codePage);
        if (decoded.size() != 128)
            return;
        for (int i = 0; i < 128; ++i)
            m_high[size_t(i)] = decoded[i].unicode();
        m_table = true;
    }

    QString decode(const char* bytes, qsizetype count) const {
        const auto* p = reinterpret_cast<const uchar*>(bytes);
        if (m_table) {
            QString text(count, Qt::Uninitialized);
            QChar* out = text.data();
            for (qsizetype i = 0; i < count; ++i)
                out[i] = p[i] < 0x80 ? QChar(p[i]) : QChar(m_high[p[i] - 0x80]);
            return text;
        }
        if (std::all_of(p, p + count, [](uchar c) { return c < 0x80; }))
            return QString::fromLatin1(bytes, count);
        return DecodeCodePage(QByteArray(bytes, count), m_codePage);
    }

private:
    int m_codePage;
    bool m_table = false;
    std::array<char16_t, 128> m_high{};
};

// The .mb beside a .db: same base name, the extension in either case.
QString FindMemoFile(const QString& dbPath) {
    const QFileInfo info(dbPath);
    const QString wanted = info.completeBaseName() + QStringLiteral(".mb");
    const QDir dir = info.absoluteDir();
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    for (const QString& name : names)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return dir.filePath(name);
    return {};
}

class ParadoxTable final : public SourceTable {
public:
    explicit ParadoxTable(const QString& path)
        : m_path(path), m_file(path), m_layout(ReadLayout(path, m_file)),
          m_text(m_layout.info.codePage) {
        m_fileSize = m_file.size();
        const qint64 blockSize = m_layout.info.blockSize;
        m_blocksInFile = (m_fileSize - m_layout.headerSize + blockSize - 1) / blockSize;
        m_seen.assign(size_t(m_blocksInFile) + 1, false);
        m_nextBlock = m_layout.firstBlock;
        if (std::any_of(m_layout.fieldSlots.begin(), m_layout.fieldSlots.end(),
                        [](const FieldSlot& s) { return IsBlob(s.code); }))
            m_memoPath = FindMemoFile(path);
    }

    const std::vector<SourceField>& fields() const override { return m_layout.fields; }

    bool next() override {
        while (m_rowInBlock >= m_rowsInBlock) {
            if (!loadNextBlock()) {
                m_row.clear();
                return false;
            }
        }
        const auto* block = reinterpret_cast<const uchar*>(m_block.constData());
        const uchar* record =
            block + kBlockHeaderSize + qsizetype(m_rowInBlock) * m_layout.info.recordSize;
        ++m_rowInBlock;
        ++m_rowNumber;
        m_row.resize(m_layout.fieldSlots.size());
        for (size_t i = 0; i < m_layout.fieldSlots.size(); ++i)
            m_row[i] = decode(i, record + m_layout.fieldSlots[i].offset);
        return true;
    }

    QVariant value(int index) const override {
        if (index < 0 || size_t(index) >= m_row.size())
            return {};
        return m_row[size_t(index)];
    }

private:
    // Data blocks are numbered from 1 and chained by their next-block numbers; 0 ends the chain.
    bool loadNextBlock() {
        const int number = m_nextBlock;
        if (number == 0)
            return false;
        if (number > m_blocksInFile) {
            // A table that never held a record may name a first block it never wrote.
            if (m_layout.info.recordCount == 0 && m_rowNumber == 0) {
                m_nextBlock = 0;
                return false;
            }
            FailTable(m_path,
                      QStringLiteral("data block %1 lies past the end of the file.").arg(number));
        }
        if (m_seen[size_t(number)])
            FailTable(
                m_path,
                QStringLiteral("the chain of data blocks comes back to block %1.").arg(number));
        m_seen[size_t(number)] = true;
        const qint64 blockSize = m_layout.info.blockSize;
        const qint64 at = m_layout.headerSize + (number - 1) * blockSize;
        if (!m_file.seek(at))
            FailTable(m_path, QStringLiteral("data block %1 cannot be read.").arg(number));
        m_block = m_file.read(std::min(blockSize, m_fileSize - at));
        if (m_block.size() < kBlockHeaderSize)
            FailTable(m_path, QStringLiteral("data block %1 is cut short.").arg(number));
        const auto* b = reinterpret_cast<const uchar*>(m_block.constData());
        m_nextBlock = qFromLittleEndian<quint16>(b);
        const int lastOffset = qint16(qFromLittleEndian<quint16>(b + 4)); // negative: an empty block
        const int recordSize = m_layout.info.recordSize;
        m_rowsInBlock = lastOffset < 0 ? 0 : lastOffset / recordSize + 1;
        m_rowInBlock = 0;
        if (kBlockHeaderSize + qint64(m_rowsInBlock) * recordSize > m_block.size())
            FailTable(m_path,
                      QStringLiteral("data block %1 claims more records (%2) than it holds.")
                          .arg(number)
                          .arg(m_rowsInBlock));
        return true;
    }

    QVariant decode(size_t index, const uchar* p) {
        const FieldSlot& slot = m_layout.fieldSlots[index];
        switch (slot.code) {
        case kAlpha: {
            int length = 0;
            while (length < slot.bytes && p[length] != 0)
                ++length;
            while (length > 0 && p[length - 1] == ' ')
                --length;
            if (length == 0)
                return QStringLiteral("");
            return m_text.decode(reinterpret_cast<const char*>(p), length);
        }
        case kShort:
            if (AllZero(p, 2))
                return {};
            return int(qint16(quint16(Be(p, 2)) ^ 0x8000u));
        case kLong:
        case kAutoIncrement:
            if (AllZero(p, 4))
                return {};
            return int(DecodeLong(p));
        case kCurrency:
        case kNumber:
            if (AllZero(p, 8))
                return {};
            return DecodeDouble(p);
        case kLogical:
            if (p[0] == 0)
                return {};
            return (p[0] & 0x7F) != 0;
        case kDate:
            if (AllZero(p, 4))
                return {};
            return DateFromDayNumber(DecodeLong(p), QTime(0, 0));
        case kTime: {
            if (AllZero(p, 4))
                return {};
            const qint32 ms = DecodeLong(p);
            if (ms < 0 || ms >= kMsPerDay)
                return {};
            // A time of day alone sits on the engine's day zero, as Access keeps it.
            return QDateTime(QDate(1899, 12, 30), QTime::fromMSecsSinceStartOfDay(ms), Qt::UTC);
        }
        case kTimestamp: {
            if (AllZero(p, 8))
                return {};
            const double ms = DecodeDouble(p);
            if (!std::isfinite(ms) || ms < 0 || ms > 4e14)
                return {};
            const qint64 total = std::llround(ms);
            return DateFromDayNumber(total / kMsPerDay,
                                     QTime::fromMSecsSinceStartOfDay(int(total % kMsPerDay)));
        }
        case kBcd:
            return DecodeBcd(p, slot.storedSize);
        case kBytes:
            if (AllZero(p, slot.bytes))
                return {};
            return QByteArray(reinterpret_cast<const char*>(p), slot.bytes);
        default:
            return decodeBlob(index, p);
        }
    }

    // The record holds the blob's first bytes and, at its end, where the rest lies in the .mb
    // file and how long the whole is.
    QVariant decodeBlob(size_t index, const uchar* p) {
        const FieldSlot& slot = m_layout.fieldSlots[index];
        const int leader = slot.bytes - kBlobTrailerSize;
        const quint32 pointer = qFromLittleEndian<quint32>(p + leader);
        const quint32 length = qFromLittleEndian<quint32>(p + leader + 4);
        const bool text = slot.code == kMemo;
        if (length == 0)
            return text ? QVariant(QStringLiteral("")) : QVariant();
        if (length > kMaxValueBytes)
            FailTable(m_path,
                      QStringLiteral("the value of field \"%1\" in record %2 claims %3 bytes, "
                                     "more than can be read.")
                          .arg(m_layout.fields[index].name)
                          .arg(m_rowNumber)
                          .arg(length));
        QByteArray data;
        if (pointer == 0) {
            if (length > quint32(leader))
                FailTable(m_path,
                          QStringLiteral("the value of field \"%1\" in record %2 is longer "
                                         "than the record holds, and no memo file entry is given.")
                              .arg(m_layout.fields[index].name)
                              .arg(m_rowNumber));
            data = QByteArray(reinterpret_cast<const char*>(p), qsizetype(length));
        } else {
            data = readMemo(index, pointer, length);
        }
        if (text)
            return m_text.decode(data.constData(), data.size());
        return data;
    }

    QByteArray readMemo(size_t index, quint32 pointer, quint32 length) {
        const QString where = QStringLiteral("the value of field \"%1\" in record %2")
                                  .arg(m_layout.fields[index].name)
                                  .arg(m_rowNumber);
        if (!m_memo) {
            if (m_memoPath.isEmpty())
                FailTable(m_path,
                          QStringLiteral("%1 is kept in a memo file (.mb) beside the table, "
                                         "and there is none.")
                              .arg(where));
            m_memo = std::make_unique<QFile>(m_memoPath);
            if (!m_memo->open(QIODevice::ReadOnly))
                FailMemo(
                    m_memoPath,
                    QStringLiteral("the file cannot be opened (%1).").arg(m_memo->errorString()));
        }
        const qint64 memoSize = m_memo->size();
        const qint64 blockAt = pointer & 0xFFFFFF00u;
        const int slot = int(pointer & 0xFFu);
        const QByteArray head = readMemoBytes(blockAt, 12, where);
        const auto* h = reinterpret_cast<const uchar*>(head.constData());
        qint64 dataAt = 0;
        if (slot == 0xFF) { // a block of its own
            if (h[0] != 2 || qFromLittleEndian<quint32>(h + 3) != length)
                FailMemo(m_memoPath,
                         QStringLiteral("%1 points at offset %2, where no such value is kept.")
                             .arg(where)
                             .arg(blockAt));
            dataAt = blockAt + 9;
        } else { // one of up to 64 small values sharing a block, in 16-byte steps
            if (h[0] != 3 || slot >= kMbSubEntries)
                FailMemo(m_memoPath,
                         QStringLiteral("%1 points at entry %2 of offset %3, where no such "
                                        "value is kept.")
                             .arg(where)
                             .arg(slot)
                             .arg(blockAt));
            const QByteArray entry = readMemoBytes(blockAt + 12 + 5 * qint64(slot), 5, where);
            const auto* e = reinterpret_cast<const uchar*>(entry.constData());
            const qint64 start = qint64(e[0]) * 16;
            const qint64 chunks = e[1];
            if (chunks == 0 || length > chunks * 16 || length <= (chunks - 1) * 16 ||
                start + length > kMbBlockSize)
                FailMemo(m_memoPath, QStringLiteral("%1 does not match its entry at offset %2.")
                                         .arg(where)
                                         .arg(blockAt));
            dataAt = blockAt + start;
        }
        if (dataAt + length > memoSize)
            FailMemo(m_memoPath, QStringLiteral("%1 runs past the end of the file.").arg(where));
        return readMemoBytes(dataAt, length, where);
    }

    QByteArray readMemoBytes(qint64 at, qint64 count, const QString& where) {
        if (at + count > m_memo->size() || !m_memo->seek(at))
            FailMemo(m_memoPath, QStringLiteral("%1 points past the end of the file.").arg(where));
        QByteArray bytes = m_memo->read(count);
        if (bytes.size() != count)
            FailMemo(m_memoPath, QStringLiteral("%1 cannot be read whole.").arg(where));
        return bytes;
    }

    QString m_path;
    QFile m_file;
    TableLayout m_layout; // after m_file, which it reads
    TextDecoder m_text;
    qint64 m_fileSize = 0;
    qint64 m_blocksInFile = 0;
    std::vector<bool> m_seen;
    int m_nextBlock = 0;
    QByteArray m_block;
    int m_rowsInBlock = 0;
    int m_rowInBlock = 0;
    qint64 m_rowNumber = 0;
    std::vector<QVariant> m_row;
    QString m_memoPath;
    std::unique_ptr<QFile> m_memo;
};

class ParadoxSource final : public FileTablesSource {
public:
    ParadoxSource(const QString& where, std::vector<TableFile> tables) : FileTablesSource(where, std::move(tables)) {}

private:
    std::unique_ptr<SourceTable> openFile(const QString& path) override { return std::make_unique<ParadoxTable>(path); }
};

} // namespace

ParadoxTableInfo ReadParadoxTableInfo(const QString& dbFile) {
    QFile file(dbFile);
    return ReadLayout(dbFile, file).info;
}

std::unique_ptr<Source> OpenParadoxSource(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw SourceError(QStringLiteral("\"%1\" does not exist.").arg(Shown(path)));
    std::vector<FileTablesSource::TableFile> tables;
    if (info.isDir()) {
        tables = TableFilesOfFolder(
            path, [](const QFileInfo& f) { return f.suffix().compare(QLatin1String("db"), Qt::CaseInsensitive) == 0; },
            [](const QFileInfo& f) { return f.completeBaseName(); });
        if (tables.empty())
            throw SourceError(
                QStringLiteral("The folder \"%1\" holds no Paradox tables (.db files).")
                    .arg(Shown(path)));
    } else {
        ReadParadoxTableInfo(path); // a file that is no table is refused now, not at first read
        tables.push_back({info.completeBaseName(), path});
    }
    return std::make_unique<ParadoxSource>(Shown(path), std::move(tables));
}

} // namespace import
