#include "recordset.h"

#include <QRegularExpression>
#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace db {

namespace {

constexpr long kBlockRows = 64;      // rows read ahead per fetch while walking
constexpr std::int64_t kMaxSpan = 4 * kBlockRows; // keys a read-ahead may step over

QString quoted(const QString& identifier) {
    QString q = identifier;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

void bindValue(Database& db, sqlite3_stmt* st, int index, const QVariant& v) {
    int rc = SQLITE_OK;
    switch (v.typeId()) {
    case QMetaType::UnknownType: rc = sqlite3_bind_null(st, index); break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool: rc = sqlite3_bind_int64(st, index, v.toLongLong()); break;
    case QMetaType::Double: rc = sqlite3_bind_double(st, index, v.toDouble()); break;
    default: {
        const QString s = v.toString();
        rc = sqlite3_bind_text16(st, index, s.utf16(), int(s.size() * sizeof(char16_t)),
                                 SQLITE_TRANSIENT);
    }
    }
    if (rc != SQLITE_OK) db.raise();
}

// Same type and same value; a NULL equals only a NULL.
bool SameValue(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
    if (a.typeId() != b.typeId()) return false;
    switch (a.typeId()) {
    case QMetaType::Int: return a.toInt() == b.toInt();
    case QMetaType::Double: return std::bit_cast<std::uint64_t>(a.toDouble()) == std::bit_cast<std::uint64_t>(b.toDouble());
    case QMetaType::QString: return a.toString() == b.toString();
    default: return false;
    }
}

} // namespace

Recordset::Recordset(Database& database) : m_db(database), m_registry(database.recordsets()) {
    m_registry->list.push_back(this);
    for (int depth = 1; depth <= m_db.transactionDepth(); ++depth) transactionBegun(depth);
}

Recordset::~Recordset() {
    auto& list = m_registry->list;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void Recordset::transactionBegun(int depth) {
    Savepoint sp;
    sp.depth = depth;
    sp.open = m_open;
    sp.table = m_table;
    sp.filter = m_filterText;
    sp.pos = m_pos;
    sp.onDeleted = m_onDeleted;
    m_savepoints.push_back(std::move(sp));
}

void Recordset::saveMembership() {
    if (m_savepoints.empty() || m_savepoints.back().keys) return; // outer levels are saved too
    const auto keys = std::make_shared<const std::vector<std::int64_t>>(m_keys);
    for (Savepoint& sp : m_savepoints)
        if (!sp.keys) sp.keys = keys;
}

void Recordset::invalidateCache() {
    m_cells.clear();
    m_cacheHas.clear();
    m_cachePresent.clear();
    m_cacheText.clear();
    m_cacheStart = -1;
    m_cacheCount = 0;
}

void Recordset::transactionEnded(int depth, bool committed) noexcept {
    const auto level = std::find_if(m_savepoints.begin(), m_savepoints.end(),
                                    [depth](const Savepoint& sp) { return sp.depth > depth; });
    if (committed) {
        m_savepoints.erase(level, m_savepoints.end());
        return;
    }
    const bool known = level != m_savepoints.end() && level->depth == depth + 1;
    const Savepoint sp = known ? *level : Savepoint();
    m_savepoints.erase(level, m_savepoints.end());
    m_editMode = NoEdit;
    invalidateCache();
    m_findSql.clear(); // an index made inside the level is gone: make it again
    if (known && sp.open && m_open && sp.table == m_table) {
        if (sp.keys) m_keys = *sp.keys;
        m_filterText = sp.filter;
        m_pos = sp.pos;
        m_onDeleted = sp.onDeleted;
        return;
    }
    if (!m_open) return;
    // Opened inside the rolled-back level: read its rows again, staying on the same row if
    // that row is still there.
    const std::int64_t key = (m_pos >= 0 && m_pos < long(m_keys.size())) ? m_keys[size_t(m_pos)] : -1;
    try {
        requery();
        const long pos = positionOfKey(key);
        if (pos >= 0) m_pos = pos;
    } catch (const Error&) {
        m_keys.clear();
        m_pos = -1;
        m_onDeleted = false;
    }
}

void Recordset::open(const QString& sql) {
    m_updateSql.clear();
    m_findSql.clear();
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+(?:\[([^\]]+)\]|([A-Za-z_][A-Za-z0-9_]*))\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(sql);
    if (!m.hasMatch()) throw Error(QStringLiteral("Unsupported query: %1").arg(sql));
    close();
    const TableDef def = m_db.tableDef(m.captured(1).isEmpty() ? m.captured(2) : m.captured(1));
    m_table = def.name;
    m_tableWrites = m_db.tableCounter(m_table);
    m_fields = def.fields;
    QStringList cols, marks;
    for (const FieldDef& f : m_fields) {
        cols << quoted(f.name);
        marks << QStringLiteral("?");
    }
    const QString all = cols.join(QLatin1Char(','));
    m_rowSql = QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(all, quoted(m_table));
    m_insertSql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoted(m_table), all, marks.join(QLatin1Char(',')));
    m_wanted.assign(m_fields.size(), 0);
    m_loadSql.clear();
    m_filterText.clear();
    m_open = true;
    requery();
}

