#include "import/dbfreader.h"

#include "testutil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cstring>
#include <map>

using import::FieldType;
using import::SourceError;

namespace {

struct Fld {
    QByteArray name;
    char type;
    int length;
    int decimals = 0;
    unsigned char flags = 0;
};

QByteArray Le16(int v) {
    QByteArray b(2, '\0');
    qToLittleEndian<quint16>(quint16(v), b.data());
    return b;
}
QByteArray Le32(qint64 v) {
    QByteArray b(4, '\0');
    qToLittleEndian<quint32>(quint32(v), b.data());
    return b;
}
QByteArray Be32(qint64 v) {
    QByteArray b(4, '\0');
    qToBigEndian<quint32>(quint32(v), b.data());
    return b;
}
QByteArray Le64(qint64 v) {
    QByteArray b(8, '\0');
    qToLittleEndian<qint64>(v, b.data());
    return b;
}
QByteArray LeDouble(double d) {
    qint64 bits;
    std::memcpy(&bits, &d, sizeof d);
    return Le64(bits);
}

// One row: the deletion flag, then each value blank-padded (or cut) to its field's length.
QByteArray Row(const std::vector<Fld>& fields, const std::vector<QByteArray>& values,
               bool deleted = false) {
    QByteArray row(1, deleted ? '*' : ' ');
    for (size_t i = 0; i < fields.size(); ++i)
        row += values[i].leftJustified(fields[i].length, ' ', true);
    return row;
}

// A table file as dBase III+ and FoxPro write it; Visual FoxPro versions get the backlink area.
QByteArray Dbf(unsigned char version, unsigned char mark, const std::vector<Fld>& fields,
               const std::vector<QByteArray>& rows) {
    const bool vfp = version >= 0x30 && version <= 0x32;
    int recordLength = 1;
    for (const Fld& f : fields)
        recordLength += f.length;
    const int headerLength = 32 + 32 * int(fields.size()) + 1 + (vfp ? 263 : 0);
    QByteArray b;
    b += char(version);
    b += QByteArray("\x7c\x01\x1f", 3);
    b += Le32(qint64(rows.size())) + Le16(headerLength) + Le16(recordLength);
    b += QByteArray(16, '\0');
    b += char(0) + QByteArray(1, char(mark)) + QByteArray(2, '\0');
    int offset = 1;
    for (const Fld& f : fields) {
        b += f.name.leftJustified(11, '\0', true) + f.type + Le32(offset);
        b += char(f.length) + QByteArray(1, char(f.decimals)) + QByteArray(1, char(f.flags));
        b += QByteArray(13, '\0');
        offset += f.length;
    }
    b += '\r';
    if (vfp)
        b += QByteArray(263, '\0');
    for (const QByteArray& row : rows)
        b += row;
    b += '\x1a';
    return b;
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QDateTime Utc(int y, int m, int d, int h = 0, int min = 0, int s = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, min, s), Qt::UTC);
}

