#include "import/accessreader.h"
#include "jetwriter.h"
#include "testutil.h"

#include <QDateTime>
#include <QFile>
#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>

using import::FieldType;
using import::OpenAccessSource;
using import::SourceError;
namespace jw = jetwriter;

namespace {

constexpr int kPage = 4096;

QString Sample(const char* name) {
    return SamplesDir().isEmpty() ? QString()
                                  : SamplesDir() + QStringLiteral("/mdb/") + QLatin1String(name);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray Le16(int v) {
    return QByteArray(1, char(v)) + char(v >> 8);
}
QByteArray Le32(quint32 v) {
    return Le16(int(v & 0xFFFF)) + Le16(int(v >> 16));
}

void Put(QByteArray& at, qsizetype offset, const QByteArray& bytes) {
    at.replace(offset, bytes.size(), bytes);
}

QDateTime Utc(int y, int m, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, mi, s, ms), Qt::UTC);
}

struct Read {
    QStringList tables;
    std::vector<import::SourceField> fields;
    std::vector<std::vector<QVariant>> rows;
    QString error;
};

// The named table (or every table, keeping the last one's rows) read whole.
Read ReadAll(const QString& path, const QString& only = QString()) {
    Read r;
    try {
        auto source = OpenAccessSource(path);
        r.tables = source->tableNames();
        for (const QString& name : r.tables) {
            if (!only.isEmpty() && name != only)
                continue;
            auto table = source->openTable(name);
            r.fields = table->fields();
            r.rows.clear();
            while (table->next()) {
                std::vector<QVariant> row;
                for (size_t i = 0; i < r.fields.size(); ++i)
                    row.push_back(table->value(int(i)));
                r.rows.push_back(row);
            }
        }
    } catch (const SourceError& e) {
        r.error = e.message();
    }
    return r;
}

// Jet 4's compressed text: FF FE, then one byte per Latin-1 character, a 00 byte switching to
// and from two-byte characters.
QByteArray Compressed(const QString& text) {
    QByteArray out("\xFF\xFE");
    bool compressed = true;
    for (QChar c : text) {
        const bool narrow = c.unicode() != 0 && c.unicode() < 256;
        if (narrow != compressed) {
            out += '\0';
            compressed = narrow;
        }
        out += narrow ? QByteArray(1, char(c.unicode())) : Le16(c.unicode());
    }
    return out;
}

} // namespace

