#include "import/paradoxreader.h"
#include "testutil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTime>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <map>

using import::FieldType;
using import::OpenParadoxSource;
using import::SourceError;

namespace {

// Field values as Paradox stores them: big-endian, sign bit flipped.
QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out += char(v);
    return out;
}
QByteArray BeLong(qint32 v) {
    const quint32 u = quint32(v) ^ 0x80000000u;
    return Bytes({int(u >> 24), int(u >> 16), int(u >> 8), int(u)});
}
QByteArray BeShort(qint16 v) {
    const quint16 u = quint16(v) ^ 0x8000u;
    return Bytes({u >> 8, u});
}
QByteArray BeDouble(double d) {
    quint64 u;
    std::memcpy(&u, &d, sizeof u);
    u = d >= 0 ? u ^ 0x8000000000000000ull : ~u;
    QByteArray out;
    for (int i = 7; i >= 0; --i)
        out += char(u >> (8 * i));
    return out;
}
QByteArray Padded(QByteArray bytes, int size) {
    return bytes.leftJustified(size, '\0', true);
}
QByteArray Le16(int v) {
    return Bytes({v, v >> 8});
}
QByteArray Le32(quint32 v) {
    return Bytes({int(v), int(v >> 8), int(v >> 16), int(v >> 24)});
}

void Put(QByteArray& at, int offset, const QByteArray& bytes) {
    at.replace(offset, bytes.size(), bytes);
}

struct PxField {
    quint8 code;
    int size;
    QByteArray name;
};

// A Paradox table written byte by byte: 1 KB blocks, chained in the order given unless `next`
// says otherwise.
struct PxTable {
    int version = 12; // 3: a Paradox 3 header without code page
    int codePage = 1252;
    int fileType = 2;
    std::vector<PxField> fields;
    std::vector<std::vector<QByteArray>> blocks; // records of each block
    std::vector<int> next;                       // next-block numbers; default 2, 3, ..., 0
    int firstBlock = 1;
    quint32 password = 0;
    int recordCount = -1; // -1: counted

    int recordSize() const {
        int n = 0;
        for (const PxField& f : fields)
            n += f.code == 0x17 ? 17 : f.size;
        return n;
    }

    QByteArray bytes() const {
        const bool extended = version >= 5;
        const int fieldInfo = extended ? 0x78 : 0x58;
        QByteArray names;
        for (const PxField& f : fields)
            names += f.name + '\0';
        const int used =
            fieldInfo + 6 * int(fields.size()) + 4 + (version >= 12 ? 261 : 79) + int(names.size());
        const int headerSize = (used + 2047) / 2048 * 2048;
        QByteArray h(headerSize, '\0');
        int records = 0;
        for (const auto& b : blocks)
            records += int(b.size());
        Put(h, 0x00, Le16(recordSize()));
        Put(h, 0x02, Le16(headerSize));
        h[0x04] = char(fileType);
        h[0x05] = 1;
        Put(h, 0x06, Le32(quint32(recordCount < 0 ? records : recordCount)));
        Put(h, 0x0C, Le16(int(blocks.size())));
        Put(h, 0x0E, Le16(firstBlock));
        Put(h, 0x21, Le16(int(fields.size())));
        Put(h, 0x25, Le32(extended ? 0xFF00FF00u : password));
        h[0x39] = char(version);
        if (extended) {
            Put(h, 0x5C, Le32(password));
            Put(h, 0x6A, Le16(codePage));
        }
        for (size_t i = 0; i < fields.size(); ++i) {
            h[int(fieldInfo + 2 * i)] = char(fields[i].code);
            h[int(fieldInfo + 2 * i + 1)] = char(fields[i].size);
        }
        const int tableName = fieldInfo + 6 * int(fields.size()) + 4;
        Put(h, tableName, "TABLE.DB");
        Put(h, tableName + (version >= 12 ? 261 : 79), names);
        QByteArray file = h;
        for (size_t b = 0; b < blocks.size(); ++b) {
            QByteArray block(1024, '\0');
            const int nextBlock =
                b < next.size() ? next[b] : (b + 1 < blocks.size() ? int(b) + 2 : 0);
            Put(block, 0, Le16(nextBlock));
            const int count = int(blocks[b].size());
            Put(block, 4, Le16(count == 0 ? -recordSize() : (count - 1) * recordSize()));
            int at = 6;
            for (const QByteArray& r : blocks[b]) {
                Put(block, at, r);
                at += int(r.size());
            }
            file += block;
        }
        return file;
    }
};

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Every table's rows, each as its values; a SourceError's message instead when reading fails.
struct ReadResult {
    std::vector<std::vector<QVariant>> rows;
    QString error;
};