void Recordset::close() {
    saveMembership();
    m_open = false;
    m_keys.clear();
    m_pos = -1;
    m_onDeleted = false;
    invalidateCache();
    m_editMode = NoEdit;
}

void Recordset::requireOpen() const {
    if (!m_open) throw Error(QStringLiteral("Object invalid or no longer set."));
    if (!m_db.isOpen()) throw Error(QStringLiteral("Database is not open."));
}

void Recordset::requery() {
    requireOpen();
    QString sql = QStringLiteral("SELECT rowid FROM %1").arg(quoted(m_table));
    Filter f;
    const bool filtered = !m_filterText.trimmed().isEmpty();
    if (filtered) {
        f = parseFilter(m_filterText);
        const int idx = requireField(f.field);
        const bool text = m_fields[size_t(idx)].type == Type::Text;
        m_db.ensureIndex(m_table, m_fields[size_t(idx)].name);
        sql += QStringLiteral(" WHERE %1 %2 ?%3")
                   .arg(quoted(m_fields[size_t(idx)].name), f.op,
                        text ? QStringLiteral(" COLLATE NOCASE") : QString());
    }
    sql += QStringLiteral(" ORDER BY rowid");
    sqlite3_stmt* st = m_db.prepareCached(sql);
    if (filtered) bindValue(m_db, st, 1, f.literal);
    std::vector<std::int64_t> keys;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) keys.push_back(sqlite3_column_int64(st, 0));
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) m_db.raise();
    saveMembership();
    m_keys = std::move(keys);
    m_pos = m_keys.empty() ? -1 : 0;
    m_onDeleted = false;
    invalidateCache();
    m_editMode = NoEdit;
}

bool Recordset::isBOF() const { return m_keys.empty() || m_pos < 0; }
bool Recordset::isEOF() const { return m_keys.empty() || m_pos >= long(m_keys.size()); }

void Recordset::moveFirst() {
    requireOpen();
    m_editMode = NoEdit;
    m_onDeleted = false;
    m_pos = m_keys.empty() ? -1 : 0;
}

void Recordset::moveLast() {
    requireOpen();
    m_editMode = NoEdit;
    m_onDeleted = false;
    m_pos = long(m_keys.size()) - 1;
}

void Recordset::moveNext() {
    requireOpen();
    m_editMode = NoEdit;
    if (m_onDeleted) { // the row after the deleted one already sits at m_pos
        m_onDeleted = false;
        return;
    }
    m_pos = std::min(m_pos + 1, long(m_keys.size()));
}

void Recordset::movePrev() {
    requireOpen();
    m_editMode = NoEdit;
    m_onDeleted = false;
    m_pos = std::max(m_pos - 1, -1L);
}

long Recordset::positionOfKey(std::int64_t key) const {
    const auto it = std::lower_bound(m_keys.begin(), m_keys.end(), key);
    return (it != m_keys.end() && *it == key) ? long(it - m_keys.begin()) : -1;
}

bool Recordset::findFrom(const QString& filterText, std::int64_t afterKey) {
    requireOpen();
    const Filter f = parseFilter(filterText);
    return findRow(requireField(f.field), f.op, f.literal, afterKey, false);
}