TEST(AccessReader, DecodesDatesTextAndDecimalsFromTheirStoredBytes) {
    struct DateCase {
        double serial;
        QDateTime want; // invalid: NULL
    };
    const DateCase dates[] = {
        {0.0, Utc(1899, 12, 30)},
        {2.75, Utc(1900, 1, 1, 18)},
        {-1.25, Utc(1899, 12, 29, 6)}, // whole days back, time forward
        {-463126.0, Utc(632, 1, 1)},
        {44532.0 + 13.0 / 24 + 14.0 / 1440 + 15.0 / 86400, Utc(2021, 12, 2, 13, 14, 15)},
        {2958465.0, Utc(9999, 12, 31)},
        {-1.0 - 0.9999999999999, Utc(1899, 12, 30)}, // rounds up to the next midnight
        {-657434.0, Utc(100, 1, 1)},
        {-657435.0, {}},
        {2958466.0, {}},
        {std::nan(""), {}},
    };
    for (const DateCase& c : dates) {
        const QVariant got = import::access::DateFromSerial(c.serial);
        if (!c.want.isValid()) {
            EXPECT_TRUE(got.isNull()) << c.serial;
            continue;
        }
        EXPECT_EQ(got.toDateTime(), c.want) << c.serial << " " << got.toString().toStdString();
        EXPECT_EQ(got.toDateTime().timeSpec(), Qt::UTC);
    }

    const QString words = QStringLiteral("Grüße – Ünïcødé €5");
    QByteArray utf16;
    for (QChar c : words)
        utf16 += Le16(c.unicode());
    struct TextCase {
        QByteArray bytes;
        bool jet3;
        int codePage;
        QString want;
    };
    const TextCase texts[] = {
        {utf16, false, 1252, words},
        {Compressed(words), false, 1252, words},
        {QByteArray("\xFF\xFE" "ab\0\x13\x20\0c", 9), false, 1252, QStringLiteral("ab–c")},
        {QByteArray("\xFF\xFE" "ab\0\x13", 6), false, 1252, QStringLiteral("ab")}, // odd end
        {QByteArray("Gr\xFC\xDF" "e"), true, 1252, QStringLiteral("Grüße")},
        {QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2"), true, 1251, QStringLiteral("Привет")},
        {QByteArray("caf\xE9"), true, 0, QStringLiteral("café")}, // no code page: 1252
    };
    for (const TextCase& c : texts)
        EXPECT_EQ(import::access::DecodeText(c.bytes, c.jet3, c.codePage), c.want) << c.want.toStdString();

    struct DecimalCase {
        QByteArray bytes;
        int scale;
        double want;
    };
    const QByteArray zero12(12, '\0');
    const DecimalCase decimals[] = {
        {QByteArray(1, '\0') + zero12 + Le32(12345), 2, 123.45},
        {QByteArray(1, '\x80') + zero12 + Le32(12345), 3, -12.345},
        {QByteArray(1, '\0') + QByteArray(8, '\0') + Le32(1) + Le32(0), 0, 4294967296.0},
        {QByteArray(1, '\0') + Le32(1) + QByteArray(12, '\0'), 0, std::ldexp(1.0, 96)},
    };
    for (const DecimalCase& c : decimals)
        EXPECT_DOUBLE_EQ(import::access::DecodeDecimal(c.bytes, c.scale), c.want);
}

// The Access 2000 sample: dates before 1900 and before 1000 and in 9999, memos with line breaks.
TEST(AccessReader, ReadsTheDateSampleWithEveryDateRight) {
    const QString path = Sample("DateTestDatabase.mdb");
    if (path.isEmpty() || !QFile::exists(path))
        GTEST_SKIP() << "no sample files";
    const Read r = ReadAll(path);
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    EXPECT_EQ(r.tables, QStringList{QStringLiteral("DateTest")});
    ASSERT_EQ(r.fields.size(), 6u);
    const FieldType types[] = {FieldType::Long, FieldType::Date, FieldType::Date,
                               FieldType::Date, FieldType::Memo, FieldType::Text};
    const char* names[] = {"IDCol", "DateTimeCol", "DateCol", "TimeCol", "LongTextCol",
                           "ShortTextCol"};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(r.fields[i].name, QLatin1String(names[i]));
        EXPECT_EQ(r.fields[i].type, types[i]) << names[i];
    }
    EXPECT_EQ(r.fields[5].size, 255);
    ASSERT_EQ(r.rows.size(), 6u);
    const QDateTime day = Utc(2021, 12, 2);
    const std::vector<std::vector<QVariant>> want = {
        {1, day, day, day, QStringLiteral("Hello"), QStringLiteral("Hello")},
        {2, Utc(9999, 1, 1), Utc(9999, 1, 1), Utc(9999, 1, 1), QStringLiteral("Year 9999"),
         QStringLiteral("Year 1999")},
        {3, Utc(1898, 1, 1), Utc(1899, 1, 1), Utc(1900, 1, 1), QStringLiteral("Pre-1900 years"),
         QStringLiteral("Pre-1900 years")},
        {4, Utc(632, 1, 1), Utc(633, 1, 1), Utc(634, 1, 1), QStringLiteral("Pre-1000 years"),
         QStringLiteral("Pre-1000 years")},
        {5, day, day, day, QStringLiteral("Escaped new line \\r\\n in field"),
         QStringLiteral("Escaped new line \\r\\n in field")},
        {6, day, day, day, QStringLiteral("New line\r\nin field"), QStringLiteral("No new line")},
    };
    for (size_t row = 0; row < want.size(); ++row)
        for (size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(r.rows[row][i], want[row][i]) << "row " << row + 1 << " " << names[i];
            EXPECT_EQ(r.rows[row][i].typeId(), want[row][i].typeId());
        }
}