ReadResult ReadTable(const QString& path, const QString& table = {}) {
    ReadResult result;
    try {
        auto source = OpenParadoxSource(path);
        auto t = source->openTable(table.isEmpty() ? source->tableNames().value(0) : table);
        while (t->next()) {
            std::vector<QVariant> row;
            for (int i = 0; i < int(t->fields().size()); ++i)
                row.push_back(t->value(i));
            result.rows.push_back(row);
        }
    } catch (const SourceError& e) {
        result.error = e.message();
    }
    return result;
}

QDateTime Utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

} // namespace

TEST(ParadoxReader, ReadsEveryFieldTypeAndTellsNullFromValues) {
    const qint32 day2018 = qint32(QDate(1, 1, 1).daysTo(QDate(2018, 1, 1))) + 1;
    const double stamp = (double(day2018) + 30) * 86400000.0 + 3601500.0; // 2018-01-31 01:00:01.5
    QByteArray bcd(17, '\0');
    bcd[0] = char(0xC2); // positive, 2 decimals: 1.23
    bcd[15] = 0x01;
    bcd[16] = 0x23;
    QByteArray negativeBcd(17, char(0xFF));
    negativeBcd[0] = 0x42; // negative: digits complemented, -12.5
    negativeBcd[15] = char(0xED);
    negativeBcd[16] = char(0xAF);
    const QByteArray memo = Padded("short memo", 10) + Le32(0) + Le32(10) + Le16(1);
    PxTable t;
    t.fields = {{0x01, 8, "Name"},  {0x02, 4, "Day"},    {0x03, 2, "Small"}, {0x04, 4, "Big"},
                {0x05, 8, "Price"}, {0x06, 8, "Ratio"},  {0x09, 1, "Flag"},  {0x14, 4, "At"},
                {0x15, 8, "Stamp"}, {0x16, 4, "Serial"}, {0x17, 2, "Exact"}, {0x18, 3, "Raw"},
                {0x0C, 20, "Note"}};
    const QByteArray full = Padded("caf\xe9 ", 8) + BeLong(day2018) + BeShort(-7) +
                            BeLong(-100000) + BeDouble(12.5) + BeDouble(-0.25) +
                            QByteArray(1, char(0x81)) + BeLong(36000000) + BeDouble(stamp) +
                            BeLong(42) + bcd + QByteArray("\x00\x01\x02", 3) + memo;
    const QByteArray zeros(t.recordSize(), '\0');
    QByteArray second = zeros;
    Put(second, 0, "x");
    Put(second, 8 + 4 + 2 + 4 + 8 + 8, QByteArray(1, char(0x80))); // false
    Put(second, 8 + 4 + 2 + 4 + 8 + 8 + 1 + 4 + 8 + 4, negativeBcd);
    t.blocks = {{full, zeros, second}};
    TempFolder dir;
    WriteFile(dir.path("types.db"), t.bytes());

    auto source = OpenParadoxSource(dir.path("types.db"));
    auto table = source->openTable(QStringLiteral("types"));
    const std::vector<FieldType> types = {
        FieldType::Text,     FieldType::Date,   FieldType::Integer, FieldType::Long,
        FieldType::Currency, FieldType::Double, FieldType::Boolean, FieldType::Date,
        FieldType::Date,     FieldType::Long,   FieldType::Double,  FieldType::Binary,
        FieldType::Memo};
    ASSERT_EQ(table->fields().size(), types.size());
    for (size_t i = 0; i < types.size(); ++i)
        EXPECT_EQ(table->fields()[i].type, types[i]) << i;
    EXPECT_EQ(table->fields()[0].size, 8);
    EXPECT_EQ(table->fields()[10].name, QStringLiteral("Exact"));

    ASSERT_TRUE(table->next());
    const std::vector<QVariant> expected = {QStringLiteral("caf\u00e9"),
                                            Utc(2018, 1, 1),
                                            -7,
                                            -100000,
                                            12.5,
                                            -0.25,
                                            true,
                                            Utc(1899, 12, 30, 10),
                                            Utc(2018, 1, 31, 1, 0, 1, 500),
                                            42,
                                            1.23,
                                            QByteArray("\x00\x01\x02", 3),
                                            QStringLiteral("short memo")};
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(table->value(int(i)), expected[i]) << table->fields()[i].name.toStdString();
    EXPECT_EQ(table->value(QStringLiteral("price")).toDouble(), 12.5);

    ASSERT_TRUE(table->next()); // all bytes zero: numbers, dates and blobs NULL, texts empty
    for (size_t i = 1; i < expected.size() - 1; ++i)
        EXPECT_TRUE(table->value(int(i)).isNull()) << table->fields()[i].name.toStdString();
    EXPECT_EQ(table->value(0).toString(), QString());
    EXPECT_FALSE(table->value(0).isNull());
    EXPECT_EQ(table->value(12).toString(), QString());

    ASSERT_TRUE(table->next());
    EXPECT_EQ(table->value(6), QVariant(false));
    EXPECT_EQ(table->value(10).toDouble(), -12.5);
    EXPECT_FALSE(table->next());
    EXPECT_FALSE(table->next());
}

