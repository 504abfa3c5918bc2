// Engine layer against the same work done directly on SQLite, on the customer table.
#include "benchutil.h"
#include "db/database.h"
#include "db/recordset.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kCommittedRows = 2000;
constexpr int kFinds = 10000;
constexpr int kRequeries = 20;
constexpr int kPool = 1000; // distinct rows of sample data, reused with new IDs

// The customer table, fields in their real order. Text sizes matter only to the engine.
struct Column {
    const char* name;
    db::Type type;
    int size;
};
const std::array<Column, 22> kColumns = {{{"ID", db::Type::Long, 0},
                                          {"CustomerNbr", db::Type::Long, 0},
                                          {"Name", db::Type::Text, 100},
                                          {"Address1", db::Type::Text, 100},
                                          {"Address2", db::Type::Text, 100},
                                          {"City", db::Type::Text, 100},
                                          {"State", db::Type::Text, 50},
                                          {"Zip", db::Type::Text, 20},
                                          {"Phone", db::Type::Text, 50},
                                          {"Fax", db::Type::Text, 50},
                                          {"Work", db::Type::Text, 50},
                                          {"InvoiceCnt", db::Type::Long, 0},
                                          {"BalanceDue", db::Type::Double, 0},
                                          {"DiscountRate", db::Type::Double, 0},
                                          {"TaxRate", db::Type::Double, 0},
                                          {"Comment", db::Type::Text, 255},
                                          {"Business", db::Type::Boolean, 0},
                                          {"Taxable", db::Type::Boolean, 0},
                                          {"ShareOrder", db::Type::Boolean, 0},
                                          {"PriceChoice", db::Type::Integer, 0},
                                          {"UserField1", db::Type::Text, 200},
                                          {"UserField2", db::Type::Text, 200}}};

// One sample row: each value both as the program holds it and as UTF-8 for the raw side.
struct Sample {
    std::array<QString, 22> text;
    std::array<QByteArray, 22> utf8;
    std::array<double, 22> number{};
};

bool IsText(int c) {
    return kColumns[size_t(c)].type == db::Type::Text;
}

std::vector<Sample> MakeSamples() {
    std::mt19937 rng(20240611);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const char* streets[] = {"Main St", "Oak Avenue", "Harbour Road", "Elm Court", "Mill Lane"};
    const char* cities[] = {"Springfield", "Rivertown", "Lakeside", "Hillcrest", "Brookfield"};
    const char* states[] = {"OH", "TX", "CA", "NY", "WA"};
    std::vector<Sample> pool(kPool);
    for (int i = 0; i < kPool; ++i) {
        Sample& s = pool[size_t(i)];
        s.text[2] = QStringLiteral("Customer %1 & Sons").arg(i);
        s.text[3] = QStringLiteral("%1 %2").arg(pick(1, 9999)).arg(QLatin1String(streets[i % 5]));
        s.text[4] = i % 3 ? QStringLiteral("Suite %1").arg(pick(1, 500)) : QString();
        s.text[5] = QLatin1String(cities[pick(0, 4)]);
        s.text[6] = QLatin1String(states[pick(0, 4)]);
        s.text[7] = QStringLiteral("%1").arg(pick(10000, 99999));
        s.text[8] = QStringLiteral("(555) %1-%2").arg(pick(100, 999)).arg(pick(1000, 9999));
        s.text[9] = QStringLiteral("(555) %1-%2").arg(pick(100, 999)).arg(pick(1000, 9999));
        s.text[10] = QStringLiteral("(555) %1-%2").arg(pick(100, 999)).arg(pick(1000, 9999));
        s.text[15] = QStringLiteral("Prefers delivery before noon; account opened in %1.")
                         .arg(1990 + i % 30);
        s.text[20] = QStringLiteral("Rep %1").arg(pick(1, 40));
        s.text[21] = QString();
        s.number[11] = pick(0, 300);
        s.number[12] = pick(0, 1000000) / 100.0;
        s.number[13] = pick(0, 20) / 100.0;
        s.number[14] = pick(0, 100) / 1000.0;
        s.number[16] = pick(0, 1);
        s.number[17] = pick(0, 1);
        s.number[18] = pick(0, 1);
        s.number[19] = pick(0, 3);
        for (int c = 0; c < 22; ++c)
            if (IsText(c))
                s.utf8[size_t(c)] = s.text[size_t(c)].toUtf8();
    }
    return pool;
}

[[noreturn]] void Fail(const char* what, sqlite3* raw) {
    std::fprintf(stderr, "%s: %s\n", what, raw ? sqlite3_errmsg(raw) : "");
    std::exit(1);
}