// Every row of a table, each value in field order.
std::vector<std::vector<QVariant>> ReadAll(import::SourceTable& table) {
    std::vector<std::vector<QVariant>> rows;
    while (table.next()) {
        std::vector<QVariant> row;
        for (int i = 0; i < int(table.fields().size()); ++i)
            row.push_back(table.value(i));
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::vector<QVariant>> ReadFile(const QString& path) {
    auto source = import::OpenDbfSource(path);
    auto table = source->openTable(source->tableNames().value(0));
    return ReadAll(*table);
}

TEST(DbfReader, ReadsDbaseFieldsAsTypedValuesAndSkipsDeletedRows) {
    TempFolder folder;
    const std::vector<Fld> fields = {
        {"NAME", 'C', 10},    {"QTY", 'N', 5}, {"PRICE", 'N', 8, 2}, {"BIG", 'N', 12},
        {"RATE", 'F', 10, 3}, {"DAY", 'D', 8}, {"OK", 'L', 1},       {"qty", 'C', 3},
    };
    const std::vector<QByteArray> rows = {
        Row(fields,
            {"Apple", "   12", "   12.50", "  1234567890", "     0.125", "20240131", "T", "x"}),
        Row(fields, {"Gone", "1", "1", "1", "1", "20240101", "T", ""}, true),
        Row(fields, {"", "", "", "", "", "", "?", ""}),
        Row(fields, {"  Pear", "-7", "-0.5", "*****", "1,5", "19991231", "f", "y"}),
        Row(fields, {"Plum", "1", "1", "1", "1", "20240230", "N", ""}),
    };
    Write(folder.path("goods.dbf"), Dbf(0x03, 0x03, fields, rows));

    auto source = import::OpenDbfSource(folder.path("goods.dbf"));
    ASSERT_EQ(source->tableNames(), QStringList{"goods"});
    auto table = source->openTable("goods");
    const std::vector<std::pair<QString, FieldType>> expected = {
        {"NAME", FieldType::Text},  {"QTY", FieldType::Long},    {"PRICE", FieldType::Double},
        {"BIG", FieldType::Double}, {"RATE", FieldType::Double}, {"DAY", FieldType::Date},
        {"OK", FieldType::Boolean}, {"qty_2", FieldType::Text}, // a repeated name is renamed
    };
    ASSERT_EQ(table->fields().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(table->fields()[i].name, expected[i].first);
        EXPECT_EQ(table->fields()[i].type, expected[i].second) << i;
    }
    EXPECT_EQ(table->fields()[0].size, 10);

    const auto all = ReadAll(*table);
    ASSERT_EQ(all.size(), 4u);
    const std::vector<QVariant> apple = {QString("Apple"), 12,   12.5,        1234567890.0, 0.125,
                                         Utc(2024, 1, 31), true, QString("x")};
    EXPECT_EQ(all[0], apple);
    EXPECT_EQ(all[1][0].toString(), QString("")); // blank text is empty, not NULL
    EXPECT_FALSE(all[1][0].isNull());
    for (int i = 1; i <= 6; ++i)
        EXPECT_TRUE(all[1][size_t(i)].isNull()) << i;
    const std::vector<QVariant> pear = {QString("  Pear"), -7,    -0.5,        QVariant(), 1.5,
                                        Utc(1999, 12, 31), false, QString("y")};
    EXPECT_EQ(all[2], pear);
    EXPECT_TRUE(all[3][5].isNull()); // 30 February is no date
    EXPECT_EQ(all[3][6], QVariant(false));
    EXPECT_THROW(table->value(0), SourceError); // past the last row

    auto again = source->openTable("GOODS");
    ASSERT_TRUE(again->next());
    EXPECT_EQ(again->value("Qty"), QVariant(12)); // by name, case ignored
}

TEST(DbfReader, ReadsDbaseIITables) {
    TempFolder folder;
    QByteArray b;
    b += char(0x02) + Le16(2) + QByteArray("\x01\x02\x03", 3) + Le16(1 + 6 + 4);
    b += QByteArray("EMP:NAME").leftJustified(11, '\0') + 'C' + char(6) + Le16(0) + char(0);
    b += QByteArray("PAY").leftJustified(11, '\0') + 'N' + char(4) + Le16(0) + char(1);
    b += '\r';
    b = b.leftJustified(521, '\0');
    b += " Joe    6.5*Gone   1.0";
    Write(folder.path("old.dbf"), b);
    const auto rows = ReadFile(folder.path("old.dbf"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<QVariant>{QString("Joe"), 6.5}));
}

TEST(DbfReader, ReadsVisualFoxProTypesAndTellsNullFromEmpty) {
    TempFolder folder;
    const std::vector<Fld> fields = {
        {"ID", 'I', 4},
        {"PRICE", 'Y', 8},
        {"WHEN", 'T', 8},
        {"RATE", 'B', 8},
        {"NOTE", 'V', 10, 0, 2},
        {"CODE", 'C', 5, 0, 2},
        {"_NullFlags", '0', 1, 0, 5},
    };
    const qint64 day = QDate(2024, 1, 31).toJulianDay();
    // NOTE: bit 0 says "shorter than the field", bit 1 NULL; CODE: bit 2 NULL.
    const std::vector<QByteArray> rows = {
        Row(fields, {Le32(42), Le64(123400), Le32(day) + Le32(48938999), LeDouble(2.5),
                     QByteArray("Hi").leftJustified(9, '\0') + '\x02', "AB", "\x01"}),
        Row(fields, {Le32(-1), Le64(-5000), Le64(0), LeDouble(0), "", "", "\x06"}),
        Row(fields, {Le32(0), Le64(0), Le32(day) + Le32(0), LeDouble(-1e10), "0123456789", "",
                     QByteArray(1, '\0')}),
    };
    Write(folder.path("vfp.dbf"), Dbf(0x32, 0x03, fields, rows));
    auto source = import::OpenDbfSource(folder.path("vfp.dbf"));
    auto table = source->openTable("VFP");
    const std::vector<FieldType> types = {FieldType::Long,   FieldType::Currency, FieldType::Date,
                                          FieldType::Double, FieldType::Text,     FieldType::Text};
    ASSERT_EQ(table->fields().size(), types.size()); // the flags field is not listed
    for (size_t i = 0; i < types.size(); ++i)
        EXPECT_EQ(table->fields()[i].type, types[i]) << i;
    EXPECT_EQ(table->fieldIndex("_NullFlags"), -1);

    const auto all = ReadAll(*table);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0], (std::vector<QVariant>{42, 12.34, Utc(2024, 1, 31, 13, 35, 39), 2.5,
                                             QString("Hi"), QString("AB")}));
    EXPECT_EQ(all[1][0], QVariant(-1));
    EXPECT_EQ(all[1][1], QVariant(-0.5));
    EXPECT_TRUE(all[1][2].isNull()); // an empty date time
    EXPECT_TRUE(all[1][4].isNull());
    EXPECT_TRUE(all[1][5].isNull());
    EXPECT_EQ(all[2], (std::vector<QVariant>{0, 0.0, Utc(2024, 1, 31), -1e10, QString("0123456789"),
                                             QString("")}));
    EXPECT_FALSE(all[2][5].isNull());
}

