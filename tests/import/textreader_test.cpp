#include "import/textreader.h"
#include "testutil.h"

#include <QDateTime>
#include <QFile>
#include <QStringEncoder>
#include <functional>
#include <gtest/gtest.h>

using import::FieldType;
using import::OpenTextSource;
using import::SourceError;

namespace {

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray Utf16(const QString& text, QStringConverter::Encoding encoding) {
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

struct Read {
    QStringList names;
    std::vector<FieldType> types;
    std::vector<int> sizes;
    std::vector<std::vector<QVariant>> rows;
};

// Opens the file as a source, its one table, and reads every row.
Read ReadFile(const QString& path) {
    auto source = OpenTextSource(path);
    EXPECT_EQ(source->tableNames().size(), 1);
    auto table = source->openTable(source->tableNames().value(0));
    Read r;
    for (const auto& f : table->fields()) {
        r.names << f.name;
        r.types.push_back(f.type);
        r.sizes.push_back(f.size);
    }
    while (table->next()) {
        std::vector<QVariant> row;
        for (int i = 0; i < int(table->fields().size()); ++i)
            row.push_back(table->value(i));
        r.rows.push_back(row);
    }
    EXPECT_FALSE(table->next());
    return r;
}

Read ReadBytes(const QByteArray& bytes, const QString& name = QStringLiteral("t.csv")) {
    TempFolder folder;
    Write(folder.path(name), bytes);
    return ReadFile(folder.path(name));
}

QString ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const SourceError& e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

TEST(TextReader, TellsTheSeparatorFromTheFirstLineOutsideQuotes) {
    struct Case {
        QByteArray bytes;
        QStringList names;
        QString second; // the first row's second value
    };
    const Case cases[] = {
        {"a,b\n1,x;y\n", {"a", "b"}, "x;y"},
        {"a;b;c\n1;x,y;z\n", {"a", "b", "c"}, "x,y"},
        {"a\tb\n1\tx,y\n", {"a", "b"}, "x,y"},
        {"a;b;c,d\n1;2;3\n", {"a", "b", "c,d"}, "2"}, // the one that occurs most
        {"\"x,y,z\";b\n1;2\n", {"x,y,z", "b"}, "2"},  // quoted commas do not count
        {"\n\na;b\n1;2\n", {"a", "b"}, "2"},          // empty lines before the header
        {"only\n1\n", {"only"}, QString()},           // none: comma
    };
    for (const Case& c : cases) {
        const Read r = ReadBytes(c.bytes);
        EXPECT_EQ(r.names, c.names) << c.bytes.constData();
        ASSERT_EQ(r.rows.size(), 1u) << c.bytes.constData();
        if (r.rows[0].size() > 1) {
            EXPECT_EQ(r.rows[0][1].toString(), c.second) << c.bytes.constData();
        }
    }
}

TEST(TextReader, ReadsQuotedValuesAsWritten) {
    const Read r =
        ReadBytes("code,text\r\n"
                  "1,\"say \"\"hi\"\"\"\r\n"          // doubled quotes
                  "2,\"two\r\nlines, one value\"\r\n" // line break and separator inside quotes
                  "3,5\" pipe\r\n"                    // a stray quote stays a character
                  "4,\"cut\"tail\r\n"                 // text after the closing quote is kept
                  "5,\"\"\r\n"                        // quoted empty
                  "6,last");                          // no line break at the end
    const QStringList expected = {
        "say \"hi\"", "two\r\nlines, one value", "5\" pipe", "cuttail", "", "last"};
    ASSERT_EQ(r.rows.size(), size_t(expected.size()));
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(r.rows[size_t(i)][0].toInt(), i + 1);
        EXPECT_EQ(r.rows[size_t(i)][1].toString(), expected[i]);
    }
}

TEST(TextReader, DecodesEveryEncodingLetterForLetter) {
    const QString text = QStringLiteral("Nom;Prix\nCaf\u00e9 cr\u00e8me;1.5\n");
    struct Case {
        const char* what;
        QByteArray bytes;
        QString name;
        QString value;
    };
    const Case cases[] = {
        {"utf-8", text.toUtf8(), "Nom", "Caf\u00e9 cr\u00e8me"},
        {"utf-8 bom", "\xEF\xBB\xBF" + text.toUtf8(), "Nom", "Caf\u00e9 cr\u00e8me"},
        {"utf-16le bom", "\xFF\xFE" + Utf16(text, QStringConverter::Utf16LE), "Nom",
         "Caf\u00e9 cr\u00e8me"},
        {"utf-16be bom", "\xFE\xFF" + Utf16(text, QStringConverter::Utf16BE), "Nom",
         "Caf\u00e9 cr\u00e8me"},
        {"utf-16le", Utf16(text, QStringConverter::Utf16LE), "Nom", "Caf\u00e9 cr\u00e8me"},
        {"utf-16be", Utf16(text, QStringConverter::Utf16BE), "Nom", "Caf\u00e9 cr\u00e8me"},
        {"cp1252",
         "Nom;Prix\nCaf\xe9 cr\xe8me;1\nP\xe2t\xe9 de foie;2\nCr\xeape sucr\xe9"
         "e;3\n",
         "Nom", "Caf\u00e9 cr\u00e8me"},
        {"cp1252 euro",
         "Nom;Prix\nGr\xfc\xdf"
         "e aus M\xfcnchen \x80;1\nK\xe4se und Br\xf6tchen;2\n",
         "Nom", "Gr\u00fc\u00dfe aus M\u00fcnchen \u20ac"},
        {"cp1251",
         "\xcd\xe0\xe7\xe2\xe0\xed\xe8\xe5;Price\n\xcf\xf0\xe8\xe2\xe5\xf2 \xec\xe8\xf0;1\n"
         "\xd5\xeb\xe5\xe1 \xe8 \xec\xee\xeb\xee\xea\xee;2\n",
         "\u041d\u0430\u0437\u0432\u0430\u043d\u0438\u0435",
         "\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440"},
        {"cp866",
         "Name;Price\n\x8f\xe0\xa8\xa2\xa5\xe2 \xac\xa8\xe0;1\n\x95\xab\xa5\xa1 \xa8 "
         "\xac\xae\xab\xae\xaa\xae;2\n",
         "Name", "\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440"},
    };
    for (const Case& c : cases) {
        const Read r = ReadBytes(c.bytes);
        ASSERT_EQ(r.names.size(), 2) << c.what;
        EXPECT_EQ(r.names[0], c.name) << c.what;
        ASSERT_FALSE(r.rows.empty()) << c.what;
        EXPECT_EQ(r.rows[0][0].toString(), c.value) << c.what;
    }
}

TEST(TextReader, ReadsAcrossTheEndsOfItsReadingChunks) {
    // Past one megabyte: a UTF-8 letter and a quoted value cut by the chunk's end, and UTF-16.
    QByteArray utf8 = "Text\n";
    const QByteArray filler = QByteArray(1000, 'x') + '\n';
    while (utf8.size() < (1 << 20) - 1200)
        utf8 += filler;
    utf8 += QByteArray((1 << 20) - 1 - utf8.size(), 'y'); // "é" straddles the first megabyte
    utf8 += "\xC3\xA9\n\"quoted\nvalue\"\n";
    const Read a = ReadBytes(utf8);
    ASSERT_GE(a.rows.size(), 2u);
    EXPECT_TRUE(a.rows[a.rows.size() - 2][0].toString().endsWith(QStringLiteral("y\u00e9")));
    EXPECT_EQ(a.rows.back()[0].toString(), QStringLiteral("quoted\nvalue"));
    EXPECT_EQ(a.types[0], FieldType::Memo);

    QString text = QStringLiteral("Name\n");
    while (text.size() < (1 << 20))
        text += QStringLiteral("\u00e9t\u00e9 \u0161\n");
    const Read b = ReadBytes("\xFF\xFE" + Utf16(text, QStringConverter::Utf16LE));
    ASSERT_FALSE(b.rows.empty());
    for (const auto& row : b.rows)
        ASSERT_EQ(row[0].toString(), QStringLiteral("\u00e9t\u00e9 \u0161"));
}

TEST(TextReader, NamesTheFieldsFromTheFirstLine) {
    const Read r = ReadBytes(" Code ,,Price,price,Field2,Code\n1,2,3,4,5,6\n");
    EXPECT_EQ(r.names, QStringList({"Code", "Field2", "Price", "price_1", "Field2_1", "Code_1"}));
}

TEST(TextReader, InfersEachColumnsTypeFromAllItsValues) {
    struct Case {
        QStringList values;
        FieldType type;
        int size;
    };
    const QString longText(256, QLatin1Char('m'));
    const Case cases[] = {
        {{"1", "-42", "", "2147483647"}, FieldType::Long, 0},
        {{"1", "2147483648"}, FieldType::Double, 0}, // past 32 bits
        {{"1", "2.5", "-.5", "1e3"}, FieldType::Double, 0},
        {{"1,5", "2"}, FieldType::Text, 3},  // a decimal comma is not a number here
        {{"007", "12"}, FieldType::Text, 3}, // leading zeros are kept
        {{"True", "no", "YES", "false"}, FieldType::Boolean, 0},
        {{"2024-02-29", "1899-12-30 08:05", "2001-01-01T10:11:12"}, FieldType::Date, 0},
        {{"2023-02-29"}, FieldType::Text, 10}, // no such day
        {{"1", "x"}, FieldType::Text, 1},
        {{"\u00e9t\u00e9", "ab"}, FieldType::Text, 3}, // letters, not bytes
        {{"", ""}, FieldType::Text, 1},
        {{"a", longText}, FieldType::Memo, 0},
    };
    for (const Case& c : cases) {
        QByteArray bytes = "v\n";
        for (const QString& v : c.values)
            bytes += "\"" + v.toUtf8() + "\"\n";
        const Read r = ReadBytes(bytes);
        EXPECT_EQ(r.types[0], c.type) << c.values.join(' ').toStdString();
        EXPECT_EQ(r.sizes[0], c.size) << c.values.join(' ').toStdString();
    }
}

TEST(TextReader, GivesTypedValuesAndTellsNullFromEmpty) {
    const Read r = ReadBytes("n;d;b;t;when\n"
                             "7;2.25;yes;abc;2020-05-06 07:08:09\n"
                             ";;;;\n"
                             "8;1\n"                         // short row: the rest NULL
                             "9;3;no;x;2020-01-01;extra\n"); // extra field dropped
    ASSERT_EQ(r.rows.size(), 4u);
    EXPECT_EQ(r.types,
              std::vector<FieldType>({FieldType::Long, FieldType::Double, FieldType::Boolean,
                                      FieldType::Text, FieldType::Date}));
    const auto& first = r.rows[0];
    EXPECT_EQ(first[0].typeId(), QMetaType::Int);
    EXPECT_EQ(first[0].toInt(), 7);
    EXPECT_EQ(first[1].typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(first[1].toDouble(), 2.25);
    EXPECT_EQ(first[2].typeId(), QMetaType::Bool);
    EXPECT_TRUE(first[2].toBool());
    EXPECT_EQ(first[4].toDateTime(), QDateTime(QDate(2020, 5, 6), QTime(7, 8, 9), Qt::UTC));
    const auto& empty = r.rows[1];
    for (int i : {0, 1, 2, 4})
        EXPECT_TRUE(empty[size_t(i)].isNull()) << i;
    EXPECT_FALSE(empty[3].isNull());
    EXPECT_EQ(empty[3].toString(), QString());
    const auto& shortRow = r.rows[2];
    EXPECT_EQ(shortRow[1].toDouble(), 1.0);
    for (int i : {2, 3, 4})
        EXPECT_TRUE(shortRow[size_t(i)].isNull()) << i;
    EXPECT_FALSE(r.rows[3][2].toBool());
    EXPECT_EQ(r.rows[3].size(), 5u);
}

TEST(TextReader, MakesEachTextFileOfAFolderATableInNameOrder) {
    TempFolder folder;
    Write(folder.path("b.txt"), "x\n1\n2\n");
    Write(folder.path("A.csv"), "y;z\n3;4\n");
    Write(folder.path("a.txt"), "w\n5\n");
    Write(folder.path("notes.doc"), "q\n");
    auto source = OpenTextSource(folder.root());
    EXPECT_EQ(source->tableNames(), QStringList({"A.csv", "a.txt", "b.txt"}));
    auto table = source->openTable(QStringLiteral("b.txt"));
    ASSERT_TRUE(table->next());
    EXPECT_EQ(table->value(QStringLiteral("X")).toInt(), 1);
    ASSERT_TRUE(table->next());
    EXPECT_EQ(table->value(QStringLiteral("x")).toInt(), 2);
    EXPECT_FALSE(table->next());
    EXPECT_EQ(source->openTable(QStringLiteral("a.csv"))->fields().size(), 2u);
    EXPECT_TRUE(ErrorOf([&] { source->openTable(QStringLiteral("c.txt")); }).contains("c.txt"));
}

TEST(TextReader, RefusesBadInputWithAMessageNamingTheFile) {
    struct Case {
        const char* what;
        QByteArray bytes; // empty: no file at all
        QString message;  // a part of the message
        qint64 maxLine = import::kMaxValueBytes;
    };
    QByteArray wide = "f0";
    for (int i = 1; i <= import::kMaxFields; ++i)
        wide += ",f" + QByteArray::number(i);
    const Case cases[] = {
        {"stray quote", "a,b\n1,2\n3,\"open\n4,5\n",
         "the quoted value that starts on line 3 has no closing quote"},
        {"empty", QByteArray(""), "is empty"},
        {"bom only", "\xEF\xBB\xBF", "is empty"},
        {"blank lines", "\r\n\n", "is empty"},
        {"binary", QByteArray("PK\x03\x04\x00\x00\x08\x00", 8) + QByteArray(64, 'z'),
         "is not a text file"},
        {"long line", "a,b\n1,22222222\n", "the line that starts on line 2 is longer than 8 bytes",
         8},
        {"too many fields", wide + "\n", "1001 fields"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const QString path = folder.path(QStringLiteral("bad.csv"));
        Write(path, c.bytes);
        const QString message = ErrorOf([&] {
            auto source = OpenTextSource(path, c.maxLine);
            source->openTable(source->tableNames().value(0));
        });
        EXPECT_TRUE(message.contains(c.message)) << c.what << ": " << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("bad.csv")))
            << c.what << ": " << message.toStdString();
    }
    TempFolder empty;
    Write(empty.path("readme.md"), "x");
    EXPECT_TRUE(
        ErrorOf([&] { OpenTextSource(empty.root()); }).contains("holds no .csv or .txt files"));
    EXPECT_TRUE(
        ErrorOf([&] { OpenTextSource(empty.path("missing.csv")); }).contains("does not exist"));
}