void RawExec(sqlite3* raw, const char* sql) {
    if (sqlite3_exec(raw, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(sql, raw);
}

sqlite3_stmt* RawPrepare(sqlite3* raw, const char* sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(raw, sql, -1, &st, nullptr) != SQLITE_OK)
        Fail(sql, raw);
    return st;
}

// Adds rows [first, first + count) through the recordset, as the program does: by field name.
void EngineAdd(db::Recordset& rs, const std::vector<Sample>& pool, int first, int count,
               const std::vector<QString>& names) {
    for (int id = first; id < first + count; ++id) {
        const Sample& s = pool[size_t(id % kPool)];
        rs.addNew();
        rs.setValue(names[0], id);
        rs.setValue(names[1], id * 7 % kRows);
        for (int c = 2; c < 22; ++c) {
            if (IsText(c))
                rs.setValue(names[size_t(c)], s.text[size_t(c)]);
            else if (kColumns[size_t(c)].type == db::Type::Double)
                rs.setValue(names[size_t(c)], s.number[size_t(c)]);
            else
                rs.setValue(names[size_t(c)], int(s.number[size_t(c)]));
        }
        rs.update();
    }
}

void RawAdd(sqlite3* raw, sqlite3_stmt* insert, const std::vector<Sample>& pool, int first,
            int count) {
    for (int id = first; id < first + count; ++id) {
        const Sample& s = pool[size_t(id % kPool)];
        sqlite3_bind_int(insert, 1, id);
        sqlite3_bind_int(insert, 2, id * 7 % kRows);
        for (int c = 2; c < 22; ++c) {
            if (IsText(c))
                sqlite3_bind_text(insert, c + 1, s.utf8[size_t(c)].constData(),
                                  int(s.utf8[size_t(c)].size()), SQLITE_STATIC);
            else if (kColumns[size_t(c)].type == db::Type::Double)
                sqlite3_bind_double(insert, c + 1, s.number[size_t(c)]);
            else
                sqlite3_bind_int(insert, c + 1, int(s.number[size_t(c)]));
        }
        if (sqlite3_step(insert) != SQLITE_DONE)
            Fail("insert", raw);
        sqlite3_reset(insert);
    }
}

} // namespace

