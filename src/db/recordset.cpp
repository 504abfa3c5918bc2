#include "recordset.h"

#include <QRegularExpression>
#include <algorithm>
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

QVariant readColumn(sqlite3_stmt* st, int col, Type type) {
    const int stored = sqlite3_column_type(st, col);
    if (stored == SQLITE_NULL) return {};
    switch (type) {
    case Type::Boolean: return QVariant(sqlite3_column_double(st, col) != 0.0 ? 1 : 0);
    case Type::Integer:
    case Type::Long: {
        const qint64 v = sqlite3_column_int64(st, col);
        return QVariant(int(std::clamp<qint64>(v, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max())));
    }
    case Type::Double:
    case Type::Date: return QVariant(sqlite3_column_double(st, col));
    case Type::Text: {
        const void* p = sqlite3_column_text16(st, col);
        const int bytes = sqlite3_column_bytes16(st, col);
        return QVariant(QString(reinterpret_cast<const QChar*>(p), bytes / 2));
    }
    }
    return {};
}

} // namespace

Recordset::Recordset(Database& database) : m_db(database) {}

Recordset::~Recordset() = default;

void Recordset::open(const QString& sql) {
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*select\s+\*\s+from\s+(?:\[([^\]]+)\]|([A-Za-z_][A-Za-z0-9_]*))\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(sql);
    if (!m.hasMatch()) throw Error(QStringLiteral("Unsupported query: %1").arg(sql));
    close();
    const TableDef def = m_db.tableDef(m.captured(1).isEmpty() ? m.captured(2) : m.captured(1));
    m_table = def.name;
    m_fields = def.fields;
    m_fieldIndex.clear();
    QStringList cols;
    for (int i = 0; i < int(m_fields.size()); ++i) {
        m_fieldIndex.insert(m_fields[size_t(i)].name, i);
        cols << quoted(m_fields[size_t(i)].name);
    }
    m_selectList = cols.join(QLatin1Char(','));
    m_filterText.clear();
    m_open = true;
    requery();
}

void Recordset::close() {
    m_open = false;
    m_keys.clear();
    m_pos = -1;
    m_onDeleted = false;
    m_cacheRows.clear();
    m_cacheStart = -1;
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
    m_keys = std::move(keys);
    m_pos = m_keys.empty() ? -1 : 0;
    m_onDeleted = false;
    m_cacheRows.clear();
    m_cacheStart = -1;
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
    const int idx = requireField(f.field);
    const FieldDef& field = m_fields[size_t(idx)];
    m_db.ensureIndex(m_table, field.name);
    const QString sql =
        QStringLiteral("SELECT rowid FROM %1 WHERE %2 %3 ?%4 AND rowid > ? ORDER BY rowid")
            .arg(quoted(m_table), quoted(field.name), f.op,
                 field.type == Type::Text ? QStringLiteral(" COLLATE NOCASE") : QString());
    sqlite3_stmt* st = m_db.prepareCached(sql);
    bindValue(m_db, st, 1, f.literal);
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

int Recordset::fieldIndex(const QString& name) const {
    const auto it = m_fieldIndex.constFind(name);
    if (it != m_fieldIndex.constEnd()) return it.value();
    for (int i = 0; i < int(m_fields.size()); ++i) // field names ignore case
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
    // Read ahead a run of member rows whose keys lie close together.
    const std::int64_t lo = m_keys[pos];
    std::size_t end = pos;
    while (end + 1 < m_keys.size() && long(end - pos) + 1 < kBlockRows &&
           m_keys[end + 1] - lo < kMaxSpan)
        ++end;
    const std::int64_t hi = m_keys[end];
    const QString sql = QStringLiteral("SELECT rowid,%1 FROM %2 WHERE rowid BETWEEN ? AND ? ORDER BY rowid")
                            .arg(m_selectList, quoted(m_table));
    sqlite3_stmt* st = m_db.prepareCached(sql);
    sqlite3_bind_int64(st, 1, lo);
    sqlite3_bind_int64(st, 2, hi);
    m_cacheRows.assign(end - pos + 1, {});
    std::size_t next = pos;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const std::int64_t key = sqlite3_column_int64(st, 0);
        while (next <= end && m_keys[next] < key) ++next; // members without a row were deleted
        if (next > end) break;
        if (m_keys[next] != key) continue; // a row that is not a member
        std::vector<QVariant>& row = m_cacheRows[next - pos];
        row.reserve(m_fields.size());
        for (std::size_t c = 0; c < m_fields.size(); ++c)
            row.push_back(readColumn(st, int(c) + 1, m_fields[c].type));
        ++next;
    }
    sqlite3_reset(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) m_db.raise();
    m_cacheStart = long(pos);
    m_cacheGeneration = m_db.generation();
}