// The Access 2007 sample: Currency typed as a number, NULLs where libmdb gives empty texts.
TEST(AccessReader, ReadsTheAccdbSampleTypedAndWithItsNulls) {
    const QString path = Sample("ASampleDatabase.accdb");
    if (path.isEmpty() || !QFile::exists(path))
        GTEST_SKIP() << "no sample files";
    auto source = OpenAccessSource(path);
    EXPECT_EQ(source->tableNames(), QStringList{QStringLiteral("Asset Items")});
    EXPECT_THROW(source->openTable(QStringLiteral("MSysObjects")), SourceError);
    auto table = source->openTable(QStringLiteral("asset items"));
    const std::vector<import::SourceField>& fields = table->fields();
    ASSERT_EQ(fields.size(), 13u);
    EXPECT_EQ(fields[0].name, QStringLiteral("Asset No"));
    EXPECT_EQ(fields[0].size, 5);
    EXPECT_EQ(fields[4].size, 40);
    EXPECT_EQ(fields[7].type, FieldType::Date);
    EXPECT_EQ(fields[8].type, FieldType::Currency);
    EXPECT_EQ(fields[9].type, FieldType::Long);
    EXPECT_EQ(fields[12].type, FieldType::Memo);
    ASSERT_TRUE(table->next());
    EXPECT_EQ(table->value(QStringLiteral("asset no")), QVariant(QStringLiteral("30050")));
    EXPECT_EQ(table->value(QStringLiteral("Make")), QVariant(QStringLiteral("GEO Rocket")));
    EXPECT_EQ(table->value(QStringLiteral("Acquired")), QVariant(Utc(1997, 9, 2)));
    EXPECT_EQ(table->value(QStringLiteral("Cost")), QVariant(1995.5));
    EXPECT_EQ(table->value(QStringLiteral("Warranty")), QVariant(12));
    EXPECT_TRUE(table->value(QStringLiteral("Comments")).isNull());
    EXPECT_THROW(table->value(QStringLiteral("Price")), SourceError);
    int rows = 1;
    QVariantList last;
    for (; table->next(); ++rows) {
        last.clear();
        for (int i = 0; i < 13; ++i)
            last << table->value(i);
    }
    EXPECT_EQ(rows, 65);
    ASSERT_EQ(last.size(), 13);
    EXPECT_EQ(last[0], QVariant(QStringLiteral("30118")));
    EXPECT_EQ(last[2], QVariant(QStringLiteral("Davis Reece")));
    EXPECT_EQ(last[8], QVariant(3425.5));
    EXPECT_EQ(last[9], QVariant(0));
    // Tax Scale and Supplier No are NULL in this row, not empty texts.
    EXPECT_TRUE(last[10].isNull());
    EXPECT_TRUE(last[11].isNull());
    EXPECT_FALSE(table->next());
}

namespace {

// The date sample with row 2's memo moved onto a chain of two long-value pages (pages 31 and
// 37 hold only deleted rows; their first rows are made to hold the two parts).
struct MemoChain {
    QByteArray file;
    qsizetype header = -1; // the memo's 12-byte header in row 2
    QByteArray stream;     // the memo's stored bytes

    explicit MemoChain(const QString& text) {
        file = ReadFile(Sample("DateTestDatabase.mdb"));
        const QByteArray inlineMemo = Compressed(QStringLiteral("Year 9999"));
        const qsizetype at = file.indexOf(inlineMemo);
        if (at < 12 || file.indexOf(inlineMemo, at + 1) >= 0 || file.size() < 38 * kPage)
            return;
        header = at - 12;
        stream = Compressed(text);
        const qsizetype half = stream.size() / 2;
        setRow(31, Le32(37u << 8) + stream.left(half));
        setRow(37, Le32(0) + stream.mid(half));
        setHeader(quint32(stream.size()), 0x00, 31u << 8);
    }
    void setRow(int page, const QByteArray& row) {
        const qsizetype start = kPage - row.size();
        Put(file, qsizetype(page) * kPage + 14, Le16(int(start))); // row 0's offset
        Put(file, qsizetype(page) * kPage + start, row);
    }
    void setHeader(quint32 length, int kind, quint32 pageRow) {
        Put(file, header, Le32(length | quint32(kind) << 24) + Le32(pageRow) + Le32(0));
    }
};

} // namespace