bool Recordset::findRow(int idx, const QString& op, const QVariant& literal, std::int64_t afterKey, bool exact) {
    // Owners find by the same field over and over ("ID = %d"): the query text is made once.
    const QString key = exact ? QStringLiteral("==") : op;
    auto known = std::find_if(m_findSql.begin(), m_findSql.end(),
                              [&](const FindSql& q) { return q.field == idx && q.op == key; });
    if (known == m_findSql.end()) {
        const FieldDef& field = m_fields[size_t(idx)];
        m_db.ensureIndex(m_table, field.name);
        const bool text = field.type == Type::Text;
        // A text index ignores letter case: an exact find narrows by it, then compares as stored.
        const QString test = !text  ? QStringLiteral("%1 %2 ?1").arg(quoted(field.name), op)
                             : exact ? QStringLiteral("%1 = ?1 COLLATE NOCASE AND %1 = ?1 COLLATE BINARY").arg(quoted(field.name))
                                     : QStringLiteral("%1 %2 ?1 COLLATE NOCASE").arg(quoted(field.name), op);
        m_findSql.push_back({idx, key,
                             QStringLiteral("SELECT rowid FROM %1 WHERE %2 AND rowid > ?2 ORDER BY rowid")
                                 .arg(quoted(m_table), test)});
        known = m_findSql.end() - 1;
    }
    const QString& sql = known->sql;
    sqlite3_stmt* st = m_db.prepareCached(sql);
    bindValue(m_db, st, 1, literal);
    sqlite3_bind_int64(st, 2, afterKey);
    int rc;
    long found = -1;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        found = positionOfKey(sqlite3_column_int64(st, 0));
        if (found >= 0) break;
    }
    sqlite3_reset(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) m_db.raise();
    if (found < 0) return false; // no match: the current row stays
    m_editMode = NoEdit;
    m_onDeleted = false;
    m_pos = found;
    return true;
}

bool Recordset::findFirstExact(const QString& field, const QVariant& value) {
    requireOpen();
    const int idx = requireField(field);
    const QVariant literal = m_fields[size_t(idx)].type == Type::Text ? QVariant(value.toString()) : value;
    return findRow(idx, QStringLiteral("="), literal, std::numeric_limits<std::int64_t>::min(), true);
}

bool Recordset::findFirst(const QString& filter) {
    return findFrom(filter, std::numeric_limits<std::int64_t>::min());
}

bool Recordset::findNext(const QString& filter) {
    requireOpen();
    std::int64_t after = std::numeric_limits<std::int64_t>::min();
    if (m_pos >= long(m_keys.size())) return false;
    if (m_pos >= 0) after = m_onDeleted ? m_keys[size_t(m_pos)] - 1 : m_keys[size_t(m_pos)];
    return findFrom(filter, after);
}

bool Recordset::findNextContaining(const QStringList& fields, const QString& text) {
    requireOpen();
    if (m_keys.empty() || fields.isEmpty()) return false;
    QStringList tests;
    for (const QString& f : fields)
        tests << QStringLiteral("%1 LIKE ?1 ESCAPE '\\'").arg(quoted(m_fields[size_t(requireField(f))].name));
    QString pattern = text;
    pattern.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('%'), QLatin1String("\\%"))
        .replace(QLatin1Char('_'), QLatin1String("\\_"));
    pattern = QLatin1Char('%') + pattern + QLatin1Char('%');
    const bool onRow = m_pos >= 0 && m_pos < long(m_keys.size());
    const std::int64_t current = onRow ? m_keys[size_t(m_pos)] : std::numeric_limits<std::int64_t>::min();
    const std::int64_t after = onRow && m_onDeleted ? current - 1 : current;
    // First the rows after the current one, then from the top up to it.
    const QString where = tests.join(QStringLiteral(" OR "));
    for (const char* range : {"rowid > ?2", "rowid < ?2"}) {
        const QString sql = QStringLiteral("SELECT rowid FROM %1 WHERE (%2) AND %3 ORDER BY rowid")
                                .arg(quoted(m_table), where, QLatin1String(range));
        sqlite3_stmt* st = m_db.prepareCached(sql);
        bindValue(m_db, st, 1, pattern);
        sqlite3_bind_int64(st, 2, range[6] == '>' ? after : current);
        long found = -1;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            found = positionOfKey(sqlite3_column_int64(st, 0));
            if (found >= 0) break;
        }
        sqlite3_reset(st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) m_db.raise();
        if (found >= 0) {
            m_editMode = NoEdit;
            m_onDeleted = false;
            m_pos = found;
            return true;
        }
    }
    return false;
}

