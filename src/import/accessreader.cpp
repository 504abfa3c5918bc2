#include "accessreader.h"

#include "codepage.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QtEndian>
#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <QUuid>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mdbtools.h>
#include <unordered_set>
#include <utility>

namespace import {
namespace {

constexpr int kOffsetMask = 0x1FFF;   // a row offset's flag bits above
constexpr int kMemoHeader = 12;       // length and flags, page and row, reserved
constexpr int kCatalogPage = 2;       // MSysObjects' definition, in every version
constexpr unsigned kMaxIndexes = 1000; // far above Access's own limit of 32
constexpr qint64 kMsPerDay = 86400000;
constexpr double kFirstDay = -657434.0; // 100-01-01
constexpr double kEndDay = 2958466.0;   // 10000-01-01

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void Fail(const QString& path, const QString& what) {
    throw SourceError(
        QStringLiteral("Cannot read the Access database \"%1\": %2").arg(Shown(path), what));
}

struct HandleCloser {
    void operator()(MdbHandle* h) const { mdb_close(h); }
};
using Handle = std::unique_ptr<MdbHandle, HandleCloser>;

struct TableDefFree {
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};
using TableDef = std::unique_ptr<MdbTableDef, TableDefFree>;

// What the file itself says, checked before libmdb sees it: libmdb takes an empty or foreign
// file for a Jet 3 database and reads zeros past the end of a short one.
struct Facts {
    QString path;
    bool jet3 = false;
    int codePage = 1252;
    qint64 pageSize = 4096;
    qint64 pageCount = 0;
};

Facts CheckFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        throw SourceError(QStringLiteral("\"%1\" does not exist.").arg(Shown(path)));
    if (!info.isFile())
        Fail(path, QStringLiteral("it is not a file."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail(path, QStringLiteral("the file cannot be opened (%1).").arg(file.errorString()));
    const qint64 size = file.size();
    if (size == 0)
        Fail(path, QStringLiteral("the file is empty."));
    const QByteArray head = file.read(0x20);
    static const char kJet[] = "\x00\x01\x00\x00Standard Jet DB";
    static const char kAce[] = "\x00\x01\x00\x00Standard ACE DB";
    const qsizetype signature = sizeof kJet; // with the closing NUL
    if (head.size() < 0x15 || (std::memcmp(head.constData(), kJet, signature) != 0 &&
                               std::memcmp(head.constData(), kAce, signature) != 0))
        Fail(path, QStringLiteral("the file is not an Access database."));
    Facts facts;
    facts.path = path;
    const int version = uchar(head[0x14]);
    if (version > MDB_VER_ACCDB_2019)
        Fail(path, QStringLiteral("the file is of an Access version this program cannot read "
                                  "(version mark %1).")
                       .arg(version));
    facts.jet3 = version == MDB_VER_JET3;
    facts.pageSize = facts.jet3 ? 2048 : 4096;
    // Access writes whole pages; the table list's definition is on page 2.
    if (size % facts.pageSize != 0 || size < (kCatalogPage + 1) * facts.pageSize)
        Fail(path, QStringLiteral("the file is cut short (%1 bytes is not a whole number of "
                                  "%2-byte pages).")
                       .arg(size)
                       .arg(facts.pageSize));
    facts.pageCount = size / facts.pageSize;
    return facts;
}

int FixedWidth(int colType) {
    switch (colType) {
    case MDB_BYTE:
        return 1;
    case MDB_INT:
        return 2;
    case MDB_LONGINT:
    case MDB_COMPLEX:
    case MDB_FLOAT:
        return 4;
    case MDB_MONEY:
    case MDB_DOUBLE:
    case MDB_DATETIME:
        return 8;
    case MDB_REPID:
        return 16;
    case MDB_NUMERIC:
        return 17;
    default:
        return 0;
    }
}

FieldType TypeOf(int colType) {
    switch (colType) {
    case MDB_BOOL:
        return FieldType::Boolean;
    case MDB_BYTE:
        return FieldType::Byte;
    case MDB_INT:
        return FieldType::Integer;
    case MDB_LONGINT:
    case MDB_COMPLEX: // the key of an attachment or multi-value list
        return FieldType::Long;
    case MDB_MONEY:
        return FieldType::Currency;
    case MDB_FLOAT:
        return FieldType::Single;
    case MDB_DOUBLE:
    case MDB_NUMERIC:
        return FieldType::Double;
    case MDB_DATETIME:
        return FieldType::Date;
    case MDB_TEXT:
        return FieldType::Text;
    case MDB_OLE:
        return FieldType::LongBinary;
    case MDB_MEMO:
        return FieldType::Memo;
    case MDB_REPID:
        return FieldType::Guid;
    default: // types of later versions (large numbers...): their bytes as they stand
        return FieldType::Binary;
    }
}

QString GuidText(const uchar* p) {
    const QUuid id(qFromLittleEndian<quint32>(p), qFromLittleEndian<quint16>(p + 4), qFromLittleEndian<quint16>(p + 6), p[8], p[9], p[10], p[11], p[12], p[13],
                   p[14], p[15]);
    return id.toString(QUuid::WithBraces).toUpper();
}

// One open table with a libmdb handle of its own (page buffers are per handle), reading rows
// in the order of the table's data pages. Values are decoded from the row's bytes as stored.
class AccessTable final : public SourceTable {
public:
    // The catalog is MSysObjects itself, named in messages as the list of tables.
    AccessTable(std::shared_ptr<const Facts> facts, Handle handle, const QString& name,
                quint32 definitionPage, bool catalog = false)
        : m_facts(std::move(facts)), m_handle(std::move(handle)),
          m_what(catalog ? QStringLiteral("the list of tables")
                         : QStringLiteral("the table \"%1\"").arg(name)) {
        MdbHandle* mdb = m_handle.get();
        m_entry.mdb = mdb;
        m_entry.object_type = MDB_TABLE;
        m_entry.table_pg = definitionPage;
        const QByteArray utf8 = name.toUtf8().left(MDB_MAX_OBJ_NAME);
        std::memcpy(m_entry.object_name, utf8.constData(), size_t(utf8.size()));
        if (definitionPage == 0 || definitionPage >= m_facts->pageCount)
            failTable(QStringLiteral("its definition lies past the end of the file."));
        m_table.reset(mdb_read_table(&m_entry));
        MdbTableDef* t = m_table.get();
        if (!t)
            failTable(QStringLiteral("its definition is damaged."));
        if (t->num_cols == 0)
            failTable(QStringLiteral("it has no fields."));
        if (t->num_cols > unsigned(kMaxFields))
            failTable(QStringLiteral("it has %1 fields, more than the %2 that can be read.")
                          .arg(t->num_cols)
                          .arg(kMaxFields));
        // libmdb trusts these counts and the page map; a damaged one sends it far astray.
        if (t->num_real_idxs > kMaxIndexes || t->num_idxs > kMaxIndexes || !t->usage_map ||
            t->map_sz < 5 || (t->usage_map[0] != 0 && t->usage_map[0] != 1))
            failTable(QStringLiteral("its definition is damaged."));
        // Every page the map names must be in the file: libmdb reads a missing page as zeros
        // or stops early, and the rows on it would be lost without a word.
        for (gint32 page = 0;
             (page = mdb_map_find_next(mdb, t->usage_map, unsigned(t->map_sz), guint32(page)));) {
            if (page < 0 || page >= m_facts->pageCount)
                failTable(QStringLiteral("its rows go on past the end of the file; the file is "
                                         "cut short or damaged."));
        }
        if (!mdb_read_columns(t) || t->columns->len != t->num_cols)
            failTable(QStringLiteral("its field list is damaged."));
        for (unsigned i = 0; i < t->num_cols; ++i) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i));
            SourceField field;
            field.name = QString::fromUtf8(col->name);
            if (field.name.isEmpty())
                field.name = QStringLiteral("Field%1").arg(i + 1);
            field.type = TypeOf(col->col_type);
            if (col->col_type == MDB_TEXT)
                field.size = m_facts->jet3 ? col->col_size : col->col_size / 2;
            m_columns.push_back(col);
            m_fields.push_back(field);
        }
        m_wanted.assign(m_fields.size(), true);
        m_cracked.resize(m_fields.size());
        mdb_rewind_table(t);
    }