TEST(AccessReader, ReadsAMemoWholeAcrossPagesAndRefusesBrokenChains) {
    if (Sample("DateTestDatabase.mdb").isEmpty() || !QFile::exists(Sample("DateTestDatabase.mdb")))
        GTEST_SKIP() << "no sample files";
    QString text;
    while (text.size() < 5000)
        text += QStringLiteral("Grüße aus Köln – naïve café № %1. ").arg(text.size());
    const MemoChain good(text);
    ASSERT_GE(good.header, 0);
    ASSERT_LT(good.stream.size(), 2 * (kPage - 64));
    TempFolder dir;
    const QString path = dir.path(QStringLiteral("chain.mdb"));
    WriteFile(path, good.file);
    const Read r = ReadAll(path);
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();
    ASSERT_EQ(r.rows.size(), 6u);
    EXPECT_EQ(r.rows[1][4].toString(), text);
    EXPECT_EQ(r.rows[1][5].toString(), QStringLiteral("Year 1999"));

    struct Case {
        const char* what;
        int kind;
        qint64 extraLength;
        quint32 pageRow;
        quint32 secondNext; // the next-pointer of the second part
        QString message;
    };
    const Case cases[] = {
        {"loop", 0x00, 100000, 31u << 8, 31u << 8, "runs in a loop"},
        {"ends early", 0x00, 10, 31u << 8, 0, "ends early"},
        {"past the end", 0x00, 0, 5000u << 8, 0, "outside the file"},
        {"no such row", 0x40, 0, (20u << 8) | 200, 0, "outside the file"},
        {"unknown kind", 0x20, 0, 31u << 8, 0, "header is damaged"},
    };
    for (const Case& c : cases) {
        MemoChain bad(text);
        bad.setHeader(quint32(bad.stream.size() + c.extraLength), c.kind, c.pageRow);
        Put(bad.file, 37 * kPage + kPage - (bad.stream.size() - bad.stream.size() / 2) - 4,
            Le32(c.secondNext));
        const QString badPath = dir.path(QStringLiteral("broken.mdb"));
        WriteFile(badPath, bad.file);
        const QString error = ReadAll(badPath).error;
        EXPECT_TRUE(error.contains(c.message) && error.contains(QStringLiteral("broken.mdb")) &&
                    error.contains(QStringLiteral("row 2 of the table \"DateTest\"")) &&
                    error.contains(QStringLiteral("LongTextCol")))
            << c.what << ": " << error.toStdString();
    }
}

// A database written page by page: typed values, NULL told from an empty text, and a table
// whose one data page holds no rows (all deleted) read as empty, not as one row of the page's
// zeros.
TEST(AccessReader, ReadsAWrittenDatabaseAndAnEmptyDataPageAsNoRows) {
    TempFolder dir;
    const QString path = dir.path(QStringLiteral("written.mdb"));
    const jw::Table prices{QStringLiteral("Prices"),
                           {{jw::Long, "Code"}, {jw::Text, "Name"}, {jw::Integer, "Qty"},
                            {jw::Double, "Price"}, {jw::Date, "Day"}},
                           {{7, QStringLiteral("Caf\u00e9 cr\u00e8me"), -2, 2.5, -1.25},
                            {8, QString(), QVariant(), QVariant(), QVariant()}}};
    WriteFile(path, jw::Database({prices, {QStringLiteral("Empty"), {{jw::Text, "Only"}}, {}}}));
    const Read all = ReadAll(path, QStringLiteral("Prices"));
    ASSERT_TRUE(all.error.isEmpty()) << all.error.toStdString();
    EXPECT_EQ(all.tables, QStringList({QStringLiteral("Empty"), QStringLiteral("Prices")}));
    ASSERT_EQ(all.rows.size(), 2u);
    const std::vector<QVariant> first = {7, QStringLiteral("Caf\u00e9 cr\u00e8me"), -2, 2.5,
                                         Utc(1899, 12, 29, 6)};
    EXPECT_EQ(all.rows[0], first);
    EXPECT_EQ(all.rows[1][1], QVariant(QString()));
    EXPECT_FALSE(all.rows[1][1].isNull());
    for (int i : {2, 3, 4})
        EXPECT_TRUE(all.rows[1][size_t(i)].isNull()) << i;
    const Read empty = ReadAll(path, QStringLiteral("Empty"));
    EXPECT_TRUE(empty.error.isEmpty()) << empty.error.toStdString();
    EXPECT_EQ(empty.fields.size(), 1u);
    EXPECT_EQ(empty.rows.size(), 0u);
}