int Recordset::fieldIndex(const QString& name) const {
    // Owners read and write a row's fields in the same order row after row: try the field
    // after the last one asked for first. Otherwise a scan beats a hash here: tables are
    // narrow, and hashing a name costs more than comparing it.
    const int count = int(m_fields.size());
    if (m_nameHint < count && m_fields[size_t(m_nameHint)].name == name) return m_nameHint++;
    for (int i = 0; i < count; ++i)
        if (m_fields[size_t(i)].name == name) {
            m_nameHint = i + 1;
            return i;
        }
    for (int i = 0; i < count; ++i) // field names ignore case
        if (m_fields[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int Recordset::requireField(const QString& name) const {
    const int i = fieldIndex(name);
    if (i < 0) throw Error(QStringLiteral("Item not found in this collection: '%1'.").arg(name));
    return i;
}

void Recordset::requireCurrent() const {
    requireOpen();
    if (m_onDeleted) throw Error(QStringLiteral("Record is deleted."));
    if (isBOF() || isEOF()) throw Error(QStringLiteral("No current record."));
}

std::int64_t Recordset::currentKey() const {
    requireCurrent();
    return m_keys[size_t(m_pos)];
}

void Recordset::loadRows(std::size_t pos) const {
    if (m_loadSql.isEmpty()) {
        QStringList cols;
        m_loadFields.clear();
        for (int i = 0; i < int(m_fields.size()); ++i)
            if (m_wanted[size_t(i)]) {
                cols << quoted(m_fields[size_t(i)].name);
                m_loadFields.push_back(i);
            }
        m_loadSql = QStringLiteral("SELECT rowid,%1 FROM %2 WHERE rowid BETWEEN ? AND ? ORDER BY rowid")
                        .arg(cols.join(QLatin1Char(',')), quoted(m_table));
    }
    // Read ahead a run of member rows whose keys lie close together.
    const std::int64_t lo = m_keys[pos];
    std::size_t end = pos;
    while (end + 1 < m_keys.size() && long(end - pos) + 1 < kBlockRows &&
           m_keys[end + 1] - lo < kMaxSpan)
        ++end;
    const std::int64_t hi = m_keys[end];
    sqlite3_stmt* st = m_db.prepareCached(m_loadSql);
    sqlite3_bind_int64(st, 1, lo);
    sqlite3_bind_int64(st, 2, hi);
    const std::size_t rows = end - pos + 1;
    const std::size_t width = m_fields.size();
    m_cacheStart = -1; // until the block is complete
    m_cells.assign(rows * width, Cell());
    m_cachePresent.assign(rows, 0);
    m_cacheText.clear();
    std::size_t next = pos;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const std::int64_t key = sqlite3_column_int64(st, 0);
        while (next <= end && m_keys[next] < key) ++next; // members without a row were deleted
        if (next > end) break;
        if (m_keys[next] != key) continue; // a row that is not a member
        Cell* row = &m_cells[(next - pos) * width];
        for (std::size_t k = 0; k < m_loadFields.size(); ++k) {
            const int f = m_loadFields[k];
            readCell(st, int(k) + 1, m_fields[size_t(f)].type, row[f], m_cacheText);
        }
        m_cachePresent[next - pos] = 1;
        ++next;
    }
    sqlite3_reset(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) m_db.raise();
    m_cacheHas = m_wanted;
    m_cacheStart = long(pos);
    m_cacheCount = long(rows);
    m_cacheGeneration = generation();
}

// Booleans read as 0/1 and whole numbers as int whatever another program stored.
void Recordset::readCell(sqlite3_stmt* st, int col, Type type, Cell& cell, std::string& text) {
    cell = Cell();
    const int stored = sqlite3_column_type(st, col);
    if (stored == SQLITE_NULL) return;
    switch (type) {
    case Type::Boolean: {
        const double d = sqlite3_column_double(st, col);
        cell.kind = Cell::Int;
        cell.value = d != 0.0 ? 1 : 0;
        cell.exact = stored == SQLITE_INTEGER && (d == 0.0 || d == 1.0);
        return;
    }
    case Type::Integer:
    case Type::Long: {
        const std::int64_t v = sqlite3_column_int64(st, col);
        cell.kind = Cell::Int;
        cell.value = std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        cell.exact = stored == SQLITE_INTEGER && cell.value == v;
        return;
    }
    case Type::Double:
    case Type::Date:
        cell.kind = Cell::Real;
        cell.value = std::bit_cast<std::int64_t>(sqlite3_column_double(st, col));
        cell.exact = stored == SQLITE_FLOAT || stored == SQLITE_INTEGER;
        return;
    case Type::Text: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        const int bytes = sqlite3_column_bytes(st, col);
        cell.kind = Cell::Text;
        cell.exact = stored == SQLITE_TEXT;
        cell.size = std::uint32_t(bytes);
        cell.value = std::int64_t(text.size());
        text.append(p ? p : "", std::size_t(bytes));
        return;
    }
    }
}

QVariant Recordset::cellValue(const Cell& cell, const std::string& text) {
    switch (cell.kind) {
    case Cell::Null: break;
    case Cell::Int: return QVariant(int(cell.value));
    case Cell::Real: return QVariant(std::bit_cast<double>(cell.value));
    case Cell::Text: return QVariant(QString::fromUtf8(text.data() + cell.value, qsizetype(cell.size)));
    }
    return {};
}

QVariant Recordset::cachedValue(long row, int index) const {
    return cellValue(m_cells[size_t(row) * m_fields.size() + size_t(index)], m_cacheText);
}

void Recordset::storeCached(long row, int index, const QVariant& v) {
    Cell& cell = m_cells[size_t(row) * m_fields.size() + size_t(index)];
    cell = Cell();
    if (!v.isValid() || v.isNull()) return;
    switch (m_fields[size_t(index)].type) {
    case Type::Text: {
        const QByteArray utf8 = v.toString().toUtf8();
        cell.kind = Cell::Text;
        cell.size = std::uint32_t(utf8.size());
        cell.value = std::int64_t(m_cacheText.size());
        m_cacheText.append(utf8.constData(), std::size_t(utf8.size()));
        return;
    }
    case Type::Double:
    case Type::Date:
        cell.kind = Cell::Real;
        cell.value = std::bit_cast<std::int64_t>(v.toDouble());
        return;
    default:
        cell.kind = Cell::Int;
        cell.value = v.toInt();
        return;
    }
}

long Recordset::cacheRowFor(int index) const {
    requireCurrent();
    if (!m_wanted[size_t(index)]) {
        m_wanted[size_t(index)] = 1;
        m_loadSql.clear();
    }
    if (m_cacheStart < 0 || m_cacheGeneration != generation() || m_pos < m_cacheStart ||
        m_pos >= m_cacheStart + m_cacheCount || !m_cacheHas[size_t(index)])
        loadRows(size_t(m_pos));
    const long row = m_pos - m_cacheStart;
    if (!m_cachePresent[size_t(row)]) throw Error(QStringLiteral("Record is deleted."));
    return row;
}

QVariant Recordset::value(int index) const {
    requireOpen();
    if (index < 0 || index >= int(m_fields.size()))
        throw Error(QStringLiteral("Item not found in this collection."));
    if (m_editMode != NoEdit) return m_buffer[size_t(index)];
    return cachedValue(cacheRowFor(index), index);
}

QVariant Recordset::value(const QString& name) const { return value(requireField(name)); }

void Recordset::addNew() {
    requireOpen();
    m_buffer.assign(m_fields.size(), QVariant());
    m_dirty.assign(m_fields.size(), false);
    m_editMode = AddingNew;
}

void Recordset::edit() {
    const std::int64_t key = currentKey();
    // Every field of the row as it is now: from the read cache when it holds them all and no
    // write has happened since it was read, else from the file without widening the cache.
    if (m_cacheStart >= 0 && m_cacheGeneration == generation() && m_pos >= m_cacheStart &&
        m_pos < m_cacheStart + m_cacheCount && m_cachePresent[size_t(m_pos - m_cacheStart)] &&
        std::all_of(m_cacheHas.begin(), m_cacheHas.end(), [](char has) { return has != 0; })) {
        const long row = m_pos - m_cacheStart;
        m_buffer.resize(m_fields.size());
        m_exact.resize(m_fields.size());
        for (std::size_t c = 0; c < m_fields.size(); ++c) {
            m_buffer[c] = cachedValue(row, int(c));
            m_exact[c] = m_cells[size_t(row) * m_fields.size() + c].exact;
        }
        m_dirty.assign(m_fields.size(), false);
        m_editMode = Editing;
        return;
    }
    sqlite3_stmt* st = m_db.prepareCached(m_rowSql);
    sqlite3_bind_int64(st, 1, key);
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) {
        std::string text;
        std::vector<Cell> cells(m_fields.size());
        for (std::size_t c = 0; c < m_fields.size(); ++c)
            readCell(st, int(c), m_fields[c].type, cells[c], text);
        m_buffer.resize(m_fields.size());
        m_exact.resize(m_fields.size());
        for (std::size_t c = 0; c < m_fields.size(); ++c) {
            m_buffer[c] = cellValue(cells[c], text);
            m_exact[c] = cells[c].exact;
        }
    }
    sqlite3_reset(st);
    if (rc == SQLITE_DONE) throw Error(QStringLiteral("Record is deleted."));
    if (rc != SQLITE_ROW) m_db.raise();
    m_dirty.assign(m_fields.size(), false);
    m_editMode = Editing;
}