TEST(ParadoxReader, DecodesTextInTheHeadersCodePageAndParadox3InCodePage437) {
    struct Case {
        int version;
        int codePage;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {12, 1251, QByteArray("\xc4\xe0 "), QStringLiteral("\u0414\u0430")},
        {11, 850, QByteArray("\x9b\0junk", 6), QStringLiteral("\u00f8")},
        {3, 1252, QByteArray("\x82t\x82"),
         QStringLiteral("\u00e9t\u00e9")}, // no code page in the header
    };
    for (const Case& c : cases) {
        PxTable t;
        t.version = c.version;
        t.codePage = c.codePage;
        t.fields = {{0x01, 10, "T\xe9xt"}};
        t.blocks = {{Padded(c.bytes, 10)}};
        TempFolder dir;
        WriteFile(dir.path("cp.db"), t.bytes());
        const ReadResult r = ReadTable(dir.path("cp.db"));
        ASSERT_EQ(r.error, QString()) << c.version;
        ASSERT_EQ(r.rows.size(), 1u);
        EXPECT_EQ(r.rows[0][0].toString(), c.text) << c.version;
        EXPECT_EQ(import::ReadParadoxTableInfo(dir.path("cp.db")).codePage,
                  c.version == 3 ? 437 : c.codePage);
    }
}

TEST(ParadoxReader, FollowsTheBlockChainAndSkipsEmptyBlocks) {
    PxTable t;
    t.fields = {{0x04, 4, "N"}};
    t.blocks = {{BeLong(1), BeLong(2)}, {BeLong(5)}, {}, {BeLong(3), BeLong(4)}};
    t.next = {4, 0, 2, 3}; // 1 -> 4 -> 3 (empty) -> 2
    TempFolder dir;
    WriteFile(dir.path("chain.db"), t.bytes());
    const ReadResult r = ReadTable(dir.path("chain.db"));
    ASSERT_EQ(r.error, QString());
    QList<int> values;
    for (const auto& row : r.rows)
        values << row[0].toInt();
    EXPECT_EQ(values, QList<int>({1, 2, 3, 4, 5}));

    PxTable empty; // a table that never held a record
    empty.fields = {{0x04, 4, "N"}};
    WriteFile(dir.path("empty.db"), empty.bytes());
    const ReadResult e = ReadTable(dir.path("empty.db"));
    EXPECT_EQ(e.error, QString());
    EXPECT_TRUE(e.rows.empty());
}

// A memo file with a block of its own at 4096 and a shared block at 8192 holding entry 5.
TEST(ParadoxReader, ReadsMemosAndBlobsFromTheMemoFile) {
    const QByteArray longText = QByteArray("Grüße ").repeated(500); // past the record's leader
    const QByteArray small = "a blob of 23 bytes here";
    QByteArray mb(3 * 4096, '\0');
    mb[4096] = 2;
    Put(mb, 4097, Le16(1) + Le32(quint32(longText.size())) + Le16(1));
    Put(mb, 4096 + 9, longText);
    mb[8192] = 3;
    Put(mb, 8192 + 12 + 5 * 5, Bytes({0x30, 2, 1, 0, 7}));
    Put(mb, 8192 + 0x300, small);
    PxTable t;
    t.codePage = 65001;
    t.fields = {{0x0C, 14, "Memo"}, {0x0D, 10, "Blob"}};
    t.blocks = {{Padded(longText.left(4), 4) + Le32(4096 | 0xFF) + Le32(quint32(longText.size())) +
                 Le16(1) + Le32(8192 | 5) + Le32(quint32(small.size())) + Le16(1)}};
    TempFolder dir;
    WriteFile(dir.path("Notes.DB"), t.bytes());
    WriteFile(dir.path("notes.mb"), mb);
    const ReadResult r = ReadTable(dir.path("Notes.DB"));
    ASSERT_EQ(r.error, QString());
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0][0].toString(), QString::fromUtf8(longText));
    EXPECT_EQ(r.rows[0][1].toByteArray(), small);
}