    // Only these fields are decoded (the table list needs four of MSysObjects' columns).
    void decodeOnly(const std::vector<int>& indexes) {
        std::fill(m_wanted.begin(), m_wanted.end(), false);
        for (int i : indexes)
            if (i >= 0 && size_t(i) < m_wanted.size())
                m_wanted[size_t(i)] = true;
    }

    const std::vector<SourceField>& fields() const override { return m_fields; }

    bool next() override {
        m_row.clear();
        if (m_done)
            return false;
        int start = 0;
        size_t size = 0;
        if (!nextRow(&start, &size)) {
            m_done = true;
            checkComplete();
            return false;
        }
        ++m_rowNumber;
        MdbTableDef* t = m_table.get();
        MdbHandle* mdb = m_handle.get();
        // libmdb skips a row it cannot take apart without a word; here it is an error.
        if (mdb_crack_row(t, start, size, m_cracked.data()) < 0)
            failRow();
        const uchar* page = mdb->pg_buf;
        const qint64 rowEnd = qint64(start) + qint64(size);
        m_row.resize(m_fields.size());
        for (size_t i = 0; i < m_fields.size(); ++i) {
            const MdbField& f = m_cracked[i];
            const int type = m_columns[i]->col_type;
            if (type == MDB_BOOL) { // stored in the null flag itself; never NULL
                m_row[i] = !f.is_null;
                continue;
            }
            if (f.is_null || !m_wanted[i])
                continue;
            if (f.siz < 0 || f.start < start || qint64(f.start) + f.siz > rowEnd ||
                f.siz < FixedWidth(type))
                failRow();
            m_row[i] = decode(i, type, page + f.start, f.siz);
        }
        return true;
    }