QVariant Recordset::coerce(int index, const QVariant& v) const {
    const FieldDef& f = m_fields[size_t(index)];
    if (!v.isValid() || v.isNull()) return {};
    bool ok = true;
    auto mismatch = [&]() {
        return Error(QStringLiteral("Data type conversion error in field '%1'.").arg(f.name));
    };
    switch (f.type) {
    case Type::Boolean: {
        if (v.typeId() == QMetaType::QString) {
            const QString s = v.toString().trimmed().toLower();
            if (s == QLatin1String("true") || s == QLatin1String("yes")) return 1;
            if (s == QLatin1String("false") || s == QLatin1String("no")) return 0;
        }
        const double d = v.toDouble(&ok);
        if (!ok) throw mismatch();
        return d != 0.0 ? 1 : 0;
    }
    case Type::Integer:
    case Type::Long: {
        const double d = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok)
                                                          : v.toDouble(&ok);
        if (!ok) throw mismatch();
        const double lo = f.type == Type::Integer ? -32768.0 : -2147483648.0;
        const double hi = f.type == Type::Integer ? 32767.0 : 2147483647.0;
        const double r = std::nearbyint(d);
        if (!(r >= lo && r <= hi)) throw Error(QStringLiteral("Overflow in field '%1'.").arg(f.name));
        return int(r);
    }
    case Type::Double:
    case Type::Date: {
        const double d = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok)
                                                          : v.toDouble(&ok);
        if (!ok || !std::isfinite(d)) throw mismatch();
        return d;
    }
    case Type::Text: {
        const QString s = v.toString();
        if (s.size() > f.size)
            throw Error(QStringLiteral("The field '%1' is too small to accept the amount of data "
                                       "you attempted to add (%2 characters, at most %3).")
                            .arg(f.name)
                            .arg(s.size())
                            .arg(f.size));
        return s;
    }
    }
    return v;
}