TEST(ParadoxReader, OffersEachDbFileOfAFolderSortedByName) {
    PxTable t;
    t.fields = {{0x01, 4, "Code"}};
    t.blocks = {{Padded("x", 4)}};
    TempFolder dir;
    for (const char* name : {"orders.DB", "Customer.db", "alpha.db", "notes.txt", "index.px"})
        WriteFile(dir.path(QString::fromLatin1(name)), t.bytes());
    auto source = OpenParadoxSource(dir.root());
    EXPECT_EQ(source->tableNames(), QStringList({"alpha", "Customer", "orders"}));
    auto table = source->openTable(QStringLiteral("CUSTOMER"));
    ASSERT_TRUE(table->next());
    EXPECT_EQ(table->value(QStringLiteral("code")).toString(), QStringLiteral("x"));
    EXPECT_THROW(source->openTable(QStringLiteral("notes")), SourceError);
    EXPECT_THROW(table->value(QStringLiteral("missing")), SourceError);
}

TEST(ParadoxReader, RefusesDamagedFilesWithAMessageNamingFileAndFault) {
    PxTable base; // records of 18 bytes in two 1 KB blocks after a 2 KB header
    base.fields = {{0x04, 4, "N"}, {0x0C, 14, "Memo"}};
    const QByteArray blank(14, '\0');
    base.blocks = {{BeLong(1) + blank, BeLong(2) + blank}, {BeLong(3) + blank}};
    const QByteArray good = base.bytes();
    const int memoOfRecord2 = 2048 + 6 + 18 + 4 + 4; // its .mb pointer, then its length
    const auto memo = [](quint32 pointer, quint32 length) { return Le32(pointer) + Le32(length); };
    QByteArray mb(2 * 4096, '\0');
    mb[4096] = 3; // a shared block whose entry 0 holds 5 bytes
    Put(mb, 4096 + 12, Bytes({0x20, 1, 1, 0, 5}));
    struct Case {
        const char* what;
        int at; // where the patch goes; -1: none
        QByteArray patch;
        int keep; // bytes of the file kept; -1: all
        bool memoFile;
        QString message;
    };
    const Case cases[] = {
        {"empty file", -1, {}, 0, false, "the file is empty"},
        {"cut short", -1, {}, 40, false, "too short"},
        {"index file", 0x04, Bytes({1}), -1, false, "not a Paradox table"},
        {"version", 0x39, Bytes({13}), -1, false, "not a Paradox table"},
        {"password", 0x5C, Le32(0x1234), -1, false, "password"},
        {"header size", 0x02, Le16(0x7000), -1, false, "header size"},
        {"block size", 0x05, Bytes({5}), -1, false, "unknown block size (5)"},
        {"no fields", 0x21, Le16(0), -1, false, "no fields"},
        {"unknown type", 0x78, Bytes({0x30}), -1, false, "code 48"},
        {"size for type", 0x79, Bytes({3}), -1, false, "size (3)"},
        {"record size", 0x00, Le16(20), -1, false, "records are 20 bytes"},
        {"block past end", 2048, Le16(7), -1, false, "block 7 lies past the end"},
        {"block loop", 2048 + 1024, Le16(1), -1, false, "comes back to block 1"},
        {"truncated block", -1, {}, 2048 + 1024 + 10, false, "claims more records (1)"},
        {"overfull block", 2048 + 4, Le16(1000 * 18), -1, false, "claims more records (1001)"},
        {"no memo file", memoOfRecord2, memo(4096, 5), -1, false, "there is none"},
        {"memo past end", memoOfRecord2, memo(0x7F000000, 5), -1, true, "past the end"},
        {"memo wrong length", memoOfRecord2, memo(4096, 40), -1, true, "does not match"},
        {"memo no block", memoOfRecord2, memo(4096 | 0xFF, 5), -1, true, "no such value"},
        {"memo not in record", memoOfRecord2, memo(0, 9), -1, false, "longer than the record"},
        {"memo too long", memoOfRecord2, memo(4096, 0x7FFFFFFF), -1, true, "more than can be"},
    };
    for (const Case& c : cases) {
        QByteArray bytes = good;
        if (c.at >= 0)
            Put(bytes, c.at, c.patch);
        if (c.keep >= 0)
            bytes.truncate(c.keep);
        TempFolder dir;
        const QString path = dir.path(QStringLiteral("bad.db"));
        WriteFile(path, bytes);
        if (c.memoFile)
            WriteFile(dir.path(QStringLiteral("bad.mb")), mb);
        const QString error = ReadTable(path).error;
        EXPECT_TRUE(error.contains(c.message) && error.contains(QStringLiteral("bad.")))
            << c.what << ": " << error.toStdString();
    }
    PxTable paradox3 = base; // the password mark sits in the old place
    paradox3.version = 3;
    paradox3.password = 0x1234;
    TempFolder dir;
    WriteFile(dir.path(QStringLiteral("locked.db")), paradox3.bytes());
    EXPECT_TRUE(ReadTable(dir.path(QStringLiteral("locked.db"))).error.contains("password"));
    PxTable wide;
    for (int i = 0; i < 1001; ++i)
        wide.fields.push_back({0x09, 1, "F"});
    WriteFile(dir.path(QStringLiteral("wide.db")), wide.bytes());
    WriteFile(dir.path(QStringLiteral("prices.db")), "Code;Name\n1;Apple\n" + QByteArray(90, ' '));
    EXPECT_TRUE(ReadTable(dir.path(QStringLiteral("wide.db"))).error.contains("1001 fields"));
    EXPECT_TRUE(ReadTable(dir.path(QStringLiteral("prices.db"))).error.contains("not a Paradox"));
    WriteFile(dir.path(QStringLiteral("readme.txt")), "no tables");
    QDir(dir.root()).mkdir(QStringLiteral("empty"));
    EXPECT_TRUE(
        ReadTable(dir.path(QStringLiteral("empty"))).error.contains("holds no Paradox tables"));
    EXPECT_TRUE(ReadTable(dir.path(QStringLiteral("gone.db"))).error.contains("does not exist"));
}