// Memo files of the three layouts, each beside a table that points into it.
TEST(DbfReader, ReadsMemosOfEveryLayout) {
    const QByteArray text = "Cr\xe8me br\xfbl\xe9"
                            "e\r\nline two";
    const QString decoded = QStringLiteral("Cr\u00e8me br\u00fbl\u00e9e\r\nline two");
    const QByteArray picture("\x00\x01\xff", 3);

    QByteArray dbt3 = Le32(3).leftJustified(512, '\0');
    dbt3 += (text + "\x1a\x1a").leftJustified(512, '\0');

    QByteArray dbt4 = (Le32(3) + QByteArray(16, '\0') + Le16(512)).leftJustified(512, '\0');
    dbt4 += (QByteArray("\xff\xff\x08\x00", 4) + Le32(text.size() + 8) + text)
                .leftJustified(512, '\x1f');

    // FoxPro: 64-byte blocks after a 512-byte header; the memo at block 8, the picture at 9.
    QByteArray fpt =
        (Be32(10) + QByteArray(2, '\0') + QByteArray("\x00\x40", 2)).leftJustified(512, '\0');
    fpt += (Be32(1) + Be32(text.size()) + text).leftJustified(64, '\0');
    fpt += Be32(0) + Be32(picture.size()) + picture;

    struct Case {
        const char* name;
        unsigned char version;
        std::vector<Fld> fields;
        std::vector<QByteArray> pointers; // memo, picture
        const char* memoFile;
        QByteArray memo;
    };
    const Case cases[] = {
        {"dBase III", 0x83, {{"NOTE", 'M', 10}}, {"         1"}, "t.dbt", dbt3},
        {"dBase IV", 0x8B, {{"NOTE", 'M', 10}}, {"1"}, "t.DBT", dbt4},
        {"FoxPro 2", 0xF5, {{"NOTE", 'M', 10}, {"PIC", 'P', 10}}, {"8", "9"}, "T.FPT", fpt},
        {"Visual FoxPro",
         0x30,
         {{"NOTE", 'M', 4}, {"PIC", 'G', 4}},
         {Le32(8), Le32(9)},
         "t.fpt",
         fpt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        std::vector<QByteArray> blank(c.fields.size(), QByteArray());
        if (c.fields[0].length == 4)
            blank.assign(c.fields.size(), Le32(0));
        Write(folder.path("t.dbf"),
              Dbf(c.version, 0x03, c.fields, {Row(c.fields, c.pointers), Row(c.fields, blank)}));
        Write(folder.path(c.memoFile), c.memo);
        const auto source = import::OpenDbfSource(folder.root());
        auto table = source->openTable("t");
        EXPECT_EQ(table->fields()[0].type, FieldType::Memo);
        const auto rows = ReadAll(*table);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0][0].toString(), decoded);
        EXPECT_EQ(rows[1][0], QVariant(QString(""))); // no memo: empty text
        if (c.fields.size() > 1) {
            EXPECT_EQ(table->fields()[1].type, FieldType::LongBinary);
            EXPECT_EQ(rows[0][1].toByteArray(), picture);
        }
    }
}