const std::vector<QVariant>& Recordset::currentRow() const {
    requireCurrent();
    if (m_cacheStart < 0 || m_cacheGeneration != m_db.generation() || m_pos < m_cacheStart ||
        m_pos >= m_cacheStart + long(m_cacheRows.size()))
        loadRows(size_t(m_pos));
    const std::vector<QVariant>& row = m_cacheRows[size_t(m_pos - m_cacheStart)];
    if (row.empty()) throw Error(QStringLiteral("Record is deleted."));
    return row;
}

QVariant Recordset::value(int index) const {
    requireOpen();
    if (index < 0 || index >= int(m_fields.size()))
        throw Error(QStringLiteral("Item not found in this collection."));
    if (m_editMode != NoEdit) return m_buffer[size_t(index)];
    return currentRow()[size_t(index)];
}

QVariant Recordset::value(const QString& name) const { return value(requireField(name)); }

void Recordset::addNew() {
    requireOpen();
    m_buffer.assign(m_fields.size(), QVariant());
    m_dirty.assign(m_fields.size(), false);
    m_editMode = AddingNew;
}

void Recordset::edit() {
    requireCurrent();
    m_buffer = currentRow();
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
    m_buffer[size_t(index)] = coerce(index, v);
    m_dirty[size_t(index)] = true;
}

void Recordset::setValue(const QString& name, const QVariant& v) { setValue(requireField(name), v); }

void Recordset::update() {
    requireOpen();
    if (m_editMode == NoEdit)
        throw Error(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    const std::uint64_t before = m_db.generation();
    const bool cacheWasValid = m_cacheStart >= 0 && m_cacheGeneration == before;
    if (m_editMode == Editing) {
        const std::int64_t key = currentKey();
        QStringList sets;
        std::vector<int> cols;
        for (int i = 0; i < int(m_fields.size()); ++i)
            if (m_dirty[size_t(i)]) {
                sets << quoted(m_fields[size_t(i)].name) + QStringLiteral("=?");
                cols.push_back(i);
            }
        if (!cols.empty()) {
            sqlite3_stmt* st = m_db.prepareCached(QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?")
                                                      .arg(quoted(m_table), sets.join(QLatin1Char(','))));
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
            m_db.bumpGeneration();
            if (cacheWasValid && m_pos >= m_cacheStart &&
                m_pos < m_cacheStart + long(m_cacheRows.size())) {
                m_cacheRows[size_t(m_pos - m_cacheStart)] = m_buffer;
                m_cacheGeneration = m_db.generation();
            }
        }
    } else {
        QStringList names, marks;
        for (const FieldDef& f : m_fields) {
            names << quoted(f.name);
            marks << QStringLiteral("?");
        }
        sqlite3_stmt* st = m_db.prepareCached(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                  .arg(quoted(m_table), names.join(QLatin1Char(',')),
                                                       marks.join(QLatin1Char(','))));
        for (int i = 0; i < int(m_fields.size()); ++i) bindValue(m_db, st, i + 1, m_buffer[size_t(i)]);
        const int rc = sqlite3_step(st);
        sqlite3_reset(st);
        if (rc != SQLITE_DONE) m_db.raise();
        const bool atEnd = m_pos >= long(m_keys.size());
        m_keys.push_back(sqlite3_last_insert_rowid(m_db.handle()));
        if (atEnd) m_pos = long(m_keys.size());
        m_db.bumpGeneration();
        if (cacheWasValid) m_cacheGeneration = m_db.generation();
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
    sqlite3_stmt* st =
        m_db.prepareCached(QStringLiteral("DELETE FROM %1 WHERE rowid=?").arg(quoted(m_table)));
    sqlite3_bind_int64(st, 1, key);
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) m_db.raise();
    const bool existed = sqlite3_changes(m_db.handle()) > 0;
    m_db.bumpGeneration();
    m_keys.erase(m_keys.begin() + m_pos);
    m_onDeleted = true;
    m_cacheStart = -1;
    if (!existed) throw Error(QStringLiteral("Record is deleted."));
}

} // namespace db