// The sample tables: Paradox 3, 5 and 7, keyed and unkeyed, memos in the record, in shared and
// in whole .mb blocks, a Cyrillic table and an encrypted one.
TEST(ParadoxReader, ReadsTheSampleTablesLetterForLetter) {
    if (SamplesDir().isEmpty())
        GTEST_SKIP() << "no sample files";
    const QString dir = SamplesDir() + QStringLiteral("/paradox");
    auto source = OpenParadoxSource(dir);
    const QStringList names = {
        "CUSTOMER",       "DECIMAL",         "encrypted",       "fields_bcd",  "fields_date7",
        "fields_logical", "fields_long",     "fields_memo",     "fields_time", "fields_timestamp",
        "mtdemo_AMOUNT",  "mtdemo_CUSTOMER", "mtdemo_VIDORDER", "ORDERS"};
    ASSERT_EQ(source->tableNames(), names);
    const QList<int> counts = {20, 9, -1, 3, 5, 4, 3, 2, 3, 2, 50, 28, 50, 224};
    std::map<QString, std::vector<std::vector<QVariant>>> rows;
    for (int i = 0; i < names.size(); ++i) {
        const QString file =
            dir + '/' + names[i] +
            (names[i].startsWith("fields") || names[i] == "encrypted" ? ".db" : ".DB");
        const ReadResult r = ReadTable(file);
        if (counts[i] < 0) {
            EXPECT_TRUE(r.error.contains(QStringLiteral("password"))) << r.error.toStdString();
            continue;
        }
        ASSERT_EQ(r.error, QString()) << names[i].toStdString();
        EXPECT_EQ(int(r.rows.size()), counts[i]) << names[i].toStdString();
        EXPECT_EQ(import::ReadParadoxTableInfo(file).recordCount, counts[i])
            << names[i].toStdString();
        rows[names[i]] = r.rows;
    }

    const auto& customer = rows["CUSTOMER"];
    const std::vector<QVariant> luke = {1,
                                        "Luke",
                                        "Justice",
                                        "luke@fun.com",
                                        "4-976 Sugarloaf Hwy",
                                        "Santa Cruz",
                                        "CA",
                                        "94766",
                                        "Small comment (less 100 symbols)",
                                        Utc(1996, 2, 2)};
    EXPECT_EQ(customer[0], luke);
    EXPECT_EQ(customer[4][7].toString(), QStringLiteral("00820"));
    EXPECT_EQ(customer[1][8].toString().size(), 518); // a shared .mb block
    EXPECT_TRUE(
        customer[1][8].toString().startsWith("\tThe length of the leader may be zero for type B"));
    EXPECT_EQ(customer[3][8].toString().size(), 56864); // a .mb block of its own
    EXPECT_TRUE(customer[3][8].toString().startsWith(" The PARADOX File Structure"));
    EXPECT_EQ(customer[5][8].toString(), QString());

    const std::vector<QVariant> lastOrder = {
        1669.0, 1221.0, Utc(1992, 5, 5), Utc(1992, 5, 7), "UPS", 325.0,
        18.0,   307.0,  "FOB",           "Credit",        "May"};
    EXPECT_EQ(rows["ORDERS"].back(), lastOrder);

    const auto& amount = rows["mtdemo_AMOUNT"];
    EXPECT_EQ(amount[0][0], QVariant(Utc(1989, 1, 1)));
    EXPECT_EQ(amount[0][1].toString(), QStringLiteral("1332"));
    EXPECT_DOUBLE_EQ(amount[0][4].toDouble(), 0.17);
    EXPECT_TRUE(amount[2][6].isNull());
    EXPECT_EQ(amount[0][8].toString(), QStringLiteral("NV"));
    EXPECT_EQ(import::ReadParadoxTableInfo(dir + "/mtdemo_AMOUNT.DB").codePage, 437);
    EXPECT_TRUE(rows["mtdemo_CUSTOMER"][1][10].toString().startsWith(
        "A lover of classic silent films, especially the comedies of Chaplin, Keaton, and"));

    const std::vector<std::vector<QVariant>> bcd = {
        {1.23, 1.0, 0.123}, {-1.23, -1.0, -0.123}, {0.0, QVariant(), 0.9999}};
    EXPECT_EQ(rows["fields_bcd"], bcd);
    QList<double> decimals;
    for (const auto& r : rows["DECIMAL"])
        decimals << r[0].toDouble();
    EXPECT_EQ(decimals.mid(0, 6), QList<double>({-200, -20, -1, 1, 20, 200}));
    EXPECT_EQ(rows["fields_date7"][2],
              std::vector<QVariant>({Utc(2018, 1, 2), Utc(1899, 12, 30, 9, 25, 25)}));
    EXPECT_TRUE(rows["fields_date7"][3][0].isNull());
    EXPECT_EQ(rows["fields_time"][0][0], QVariant(Utc(1899, 12, 30, 1, 0, 1)));
    EXPECT_TRUE(rows["fields_timestamp"][0][0].isNull());
    EXPECT_EQ(rows["fields_timestamp"][1][0], QVariant(Utc(2020, 2, 1, 1, 0, 1)));
    EXPECT_EQ(rows["fields_logical"][1][0], QVariant(false));
    EXPECT_TRUE(rows["fields_long"][2][1].isNull());
    EXPECT_EQ(rows["fields_memo"][0][1].toString().size(), 555);
    EXPECT_EQ(rows["fields_memo"][1][1].toString(), QStringLiteral("01234567890\n"));

    const QString prices = SamplesDir() + QStringLiteral("/paradox/generated/PRICES.DB");
    auto single = OpenParadoxSource(prices);
    EXPECT_EQ(single->tableNames(), QStringList({"PRICES"}));
    const ReadResult p = ReadTable(prices);
    ASSERT_EQ(p.rows.size(), 3u);
    const std::vector<QVariant> tea = {
        "A-1",
        QStringLiteral("\u0427\u0430\u0439 \u0437\u0435\u043b\u0451\u043d\u044b\u0439"),
        12.34,
        5,
        Utc(2024, 1, 31),
        true};
    EXPECT_EQ(p.rows[0], tea);
    EXPECT_EQ(p.rows[1][5], QVariant(false));
    EXPECT_EQ(import::ReadParadoxTableInfo(prices).codePage, 1251);
}