TEST(DbfReader, DecodesTextByTheCodePageMark) {
    struct Case {
        unsigned char mark;
        int codePage;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {0x01, 437, "\x82t\x82", QStringLiteral("\u00e9t\u00e9")},
        {0x02, 850, "\x9b", QStringLiteral("\u00f8")},
        {0x64, 852, "\xa5\x9d", QStringLiteral("\u0105\u0141")},
        {0x65, 866, "\x8f\xe0\xa8", QStringLiteral("\u041f\u0440\u0438")},
        {0x26, 866, "\x97\xa0\xa9", QStringLiteral("\u0427\u0430\u0439")},
        {0xC8, 1250, "\x9a\xb9", QStringLiteral("\u0161\u0105")},
        {0xC9, 1251, "\xc4\xe0", QStringLiteral("\u0414\u0430")},
        {0x57, 1252, "caf\xe9 \x80", QStringLiteral("caf\u00e9 \u20ac")},
        {0x03, 1252, "\xfc", QStringLiteral("\u00fc")},
        {0x69, 620, "\x98\x9e\x86\x92\x86", QStringLiteral("\u015a\u015b\u0105\u0142\u0105")},
        {0x68, 895, "P\xa9\xa1li\xa8", QStringLiteral("P\u0159\u00edli\u0161")},
        {0x7D, 1255, "\xf9", QStringLiteral("\u05e9")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mark);
        EXPECT_EQ(import::DbfCodePage(c.mark), c.codePage);
        TempFolder folder;
        const std::vector<Fld> fields = {{"NAME", 'C', 20}};
        Write(folder.path("t.dbf"), Dbf(0x03, c.mark, fields, {Row(fields, {c.bytes})}));
        EXPECT_EQ(ReadFile(folder.path("t.dbf"))[0][0].toString(), c.text);
    }
    EXPECT_EQ(import::DbfCodePage(0), 0);

    // Without a mark: UTF-8 when every text is UTF-8, else Windows-1252 for all.
    struct Unmarked {
        std::vector<QByteArray> values;
        std::vector<QString> texts;
    };
    const Unmarked unmarked[] = {
        {{"caf\xc3\xa9", "plain"}, {QStringLiteral("caf\u00e9"), "plain"}},
        {{"\xc3\xa9", "caf\xe9"}, {QStringLiteral("\u00c3\u00a9"), QStringLiteral("caf\u00e9")}},
        {{"CAF\xc9", "M\xfcller"}, {QStringLiteral("CAF\u00c9"), QStringLiteral("M\u00fcller")}},
        {{"pened\x8as", "qu\xa1mic"},
         {QStringLiteral("pened\u00e8s"), QStringLiteral("qu\u00edmic")}},
        {{"pened\x8as"}, {QStringLiteral("pened\u00e8s")}}, // a lower-case letter, not \u0160
    };
    for (const Unmarked& u : unmarked) {
        TempFolder folder;
        const std::vector<Fld> fields = {{"NAME", 'C', 20}};
        std::vector<QByteArray> rows;
        for (const QByteArray& v : u.values)
            rows.push_back(Row(fields, {v}));
        Write(folder.path("t.dbf"), Dbf(0x03, 0, fields, rows));
        const auto read = ReadFile(folder.path("t.dbf"));
        ASSERT_EQ(read.size(), u.texts.size());
        for (size_t i = 0; i < read.size(); ++i)
            EXPECT_EQ(read[i][0].toString(), u.texts[i]);
    }

    // Only a memo tells: DOS text there.
    TempFolder folder;
    const std::vector<Fld> fields = {{"NAME", 'C', 5}, {"NOTE", 'M', 10}};
    Write(folder.path("t.dbf"), Dbf(0x83, 0, fields, {Row(fields, {"tea", "1"})}));
    Write(folder.path("t.dbt"), Le32(2).leftJustified(512, '\0') + "Cr\x8ame br\x96l\x82"
                                                                   "e\x1a");
    EXPECT_EQ(ReadFile(folder.path("t.dbf"))[0][1].toString(),
              QStringLiteral("Cr\u00e8me br\u00fbl\u00e9e"));
}