TEST(AccessReader, RefusesFilesThatAreNotWholeAccessDatabases) {
    TempFolder dir;
    QByteArray header(3 * kPage, '\0');
    Put(header, 0, QByteArray("\0\1\0\0Standard Jet DB\0", 20));
    header[0x14] = 1;
    QByteArray future = header;
    future[0x14] = 9;
    struct Case {
        const char* what;
        QByteArray bytes;
        QString message;
    };
    const Case cases[] = {
        {"empty", QByteArray(), "the file is empty"},
        {"text", QByteArray("Code;Name\r\n1;Apple\r\n").repeated(300), "not an Access database"},
        {"cut in the header", header.left(0x10), "not an Access database"},
        {"later version", future, "version mark 9"},
        {"half a page", header.left(kPage + 100), "cut short"},
        {"two pages", header.left(2 * kPage), "cut short"},
        {"no table list", header, "the list of tables cannot be read"},
    };
    for (const Case& c : cases) {
        const QString path = dir.path(QStringLiteral("prices.mdb"));
        WriteFile(path, c.bytes);
        const QString error = ReadAll(path).error;
        EXPECT_TRUE(error.contains(c.message) && error.contains(QStringLiteral("prices.mdb")))
            << c.what << ": " << error.toStdString();
    }
    EXPECT_TRUE(ReadAll(dir.path(QStringLiteral("gone.mdb"))).error.contains("does not exist"));
    EXPECT_TRUE(ReadAll(dir.root()).error.contains("not a file"));
}

// Copies of the samples cut after every page, and with one page overwritten at a time: each
// reads or is refused with a message naming the file, never a crash or a hang.
TEST(AccessReader, CutOrDamagedCopiesOfTheSamplesAreRefusedWithAMessage) {
    const QString date = Sample("DateTestDatabase.mdb");
    if (date.isEmpty() || !QFile::exists(date))
        GTEST_SKIP() << "no sample files";
    TempFolder dir;
    const QString path = dir.path(QStringLiteral("copy.mdb"));
    int refused = 0;
    for (const char* name : {"DateTestDatabase.mdb", "ASampleDatabase.accdb"}) {
        const QByteArray whole = ReadFile(Sample(name));
        ASSERT_EQ(whole.size() % kPage, 0);
        const int pages = int(whole.size() / kPage);
        for (int keep = 1; keep < pages; ++keep) {
            WriteFile(path, whole.left(qsizetype(keep) * kPage));
            const Read r = ReadAll(path);
            if (!r.error.isEmpty()) {
                ++refused;
                EXPECT_TRUE(r.error.contains(QStringLiteral("copy.mdb"))) << r.error.toStdString();
            }
        }
        QRandomGenerator random(7);
        for (int page = 1; page < pages; ++page) {
            QByteArray damaged = whole;
            for (int i = 0; i < kPage; i += 4)
                Put(damaged, qsizetype(page) * kPage + i, Le32(random.generate()));
            WriteFile(path, damaged);
            const Read r = ReadAll(path);
            EXPECT_TRUE(r.error.isEmpty() || r.error.contains(QStringLiteral("copy.mdb")))
                << r.error.toStdString();
        }
    }
    // The date table's rows are on page 20: a copy cut before it cannot be read whole.
    EXPECT_GT(refused, 20);
    WriteFile(path, ReadFile(date).left(20 * kPage));
    EXPECT_TRUE(ReadAll(path).error.contains(QStringLiteral("past the end of the file")));
}