    QVariant value(int index) const override {
        if (index < 0 || size_t(index) >= m_row.size())
            return {};
        return m_row[size_t(index)];
    }

private:
    [[noreturn]] void failTable(const QString& what) const {
        Fail(m_facts->path, QStringLiteral("%1 cannot be read: %2").arg(m_what, what));
    }

    [[noreturn]] void failRow(const QString& what = QString()) const {
        const QString note = what.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(what);
        Fail(m_facts->path,
             QStringLiteral("row %1 of %2 is damaged%3.").arg(m_rowNumber).arg(m_what, note));
    }

    // The table's rows page by page, as mdb_fetch_row walks them, so that a row it would
    // drop can be reported. A row entry with 0x4000 set is deleted or was moved to another
    // page (reached there); an entry that locates nothing is skipped, as libmdb does.
    bool nextRow(int* start, size_t* size) {
        MdbHandle* mdb = m_handle.get();
        const int counts = mdb->fmt->row_count_offset;
        for (;;) {
            if (m_rowOnPage >= m_rowsOnPage) {
                if (!mdb_read_next_dpg(m_table.get()))
                    return false;
                m_rowsOnPage = qFromLittleEndian<quint16>(mdb->pg_buf + counts);
                m_rowOnPage = 0;
                if (counts + 2 + 2 * qint64(m_rowsOnPage) > m_facts->pageSize) {
                    ++m_rowNumber;
                    failRow(QStringLiteral("its page is damaged"));
                }
                continue; // a page whose rows were all deleted holds none
            }
            const int row = m_rowOnPage++;
            if (qFromLittleEndian<quint16>(mdb->pg_buf + counts + 2 + 2 * row) & 0x4000)
                continue;
            if (mdb_find_row(mdb, row, start, size) != 0 || *size == 0)
                continue;
            *start &= kOffsetMask;
            return true;
        }
    }