void Recordset::setValue(int index, const QVariant& v) {
    requireOpen();
    if (m_editMode == NoEdit)
        throw Error(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    if (index < 0 || index >= int(m_fields.size()))
        throw Error(QStringLiteral("Item not found in this collection."));
    QVariant value = coerce(index, v);
    // Rewriting a field with its own value changes nothing: leaving it out of the update
    // spares the engine work (an unchanged indexed field needs no index write).
    if (m_editMode == Editing && !m_dirty[size_t(index)] && m_exact[size_t(index)] &&
        SameValue(m_buffer[size_t(index)], value))
        return;
    m_buffer[size_t(index)] = std::move(value);
    m_dirty[size_t(index)] = true;
}

void Recordset::setValue(const QString& name, const QVariant& v) { setValue(requireField(name), v); }

void Recordset::update() {
    requireOpen();
    if (m_editMode == NoEdit)
        throw Error(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    const std::uint64_t before = generation();
    const bool cacheWasValid = m_cacheStart >= 0 && m_cacheGeneration == before;
    if (m_editMode == Editing) {
        const std::int64_t key = currentKey();
        std::vector<int> cols;
        for (int i = 0; i < int(m_fields.size()); ++i)
            if (m_dirty[size_t(i)]) cols.push_back(i);
        if (cols.empty()) {
            // Nothing to write, but a row deleted meanwhile must still be reported.
            sqlite3_stmt* st = m_db.prepareCached(
                QStringLiteral("SELECT 1 FROM %1 WHERE rowid=?").arg(quoted(m_table)));
            sqlite3_bind_int64(st, 1, key);
            const int rc = sqlite3_step(st);
            sqlite3_reset(st);
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) m_db.raise();
            if (rc == SQLITE_DONE) {
                m_editMode = NoEdit;
                throw Error(QStringLiteral("Record is deleted."));
            }
        } else {
            if (cols != m_updateCols || m_updateSql.isEmpty()) {
                QStringList sets;
                for (int c : cols) sets << quoted(m_fields[size_t(c)].name) + QStringLiteral("=?");
                m_updateSql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(quoted(m_table), sets.join(QLatin1Char(',')));
                m_updateCols = cols;
            }
            sqlite3_stmt* st = m_db.prepareCached(m_updateSql);
            int b = 1;
            for (int c : cols) bindValue(m_db, st, b++, m_buffer[size_t(c)]);
            sqlite3_bind_int64(st, b, key);
            const int rc = sqlite3_step(st);
            sqlite3_reset(st);
            if (rc != SQLITE_DONE) m_db.raise();
            if (sqlite3_changes(m_db.handle()) == 0) {
                m_editMode = NoEdit;
                throw Error(QStringLiteral("Record is deleted."));
            }
            bumpGeneration();
            // Patch this row in the read cache rather than reread the block; its text store
            // only grows, so past a limit the block is simply read again.
            if (cacheWasValid && m_pos >= m_cacheStart && m_pos < m_cacheStart + m_cacheCount &&
                m_cacheText.size() < (std::size_t(1) << 20)) {
                for (int c : cols)
                    if (m_cacheHas[size_t(c)]) storeCached(m_pos - m_cacheStart, c, m_buffer[size_t(c)]);
                m_cacheGeneration = generation();
            }
        }
    } else {
        sqlite3_stmt* st = m_db.prepareCached(m_insertSql);
        for (int i = 0; i < int(m_fields.size()); ++i) bindValue(m_db, st, i + 1, m_buffer[size_t(i)]);
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) m_db.raise();
        const bool atEnd = m_pos >= long(m_keys.size());
        saveMembership();
        m_keys.push_back(sqlite3_last_insert_rowid(m_db.handle()));
        if (atEnd) m_pos = long(m_keys.size());
        bumpGeneration();
        if (cacheWasValid) m_cacheGeneration = generation();
    }
    m_editMode = NoEdit;
}

