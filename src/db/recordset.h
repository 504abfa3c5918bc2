#pragma once

#include "database.h"
#include "filter.h"

#include <QHash>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace db {

// A dynaset over "select * from [T]": its membership is fixed when it is opened or requeried,
// rows it adds are appended to it, rows it deletes are dropped from it.
class Recordset {
public:
    enum EditMode { NoEdit, Editing, AddingNew };

    explicit Recordset(Database& database);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    void open(const QString& sql);
    void close();
    bool isOpen() const { return m_open; }
    const QString& tableName() const { return m_table; }
    Database& database() const { return m_db; }

    bool isBOF() const;
    bool isEOF() const;
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrev();
    bool findFirst(const QString& filter);
    bool findNext(const QString& filter);
    // The first member row whose field holds exactly this value (text compared with letter case,
    // unlike the filters), found through the field's index. False when none does; the current
    // row then stays.
    bool findFirstExact(const QString& field, const QVariant& value);
    // The next member row after the current one (wrapping round to the first, never the current
    // row itself) where one of the text fields contains the text, letter case ignored for ASCII
    // letters. False when none does; the current row then stays.
    bool findNextContaining(const QStringList& fields, const QString& text);

    void setFilter(const QString& filter) { m_filterText = filter; }
    const QString& filter() const { return m_filterText; }
    void requery();

    long recordCount() const { return static_cast<long>(m_keys.size()); }
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    const std::vector<FieldDef>& fields() const { return m_fields; }
    int fieldIndex(const QString& name) const; // -1 when unknown

    // Values: Text as QString, Long/Integer/Boolean as int (Boolean 0/1), Double/Date as double.
    QVariant value(const QString& name) const;
    QVariant value(int index) const;
    int intValue(const QString& name) const { return value(name).toInt(); }
    double doubleValue(const QString& name) const { return value(name).toDouble(); }
    QString textValue(const QString& name) const { return value(name).toString(); }

    void addNew();
    void edit();
    void setValue(const QString& name, const QVariant& v);
    void setValue(int index, const QVariant& v);
    void update();
    void cancelUpdate();
    void remove(); // delete the current row
    // Deletes the current row and stands on the row before it, or on the next one when it was
    // the first (the owners' way of deleting).
    void removeAndStepBack() {
        remove();
        movePrev();
        if (isBOF()) moveNext();
    }
    EditMode editMode() const { return m_editMode; }

    // Told by the database: a transaction level was begun (depth is its level), or ended with
    // depth levels left. A rollback returns this recordset to the membership, filter and
    // position it had when the rolled-back level began, so that no held key can land on a row
    // the failed transaction added and rows it deleted are members again.
    void transactionBegun(int depth);
    void transactionEnded(int depth, bool committed) noexcept;

private:
    struct Savepoint {
        int depth = 0;
        bool open = false;
        QString table;
        QString filter;
        long pos = -1;
        bool onDeleted = false;
        std::shared_ptr<const std::vector<std::int64_t>> keys; // null: unchanged since
    };
    void saveMembership(); // before the membership changes inside a transaction
    void invalidateCache();

    // Read cache: rows for membership positions [m_cacheStart, m_cacheStart + m_cacheCount),
    // kept as SQLite returned them and converted only when a field is read. Only the fields
    // this recordset has been asked for are read: a walk usually reads a few of a wide row.
    struct Cell {
        enum Kind : std::uint8_t { Null, Int, Real, Text };
        Kind kind = Null;
        bool exact = true;      // reads back as stored (not a Boolean of -1, a clamped number...)
        std::uint32_t size = 0; // bytes of Text
        std::int64_t value = 0; // Int, Real as its bits, or Text's offset into its text store
    };

    int requireField(const QString& name) const;
    void requireOpen() const;
    void requireCurrent() const;
    std::int64_t currentKey() const;
    long cacheRowFor(int index) const; // the current row in the cache, holding field index
    QVariant cachedValue(long row, int index) const;
    void storeCached(long row, int index, const QVariant& v);
    void loadRows(std::size_t pos) const;
    static void readCell(sqlite3_stmt* st, int col, Type type, Cell& cell, std::string& text);
    static QVariant cellValue(const Cell& cell, const std::string& text);
    bool findFrom(const QString& filter, std::int64_t afterKey);
    bool findRow(int field, const QString& op, const QVariant& literal, std::int64_t afterKey, bool exact);
    QVariant coerce(int index, const QVariant& v) const;
    long positionOfKey(std::int64_t key) const;

    Database& m_db;
    bool m_open = false;
    QString m_table;
    std::vector<FieldDef> m_fields;
    mutable int m_nameHint = 0; // the field after the one last looked up by name
    QString m_rowSql;    // every field of one row, for edit
    QString m_insertSql; // built once: bulk adds run it per row
    QString m_updateSql; // the last update's text, for m_updateCols
    std::vector<int> m_updateCols;
    struct FindSql {
        int field;
        QString op;
        QString sql;
    };
    std::vector<FindSql> m_findSql;

    QString m_filterText;
    std::vector<std::int64_t> m_keys; // membership, ascending = natural order
    long m_pos = -1;                  // -1 before the first row, size() past the last
    bool m_onDeleted = false;         // the current row was just deleted

    mutable std::vector<char> m_wanted;     // per field: has been read through this recordset
    mutable QString m_loadSql;              // reads the wanted fields; empty when they change
    mutable std::vector<int> m_loadFields;  // field of each column m_loadSql returns
    mutable std::vector<Cell> m_cells;      // m_cacheCount rows of fieldCount() cells
    mutable std::vector<char> m_cacheHas;   // per field: loaded into the cached block
    mutable std::vector<char> m_cachePresent; // per cached row: 0 for a member whose row is gone
    mutable std::string m_cacheText;        // UTF-8 of the Text cells
    mutable long m_cacheStart = -1;
    mutable long m_cacheCount = 0;
    mutable std::uint64_t m_cacheGeneration = 0;
    std::uint64_t* m_tableWrites = nullptr; // this table's write counter in the database
    std::uint64_t generation() const { return m_db.generation() + (m_tableWrites ? *m_tableWrites : 0); }
    void bumpGeneration() {
        if (m_tableWrites) ++*m_tableWrites;
        else m_db.bumpGeneration();
    }

    EditMode m_editMode = NoEdit;
    std::vector<QVariant> m_buffer;
    std::vector<bool> m_dirty;
    std::vector<char> m_exact; // per field of an edit: the buffer holds the value as stored

    std::shared_ptr<Database::Recordsets> m_registry;
    std::vector<Savepoint> m_savepoints; // innermost last
};

} // namespace db
