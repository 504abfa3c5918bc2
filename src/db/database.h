#pragma once

#include "dberror.h"
#include "tabledef.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

class Recordset;

// How a database file keeps its journal. A write-ahead log is only safe while every user is on
// one host, so a file that several people share (or that lies on a network file system) keeps a
// rollback journal.
enum class Journal { Local, Shared };

// One database file. Every update is committed at once unless a transaction is open;
// a closed database is a single file.
class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Creates a new, empty file; refuses an existing one ("Database already exists.").
    void create(const QString& path, Journal journal = Journal::Local);
    // Opens an existing file; a missing file, a file that is not a database, or a read-only
    // file opened for writing are refused with a description.
    void open(const QString& path, bool readOnly = false, Journal journal = Journal::Local);
    // The journal mode the connection uses ("wal", "delete"); empty while closed.
    QString journalMode() const;
    void close();
    bool isOpen() const { return m_db != nullptr; }
    bool isReadOnly() const { return m_readOnly; }
    const QString& path() const { return m_path; }

    QStringList tableNames() const; // in creation order
    bool hasTable(const QString& name) const;
    TableDef tableDef(const QString& name) const;
    void createTable(const TableDef& def);

    // Nested transactions: only the outermost commit writes. A rollback returns every open
    // recordset of this database to the rows and position it held when that level began.
    void beginTrans();
    void commitTrans();
    void rollback();
    int transactionDepth() const { return m_transDepth; }
    // Numbers the outermost transactions: while it is unchanged and a transaction is open,
    // this connection has held the write lock throughout.
    std::uint64_t transactionSerial() const { return m_transSerial; }

    // Low level, for the recordsets of this layer.
    sqlite3* handle() const { return m_db; }
    sqlite3_stmt* prepareCached(const QString& sql);
    void exec(const QString& sql);
    [[noreturn]] void raise(const QString& context = QString()) const;
    // Grows with every write made through this object; lets recordsets keep read caches.
    std::uint64_t generation() const { return m_generation; }
    void bumpGeneration() { ++m_generation; }
    // A counter of writes to one table, so that a write to one table leaves the caches of
    // the others valid. The address stays valid for the life of this object.
    std::uint64_t* tableCounter(const QString& table) { return &m_tableWrites[table.toLower()]; }
    // Creates an index on one field so that finds and filters do not scan (best effort).
    void ensureIndex(const QString& table, const QString& field);
    // The largest value of a whole-number field, or 0 for an empty table.
    std::int64_t maxValue(const QString& table, const QString& field);

    // The recordsets over this database, told of transaction boundaries. The list outlives
    // the database so that a recordset may be destroyed after it.
    struct Recordsets {
        std::vector<Recordset*> list;
    };
    const std::shared_ptr<Recordsets>& recordsets() const { return m_recordsets; }

private:
    void configure(Journal journal);
    void finalizeCache();

    sqlite3* m_db = nullptr;
    QString m_path;
    bool m_readOnly = false;
    int m_transDepth = 0;
    std::uint64_t m_transSerial = 0;
    std::uint64_t m_generation = 0;
    std::unordered_map<QString, std::uint64_t> m_tableWrites;
    struct Cache;
    std::unique_ptr<Cache> m_cache;
    std::shared_ptr<Recordsets> m_recordsets;
};

// Commits on commit(); rolls back when left without it.
class Transaction {
public:
    explicit Transaction(Database& db) : m_db(db) { m_db.beginTrans(); }
    ~Transaction() {
        if (!m_done) {
            try {
                m_db.rollback();
            } catch (...) {
            }
        }
    }
    void commit() {
        m_db.commitTrans();
        m_done = true;
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

private:
    Database& m_db;
    bool m_done = false;
};

} // namespace db