TEST(DbfReader, OpensEachTableOfAFolderSortedByName) {
    TempFolder folder;
    const std::vector<Fld> fields = {{"A", 'C', 1}};
    const QByteArray table = Dbf(0x03, 0x03, fields, {Row(fields, {"x"})});
    Write(folder.path("b.dbf"), table);
    Write(folder.path("A.DBF"), table);
    Write(folder.path("c.txt"), "not a table");
    Write(folder.path("b.dbt"), QByteArray(512, '\0'));

    auto source = import::OpenDbfSource(folder.root());
    EXPECT_EQ(source->tableNames(), (QStringList{"A", "b"}));
    EXPECT_EQ(ReadAll(*source->openTable("a")).size(), 1u);
    EXPECT_THROW(source->openTable("c"), SourceError);
    EXPECT_EQ(import::OpenDbfSource(folder.path("b.dbf"))->tableNames(), QStringList{"b"});
}

TEST(DbfReader, RefusesBadInputWithAMessageNamingTheFile) {
    const std::vector<Fld> text = {{"NAME", 'C', 10}};
    const std::vector<Fld> memo = {{"NOTE", 'M', 10}};
    const std::vector<Fld> vfpMemo = {{"NOTE", 'M', 4}};
    const QByteArray good = Dbf(0x03, 0x03, text, {Row(text, {"a"}), Row(text, {"b"})});
    const QByteArray fptHeader =
        (Be32(9) + QByteArray(2, '\0') + QByteArray("\x00\x40", 2)).leftJustified(512, '\0');
    std::vector<Fld> tooMany;
    for (int i = 0; i <= import::kMaxFields; ++i)
        tooMany.push_back({"F" + QByteArray::number(i), 'C', 1});

    struct Case {
        const char* name;
        QByteArray table;
        QByteArray memo; // t.fpt when not empty
        const char* phrase;
    };
    const Case cases[] = {
        {"empty", "", "", "is empty"},
        {"short", "\x03\x01\x02", "", "too short"},
        {"zip", QByteArray("PK\x03\x04").leftJustified(100, '\0'), "", "not a dBase or FoxPro"},
        {"dBase 7", QByteArray(1, '\x04') + good.mid(1), "", "dBase 7"},
        {"header past end", good.left(8) + Le16(5000) + good.mid(10), "", "inside its header"},
        {"record too short", good.left(10) + Le16(5) + good.mid(12), "", "record length"},
        {"rows cut short", good.left(good.size() - 8), "", "holds only 1"},
        {"no fields", good.left(8) + Le16(33) + good.mid(10, 22) + "\r", "", "no fields"},
        {"too many fields", Dbf(0x03, 0x03, tooMany, {}), "", "more than 1000 fields"},
        {"integer of 2 bytes", Dbf(0x30, 0x03, {{"N", 'I', 2}}, {}), "", "does not fit its type"},
        {"memo file missing", Dbf(0x30, 0x03, vfpMemo, {Row(vfpMemo, {Le32(8)})}), "",
         "t.fpt is missing"},
        {"memo past the end", Dbf(0xF5, 0x03, memo, {Row(memo, {"99"})}), fptHeader,
         "past the end"},
        {"memo file cut short", Dbf(0xF5, 0x03, memo, {Row(memo, {"1"})}), QByteArray(2, '\0'),
         "past the end"},
        {"memo runs past the end", Dbf(0x30, 0x03, vfpMemo, {Row(vfpMemo, {Le32(8)})}),
         fptHeader + Be32(1) + Be32(1000) + "abc", "runs past the end"},
        {"memo too long", Dbf(0x30, 0x03, vfpMemo, {Row(vfpMemo, {Le32(8)})}),
         fptHeader + Be32(1) + Be32(0xFFFFFFF0) + "abc", "too long"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        Write(folder.path("t.dbf"), c.table);
        if (!c.memo.isEmpty())
            Write(folder.path("t.fpt"), c.memo);
        try {
            auto source = import::OpenDbfSource(folder.root());
            for (const QString& name : source->tableNames())
                ReadAll(*source->openTable(name));
            ADD_FAILURE() << "no error";
        } catch (const SourceError& e) {
            EXPECT_TRUE(e.message().contains("t.")) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(c.phrase)) << e.message().toStdString();
        }
    }

    TempFolder empty;
    Write(empty.path("t.dbt"), "");
    const std::pair<QString, const char*> paths[] = {
        {empty.root(), "holds no dBase or FoxPro tables"},
        {empty.path("none.dbf"), "none.dbf does not exist"},
    };
    for (const auto& [path, phrase] : paths) {
        try {
            import::OpenDbfSource(path);
            ADD_FAILURE() << "no error for " << phrase;
        } catch (const SourceError& e) {
            EXPECT_TRUE(e.message().contains(phrase)) << e.message().toStdString();
        }
    }
}