int main() {
    const std::vector<Sample> pool = MakeSamples();
    std::vector<QString> names;
    for (const Column& c : kColumns)
        names.push_back(QString::fromLatin1(c.name));

    // The engine's file.
    db::Database database;
    database.create(BenchFolder() + QStringLiteral("/engine.qdb"));
    db::TableDef def{QStringLiteral("Customer"), {}};
    for (const Column& c : kColumns)
        def.add(QString::fromLatin1(c.name), c.type, c.size);
    database.createTable(def);
    db::Recordset rs(database);
    rs.open(QStringLiteral("select * from [Customer]"));

    // The reference: the same columns in a plain table, same pragmas, and the indexes the
    // engine builds for itself (on ID when the table is made, on a field when first filtered).
    sqlite3* raw = nullptr;
    if (sqlite3_open((BenchFolder() + QStringLiteral("/raw.db")).toUtf8().constData(), &raw) !=
        SQLITE_OK)
        Fail("open", raw);
    RawExec(raw, "PRAGMA journal_mode=WAL");
    RawExec(raw, "PRAGMA synchronous=FULL");
    {
        QString create = QStringLiteral("CREATE TABLE Customer (");
        QString insert = QStringLiteral("INSERT INTO Customer VALUES (");
        for (size_t c = 0; c < kColumns.size(); ++c) {
            const char* type = IsText(int(c))                         ? "TEXT"
                               : kColumns[c].type == db::Type::Double ? "REAL"
                                                                      : "INTEGER";
            create +=
                QStringLiteral("%1%2 %3").arg(c ? QStringLiteral(", ") : QString(),
                                              QLatin1String(kColumns[c].name), QLatin1String(type));
            insert += c ? QStringLiteral(", ?") : QStringLiteral("?");
        }
        RawExec(raw, (create + QStringLiteral(")")).toUtf8().constData());
        RawExec(raw, "CREATE INDEX raw_id ON Customer(ID)");
        RawExec(raw, "CREATE INDEX raw_price ON Customer(PriceChoice)");
        sqlite3_stmt* st = RawPrepare(raw, (insert + QStringLiteral(")")).toUtf8().constData());

        std::printf("Customer table, %d rows, journal_mode=WAL synchronous=FULL\n", kRows);

        // (b) One transaction of 100,000 adds.
        Stopwatch eb;
        database.beginTrans();
        EngineAdd(rs, pool, 1, kRows, names);
        database.commitTrans();
        const double engineBulk = eb.seconds();
        Stopwatch rb;
        RawExec(raw, "BEGIN");
        RawAdd(raw, st, pool, 1, kRows);
        RawExec(raw, "COMMIT");
        const double rawBulk = rb.seconds();
        PrintFigure("add 100,000 rows in one transaction (total)", engineBulk * 1e3, rawBulk * 1e3,
                    "ms");
        PrintFigure("add 100,000 rows in one transaction (per row)", engineBulk * 1e6 / kRows,
                    rawBulk * 1e6 / kRows, "us");

        // (a) Adds committed one change at a time, onto the full table.
        Stopwatch ea;
        EngineAdd(rs, pool, kRows + 1, kCommittedRows, names);
        const double engineCommitted = ea.seconds();
        Stopwatch ra;
        RawAdd(raw, st, pool, kRows + 1, kCommittedRows);
        const double rawCommitted = ra.seconds();
        PrintFigure("add one row, committed at once (per change)",
                    engineCommitted * 1e6 / kCommittedRows, rawCommitted * 1e6 / kCommittedRows,
                    "us", "under 1 ms");
        sqlite3_finalize(st);
    }
    rs.requery();
    const int total = kRows + kCommittedRows;
    if (rs.recordCount() != total)
        Fail("engine row count", nullptr);

    // (c) findFirst on random IDs.
    {
        std::mt19937 rng(7);
        std::vector<int> ids(kFinds);
        for (int& id : ids)
            id = std::uniform_int_distribution<int>(1, total)(rng);
        long engineHits = 0;
        Stopwatch ef;
        for (int id : ids)
            engineHits += rs.findFirst(QString::asprintf("ID = %d", id)) ? 1 : 0;
        const double engineFind = ef.seconds();
        long rawHits = 0;
        sqlite3_stmt* st =
            RawPrepare(raw, "SELECT rowid FROM Customer WHERE ID = ? ORDER BY rowid LIMIT 1");
        Stopwatch rf;
        for (int id : ids) {
            sqlite3_bind_int(st, 1, id);
            if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_int64(st, 0) > 0)
                ++rawHits;
            sqlite3_reset(st);
        }
        const double rawFind = rf.seconds();
        sqlite3_finalize(st);
        if (engineHits != kFinds || rawHits != kFinds)
            Fail("finds missed", nullptr);
        PrintFigure("findFirst(\"ID = n\"), random IDs (per find)", engineFind * 1e6 / kFinds,
                    rawFind * 1e6 / kFinds, "us", "under 20 us");
    }

    // (d) Requery with a one-field filter; the first, untimed, lets the engine build its index.
    {
        rs.setFilter(QStringLiteral("[PriceChoice] = 0"));
        rs.requery();
        long engineRows = 0;
        Stopwatch eq;
        for (int i = 0; i < kRequeries; ++i) {
            rs.setFilter(QStringLiteral("[PriceChoice] = %1").arg(i % 4));
            rs.requery();
            engineRows += rs.recordCount();
        }
        const double engineRequery = eq.seconds();
        long rawRows = 0;
        sqlite3_stmt* st =
            RawPrepare(raw, "SELECT rowid FROM Customer WHERE PriceChoice = ? ORDER BY rowid");
        Stopwatch rq;
        for (int i = 0; i < kRequeries; ++i) {
            std::vector<sqlite3_int64> keys;
            sqlite3_bind_int(st, 1, i % 4);
            while (sqlite3_step(st) == SQLITE_ROW)
                keys.push_back(sqlite3_column_int64(st, 0));
            sqlite3_reset(st);
            rawRows += long(keys.size());
        }
        const double rawRequery = rq.seconds();
        sqlite3_finalize(st);
        if (engineRows != rawRows)
            Fail("requery row counts differ", nullptr);
        std::printf("  requery keeps %ld of %d rows on average\n", engineRows / kRequeries, total);
        PrintFigure("requery with filter \"[PriceChoice] = n\" (per requery)",
                    engineRequery * 1e3 / kRequeries, rawRequery * 1e3 / kRequeries, "ms");
        rs.setFilter(QString());
        rs.requery();
    }

    // (e) Walk every row reading five fields.
    {
        double engineSum = 0, rawSum = 0;
        qsizetype engineChars = 0, rawChars = 0;
        Stopwatch ew;
        for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
            engineSum += rs.intValue(QStringLiteral("ID")) +
                         rs.doubleValue(QStringLiteral("BalanceDue")) +
                         rs.intValue(QStringLiteral("Taxable"));
            engineChars += rs.textValue(QStringLiteral("Name")).size() +
                           rs.textValue(QStringLiteral("City")).size();
        }
        const double engineWalk = ew.seconds();
        sqlite3_stmt* st = RawPrepare(
            raw, "SELECT ID, BalanceDue, Taxable, Name, City FROM Customer ORDER BY rowid");
        Stopwatch rw;
        while (sqlite3_step(st) == SQLITE_ROW) {
            rawSum += sqlite3_column_int(st, 0) + sqlite3_column_double(st, 1) +
                      sqlite3_column_int(st, 2);
            for (int c = 3; c < 5; ++c)
                rawChars +=
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                      sqlite3_column_bytes(st, c))
                        .size();
        }
        const double rawWalk = rw.seconds();
        sqlite3_finalize(st);
        if (engineSum != rawSum || engineChars != rawChars)
            Fail("walks read different data", nullptr);
        PrintFigure("walk all rows reading five fields (total)", engineWalk * 1e3, rawWalk * 1e3,
                    "ms", "within 3x of raw SQLite");
        PrintFigure("walk all rows reading five fields (per row)", engineWalk * 1e6 / total,
                    rawWalk * 1e6 / total, "us", "within 3x of raw SQLite");
    }

    rs.close();
    database.close();
    sqlite3_close(raw);
    return 0;
}