    // The page map still names a page when libmdb stopped because a page was missing.
    void checkComplete() const {
        MdbTableDef* t = m_table.get();
        const gint32 nextPage =
            mdb_map_find_next(m_handle.get(), t->usage_map, unsigned(t->map_sz), t->cur_phys_pg);
        if (nextPage != 0)
            failTable(QStringLiteral("its rows go on past the end of the file; the file is cut "
                                     "short or damaged."));
    }

    QVariant decode(size_t i, int type, const uchar* p, int n) const {
        switch (type) {
        case MDB_BYTE:
            return int(p[0]);
        case MDB_INT:
            return int(qint16(qFromLittleEndian<quint16>(p)));
        case MDB_LONGINT:
        case MDB_COMPLEX:
            return int(qint32(qFromLittleEndian<quint32>(p)));
        case MDB_MONEY: // 1/10000 units: exact in a double up to 2^53
            return double(qint64(qFromLittleEndian<quint64>(p))) / 10000.0;
        case MDB_FLOAT: {
            float f;
            const quint32 bits = qFromLittleEndian<quint32>(p);
            std::memcpy(&f, &bits, sizeof f);
            return double(f);
        }
        case MDB_DOUBLE:
        case MDB_DATETIME: {
            double d;
            const quint64 bits = qFromLittleEndian<quint64>(p);
            std::memcpy(&d, &bits, sizeof d);
            return type == MDB_DOUBLE ? QVariant(d) : access::DateFromSerial(d);
        }
        case MDB_NUMERIC:
            // libmdb's col_prec holds the byte Access keeps the scale in.
            return access::DecodeDecimal(
                QByteArray(reinterpret_cast<const char*>(p), 17), m_columns[i]->col_prec);
        case MDB_REPID:
            return GuidText(p);
        case MDB_TEXT:
            return text(QByteArray(reinterpret_cast<const char*>(p), n));
        case MDB_MEMO:
            return text(longValue(i, p, n));
        case MDB_OLE:
            return longValue(i, p, n);
        default:
            return QByteArray(reinterpret_cast<const char*>(p), n);
        }
    }

    QString text(const QByteArray& bytes) const {
        QString s = access::DecodeText(bytes, m_facts->jet3, m_facts->codePage);
        if (s.isNull())
            s = QStringLiteral(""); // stored, though empty: not NULL
        return s;
    }

    // One row of a long-value page, by its page-and-row pointer.
    QByteArray longValueRow(size_t i, quint32 pageRow) const {
        const quint32 page = pageRow >> 8;
        void* buf = nullptr;
        int offset = 0;
        size_t length = 0;
        MdbHandle* mdb = m_handle.get();
        const int counts = mdb->fmt->row_count_offset;
        if (page == 0 || page >= m_facts->pageCount ||
            mdb_find_pg_row(mdb, int(pageRow), &buf, &offset, &length) != 0 ||
            qint64(offset) + qint64(length) > m_facts->pageSize ||
            static_cast<const uchar*>(buf)[0] != MDB_PAGE_DATA ||
            (pageRow & 0xFF) >= qFromLittleEndian<quint16>(static_cast<const uchar*>(buf) + counts))
            failRow(fieldNote(i, QStringLiteral("its data lies outside the file")));
        return QByteArray(static_cast<const char*>(buf) + offset, qsizetype(length));
    }

    QString fieldNote(size_t i, const QString& what) const {
        return QStringLiteral("the field \"%1\": %2").arg(m_fields[i].name, what);
    }