void Recordset::cancelUpdate() {
    requireOpen();
    m_editMode = NoEdit;
}

void Recordset::remove() {
    const std::int64_t key = currentKey();
    m_editMode = NoEdit;
    const bool cacheWasValid = m_cacheStart >= 0 && m_cacheGeneration == generation();
    sqlite3_stmt* st =
        m_db.prepareCached(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(quoted(m_table)));
    sqlite3_bind_int64(st, 1, key);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) m_db.raise();
    const bool existed = sqlite3_changes(m_db.handle()) > 0;
    bumpGeneration();
    saveMembership();
    m_keys.erase(m_keys.begin() + m_pos);
    m_onDeleted = true;
    // Positions after the deleted row have moved down by one: the read cache follows them
    // rather than being read again (a walk that deletes as it goes would read a block per row).
    if (cacheWasValid && m_pos < m_cacheStart) {
        --m_cacheStart;
        m_cacheGeneration = generation();
    } else if (cacheWasValid && m_pos < m_cacheStart + m_cacheCount) {
        const std::size_t row = std::size_t(m_pos - m_cacheStart);
        const std::size_t width = m_fields.size();
        m_cells.erase(m_cells.begin() + std::ptrdiff_t(row * width), m_cells.begin() + std::ptrdiff_t((row + 1) * width));
        m_cachePresent.erase(m_cachePresent.begin() + std::ptrdiff_t(row));
        if (--m_cacheCount == 0) m_cacheStart = -1;
        m_cacheGeneration = generation();
    } else if (cacheWasValid) {
        m_cacheGeneration = generation(); // the block lies before the deleted row: unchanged
    } else {
        m_cacheStart = -1;
    }
    if (!existed) throw Error(QStringLiteral("Record is deleted."));
}

} // namespace db