// The sample tables collected from other programs, when they are present beside the checkout.
TEST(DbfReader, ReadsTheSampleTablesLetterForLetter) {
    const QString dir = SamplesDir() + "/dbf";
    if (SamplesDir().isEmpty() || !QDir(dir).exists())
        GTEST_SKIP() << "no samples";

    const std::vector<std::pair<QString, size_t>> counts = {
        {"cp1251", 4},          {"dbase_02", 9},          {"dbase_03", 14},      {"dbase_30", 34},
        {"dbase_32", 1},        {"dbase_83", 67},         {"dbase_8b", 10},      {"dbase_f5", 975},
        {"foxprodb_calls", 16}, {"foxprodb_contacts", 5}, {"foxprodb_types", 2}, {"mazovia", 2},
    };
    auto source = import::OpenDbfSource(dir);
    QStringList names;
    for (const auto& c : counts)
        names << c.first;
    ASSERT_EQ(source->tableNames(), names);
    std::map<QString, std::vector<std::vector<QVariant>>> rows;
    std::map<QString, std::unique_ptr<import::SourceTable>> tables;
    for (const auto& [name, count] : counts) {
        auto table = source->openTable(name);
        rows[name] = ReadAll(*table);
        EXPECT_EQ(rows[name].size(), count) << name.toStdString();
        tables[name] = std::move(table);
    }
    const auto at = [&](const QString& table, size_t row, const QString& field) {
        const int index = tables[table]->fieldIndex(field);
        EXPECT_GE(index, 0) << field.toStdString();
        return index < 0 ? QVariant() : rows[table].at(row)[size_t(index)];
    };

    EXPECT_EQ(at("cp1251", 0, "NAME").toString(),
              QStringLiteral("\u0430\u043c\u0431\u0443\u043b\u0430\u0442\u043e\u0440\u043d\u043e-"
                             "\u043f\u043e\u043b\u0438\u043a\u043b\u0438\u043d\u0438\u0447\u0435"
                             "\u0441\u043a\u043e\u0435"));
    EXPECT_EQ(at("mazovia", 0, "A2").toString(), "English");
    EXPECT_EQ(at("mazovia", 1, "A2").toString(),
              QStringLiteral("\u015a\u256b\u00ea\u00eb\u03c4\u2321\u015b"));
    EXPECT_EQ(at("dbase_32", 0, "NAME").toString(), "Bad Meets Evil");
    EXPECT_EQ(at("dbase_02", 0, "LAST").toString(), "Stegman");
    EXPECT_EQ(at("dbase_02", 0, "EMP:NMBR"), QVariant(2));
    EXPECT_EQ(at("dbase_03", 0, "Point_ID").toString(), "0507121");
    EXPECT_EQ(tables["dbase_03"]->fields().back().name, "Point_ID_2");
    EXPECT_TRUE(at("dbase_83", 0, "DESC")
                    .toString()
                    .startsWith("Our Original assortment...a little taste of heaven for everyone.  "
                                "Let us\r\nselect"));
    EXPECT_EQ(at("dbase_83", 0, "TAXABLE"), QVariant(true));
    EXPECT_EQ(at("dbase_8b", 0, "MEMO").toString(), "First memo\r\n");
    EXPECT_EQ(at("dbase_8b", 1, "MEMO").toString(), "Second memo");
    EXPECT_EQ(at("dbase_8b", 0, "DATE"), QVariant(Utc(1970, 1, 1)));
    EXPECT_EQ(at("dbase_8b", 0, "FLOAT").toDouble(), 1.23456789012346);
    EXPECT_TRUE(at("dbase_8b", 2, "LOGICAL").isNull());
    EXPECT_EQ(at("dbase_f5", 0, "NOM").toString(), "joan-ramon");
    EXPECT_EQ(at("dbase_f5", 0, "COMN").toString(), QStringLiteral("baix pened\u00e8s"));
    EXPECT_EQ(at("dbase_f5", 0, "OFIC").toString(), QStringLiteral("qu\u00edmic prof sec"));
    EXPECT_EQ(at("foxprodb_calls", 0, "CALL_DATE"), QVariant(Utc(1994, 11, 21, 13, 35, 39)));
    EXPECT_EQ(at("foxprodb_calls", 0, "NOTES").toString().left(33),
              "Nancy told me about their blends.");
    EXPECT_EQ(at("foxprodb_calls", 1, "NOTES").toString(), "Usual monthly order.");
    EXPECT_EQ(at("foxprodb_contacts", 0, "FIRST_NAME").toString(), "Nancy");
    EXPECT_EQ(at("foxprodb_contacts", 0, "BIRTHDATE"), QVariant(Utc(1963, 4, 8)));
    EXPECT_TRUE(at("foxprodb_contacts", 0, "LAST_MEETI").isNull());
    EXPECT_EQ(at("foxprodb_types", 0, "CONTACT_TY").typeId(), int(QMetaType::Int));

    auto generated = import::OpenDbfSource(dir + "/generated");
    ASSERT_EQ(generated->tableNames(), (QStringList{"prices_db3", "prices_fp", "prices_vfp"}));
    const auto db3 = ReadAll(*generated->openTable("prices_db3"));
    EXPECT_EQ(db3.at(0),
              (std::vector<QVariant>{QString("A-1"), QStringLiteral("\u0427\u0430\u0439"), 12.34, 5,
                                     Utc(2024, 1, 31), QString("memo")}));
    const auto fp = ReadAll(*generated->openTable("prices_fp"));
    EXPECT_EQ(fp.at(0),
              (std::vector<QVariant>{QString("A-1"), 12.34, Utc(2024, 1, 31), QString("memo")}));
    auto vfpTable = generated->openTable("prices_vfp");
    EXPECT_EQ(vfpTable->fields()[2].type, FieldType::Currency);
    const auto vfp = ReadAll(*vfpTable);
    ASSERT_EQ(vfp.size(), 2u);
    EXPECT_EQ(vfp[0][1].toString(),
              QStringLiteral("\u0427\u0430\u0439 \u0437\u0435\u043b\u0451\u043d\u044b\u0439"));
    EXPECT_EQ(vfp[0][2], QVariant(12.34));
    EXPECT_EQ(vfp[0][3], QVariant(5));
    EXPECT_EQ(vfp[0][5].toString(), "memo text");
    EXPECT_EQ(vfp[0][6], QVariant(true));
    EXPECT_EQ(vfp[1][5].toString(), "");
    EXPECT_TRUE(vfp[1][4].isNull());
}

} // namespace