    // Memo and OLE values: inline in the row, on one other page, or in a chain of pages.
    QByteArray longValue(size_t i, const uchar* p, int n) const {
        if (n == 0)
            return QByteArray("");
        if (n < kMemoHeader)
            failRow(fieldNote(i, QStringLiteral("its header is cut short")));
        const quint32 head = qFromLittleEndian<quint32>(p);
        const qint64 length = head & 0x00FFFFFF;
        const quint32 kind = head >> 24;
        if (kind & 0x80)
            return QByteArray(reinterpret_cast<const char*>(p) + kMemoHeader, n - kMemoHeader);
        quint32 pageRow = qFromLittleEndian<quint32>(p + 4);
        if (kind & 0x40)
            return longValueRow(i, pageRow);
        if (kind != 0)
            failRow(fieldNote(i, QStringLiteral("its header is damaged")));
        // Each page of the chain starts with the pointer to the next one.
        QByteArray out;
        std::unordered_set<quint32> seen;
        while (pageRow != 0 && out.size() < length) {
            if (!seen.insert(pageRow).second)
                failRow(fieldNote(i, QStringLiteral("its chain of pages runs in a loop")));
            const QByteArray piece = longValueRow(i, pageRow);
            if (piece.size() < 4)
                failRow(fieldNote(i, QStringLiteral("a page of it is damaged")));
            const auto* q = reinterpret_cast<const uchar*>(piece.constData());
            out += piece.mid(4, std::min<qint64>(piece.size() - 4, length - out.size()));
            pageRow = qFromLittleEndian<quint32>(q);
        }
        if (out.size() < length)
            failRow(fieldNote(i, QStringLiteral("its chain of pages ends early")));
        return out;
    }

    std::shared_ptr<const Facts> m_facts;
    Handle m_handle;
    QString m_what; // for messages
    MdbCatalogEntry m_entry{}; // m_table points at it
    TableDef m_table;
    std::vector<MdbColumn*> m_columns; // owned by m_table
    std::vector<SourceField> m_fields;
    std::vector<bool> m_wanted;
    std::vector<MdbField> m_cracked;
    std::vector<QVariant> m_row;
    qint64 m_rowNumber = 0;
    int m_rowsOnPage = 0;
    int m_rowOnPage = 0;
    bool m_done = false;
};

struct TableEntry {
    QString name;
    quint32 definitionPage = 0;
};

class AccessSource final : public Source {
public:
    AccessSource(std::shared_ptr<const Facts> facts, Handle handle)
        : m_facts(std::move(facts)), m_handle(std::move(handle)) {
        readCatalog();
    }

    QStringList tableNames() const override {
        QStringList names;
        for (const TableEntry& t : m_tables)
            names << t.name;
        return names;
    }

    std::unique_ptr<SourceTable> openTable(const QString& name) override {
        auto found = std::find_if(m_tables.begin(), m_tables.end(),
                                  [&](const TableEntry& t) { return t.name == name; });
        if (found == m_tables.end())
            found = std::find_if(m_tables.begin(), m_tables.end(), [&](const TableEntry& t) {
                return t.name.compare(name, Qt::CaseInsensitive) == 0;
            });
        if (found == m_tables.end())
            throw SourceError(QStringLiteral("The Access database \"%1\" has no table named \"%2\".")
                                  .arg(Shown(m_facts->path), name));
        return std::make_unique<AccessTable>(m_facts, clone(), found->name,
                                             found->definitionPage);
    }

private:
    Handle clone() const { return Handle(mdb_clone_handle(m_handle.get())); }

    // MSysObjects lists every object; user tables are type 1 without the system flags.
    void readCatalog() {
        AccessTable catalog(m_facts, clone(), QStringLiteral("MSysObjects"), kCatalogPage, true);
        const int id = catalog.fieldIndex(QStringLiteral("Id"));
        const int name = catalog.fieldIndex(QStringLiteral("Name"));
        const int type = catalog.fieldIndex(QStringLiteral("Type"));
        const int flags = catalog.fieldIndex(QStringLiteral("Flags"));
        if (id < 0 || name < 0 || type < 0 || flags < 0)
            Fail(m_facts->path,
                 QStringLiteral("its list of tables is damaged, or the file is encrypted."));
        catalog.decodeOnly({id, name, type, flags});
        while (catalog.next()) {
            const QString tableName = catalog.value(name).toString();
            if ((catalog.value(type).toInt() & 0x7F) != MDB_TABLE || tableName.isEmpty() ||
                (quint32(catalog.value(flags).toInt()) & 0x80000002u) != 0 ||
                tableName.startsWith(QLatin1String("MSys"), Qt::CaseInsensitive))
                continue;
            m_tables.push_back({tableName, quint32(catalog.value(id).toInt()) & 0x00FFFFFFu});
        }
        if (m_tables.empty())
            Fail(m_facts->path, QStringLiteral("the database holds no tables."));
        std::sort(m_tables.begin(), m_tables.end(), [](const TableEntry& a, const TableEntry& b) {
            const int c = a.name.compare(b.name, Qt::CaseInsensitive);
            return c != 0 ? c < 0 : a.name < b.name;
        });
    }

    std::shared_ptr<const Facts> m_facts;
    Handle m_handle;
    std::vector<TableEntry> m_tables;
};

} // namespace

namespace access {

QVariant DateFromSerial(double serial) {
    if (!std::isfinite(serial) || serial < kFirstDay || serial >= kEndDay)
        return {};
    double whole = 0;
    const double fraction = std::fabs(std::modf(serial, &whole));
    qint64 days = qint64(whole);
    qint64 ms = std::llround(fraction * double(kMsPerDay));
    if (ms >= kMsPerDay) { // rounds up to the next midnight
        ms -= kMsPerDay;
        ++days;
    }
    const QDate date = QDate(1899, 12, 30).addDays(days);
    if (date.year() > 9999)
        return {};
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::UTC);
}

QString DecodeText(const QByteArray& bytes, bool jet3, int codePage) {
    if (jet3)
        return DecodeCodePage(bytes, codePage == 0 ? 1252 : codePage);
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    QString out;
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        out.reserve(n - 2);
        bool compressed = true;
        for (qsizetype i = 2; i < n;) {
            if (p[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                out += QChar(char16_t(p[i++]));
            } else if (i + 1 < n) {
                out += QChar(qFromLittleEndian<quint16>(p + i));
                i += 2;
            } else {
                break; // an odd byte at the end
            }
        }
        return out;
    }
    out.reserve(n / 2);
    for (qsizetype i = 0; i + 1 < n; i += 2)
        out += QChar(qFromLittleEndian<quint16>(p + i));
    return out;
}

double DecodeDecimal(const QByteArray& bytes17, int scale) {
    if (bytes17.size() < 17)
        return 0;
    const auto* p = reinterpret_cast<const uchar*>(bytes17.constData());
    std::array<quint32, 4> words{qFromLittleEndian<quint32>(p + 1), qFromLittleEndian<quint32>(p + 5), qFromLittleEndian<quint32>(p + 9), qFromLittleEndian<quint32>(p + 13)};
    QByteArray digits;
    while (std::any_of(words.begin(), words.end(), [](quint32 w) { return w != 0; })) {
        quint64 rest = 0;
        for (quint32& w : words) {
            const quint64 part = (rest << 32) | w;
            w = quint32(part / 10);
            rest = part % 10;
        }
        digits.prepend(char('0' + rest));
    }
    scale = std::clamp(scale, 0, 38);
    if (digits.size() <= scale)
        digits.prepend(QByteArray(scale - digits.size() + 1, '0'));
    digits.insert(digits.size() - scale, '.');
    if (p[0] & 0x80)
        digits.prepend('-');
    return digits.toDouble();
}

} // namespace access

std::unique_ptr<Source> OpenAccessSource(const QString& path) {
    auto facts = std::make_shared<Facts>(CheckFile(path));
    Handle handle(mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS));
    if (!handle)
        Fail(path, QStringLiteral("the file cannot be opened as an Access database."));
    facts->codePage = handle->f->code_page;
    if (bool(IS_JET3(handle.get())) != facts->jet3)
        Fail(path, QStringLiteral("the file is not an Access database."));
    return std::make_unique<AccessSource>(std::move(facts), std::move(handle));
}

} // namespace import
