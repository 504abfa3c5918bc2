#include "import/excelreader.h"
#include "import/xlsxsheet.h"

#include "testutil.h"
#include "xlswriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>
#include <string>
#include <vector>

using import::ExcelLimits;
using import::FieldType;
using import::OpenExcelSource;
using import::SourceError;

namespace {

using Parts = std::vector<std::pair<QString, QByteArray>>;

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// Members deflated, or stored as they stand so that a test can damage their bytes.
void WriteZip(const QString& path, const Parts& parts, bool stored = false) {
    QuaZip zip(path);
    ASSERT_TRUE(zip.open(QuaZip::mdCreate));
    for (const auto& [name, data] : parts) {
        QuaZipFile f(&zip);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, stored ? 0 : 8,
                           stored ? 0 : 6));
        ASSERT_EQ(f.write(data), data.size());
        f.close();
    }
    zip.close();
}

const QByteArray kMain =
    R"( xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")"
    R"( xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";
const QByteArray kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const QByteArray kRels =
    R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";

struct Sheet {
    QString name;
    QByteArray data; // what goes inside sheetData
};

struct Book {
    std::vector<Sheet> sheets;
    QByteArray strings; // the <si> elements
    QByteArray styles;  // numFmts and cellXfs
    bool date1904 = false;
};

QByteArray Rel(int id, const QByteArray& type, const QByteArray& target) {
    return "<Relationship Id=\"rId" + QByteArray::number(id) + "\" Type=\"" + kRel + type +
           "\" Target=\"" + target + "\"/>";
}

Parts PartsOf(const Book& b) {
    Parts parts;
    parts.push_back(
        {"_rels/.rels", kRels + Rel(1, "officeDocument", "xl/workbook.xml") + "</Relationships>"});
    QByteArray workbook = "<?xml version=\"1.0\"?><workbook" + kMain + "><workbookPr" +
                          (b.date1904 ? " date1904=\"1\"" : "") + "/><sheets>";
    QByteArray rels = kRels;
    for (size_t i = 0; i < b.sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        workbook += "<sheet name=\"" + b.sheets[i].name.toUtf8() + "\" sheetId=\"" + n +
                    "\" r:id=\"rId" + n + "\"/>";
        rels += Rel(int(i) + 1, "worksheet", "worksheets/sheet" + n + ".xml");
        parts.push_back({"xl/worksheets/sheet" + n + ".xml",
                         "<?xml version=\"1.0\"?><worksheet" + kMain + "><sheetData>" +
                             b.sheets[i].data + "</sheetData></worksheet>"});
    }
    parts.push_back({"xl/workbook.xml", workbook + "</sheets></workbook>"});
    rels += Rel(100, "styles", "styles.xml") + Rel(101, "sharedStrings", "/xl/sharedStrings.xml");
    parts.push_back({"xl/_rels/workbook.xml.rels", rels + "</Relationships>"});
    parts.push_back(
        {"xl/styles.xml",
         "<styleSheet" + kMain + ">" +
             (b.styles.isEmpty() ? "<cellXfs><xf numFmtId=\"0\"/></cellXfs>" : b.styles) +
             "</styleSheet>"});
    parts.push_back({"xl/sharedStrings.xml", "<sst" + kMain + ">" + b.strings + "</sst>"});
    return parts;
}

QByteArray Row(int r, const QByteArray& cells) {
    return "<row r=\"" + QByteArray::number(r) + "\">" + cells + "</row>";
}
// A cell with a value: type "" is a number.
QByteArray C(const char* ref, const char* type, const QByteArray& v, int style = -1) {
    QByteArray c = QByteArray("<c r=\"") + ref + "\"";
    if (*type)
        c += QByteArray(" t=\"") + type + "\"";
    if (style >= 0)
        c += " s=\"" + QByteArray::number(style) + "\"";
    return c + "><v>" + v + "</v></c>";
}
QByteArray Is(const char* ref, const QString& text) {
    return QByteArray("<c r=\"") + ref + "\" t=\"inlineStr\"><is><t xml:space=\"preserve\">" +
           text.toUtf8() + "</t></is></c>";
}

std::string Shown(const QVariant& v) {
    if (v.isNull())
        return "\\N";
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? "b:true" : "b:false";
    case QMetaType::Int:
        return "i:" + v.toString().toStdString();
    case QMetaType::Double:
        return "d:" +
               QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest).toStdString();
    case QMetaType::QDateTime: {
        const QDateTime t = v.toDateTime();
        return "t:" + t.toString(u"yyyy-MM-dd HH:mm:ss.zzz").toStdString() +
               (t.timeSpec() == Qt::UTC ? "Z" : "?");
    }
    case QMetaType::QString:
        return "s:" + v.toString().toStdString();
    default:
        return std::string("?") + v.typeName();
    }
}

std::string TypeName(FieldType t) {
    switch (t) {
    case FieldType::Boolean:
        return "Boolean";
    case FieldType::Long:
        return "Long";
    case FieldType::Double:
        return "Double";
    case FieldType::Date:
        return "Date";
    case FieldType::Text:
        return "Text";
    case FieldType::Memo:
        return "Memo";
    default:
        return "?";
    }
}

// A table as text: fields "Name:Type" (Text with its size), rows with cells joined by '|'.
struct Read {
    std::vector<std::string> fields;
    std::vector<std::string> rows;
};

Read ReadTable(import::Source& source, const QString& name) {
    auto table = source.openTable(name);
    Read r;
    for (const auto& f : table->fields())
        r.fields.push_back(f.name.toStdString() + ":" + TypeName(f.type) +
                           (f.type == FieldType::Text ? std::to_string(f.size) : ""));
    while (table->next()) {
        std::string row;
        for (int i = 0; i < int(table->fields().size()); ++i)
            row += (i ? "|" : "") + Shown(table->value(i));
        r.rows.push_back(row);
    }
    EXPECT_FALSE(table->next());
    return r;
}

std::vector<std::string> Names(const import::Source& source) {
    std::vector<std::string> names;
    for (const QString& n : source.tableNames())
        names.push_back(n.toStdString());
    return names;
}

// Writes the book and reads its one sheet.
Read ReadBook(const Book& book) {
    TempFolder folder;
    const QString path = folder.path("book.xlsx");
    WriteZip(path, PartsOf(book));
    auto source = OpenExcelSource(path);
    EXPECT_EQ(source->tableNames().size(), 1);
    return ReadTable(*source, source->tableNames().value(0));
}

TEST(ExcelReader, XlsxValuesOfEveryKindLetterForLetter) {
    Book book;
    book.strings = "<si><t>Name</t></si><si><t>Note</t></si>"
                   "<si><r><t>Crème </t></r><r><rPr><b/></rPr><t>brûlée</t></r>"
                   "<rPh sb=\"0\" eb=\"1\"><t>ignored</t></rPh></si>";
    book.sheets.push_back(
        {"Sheet1",
         Row(1, C("A1", "s", "0") + C("B1", "s", "1") + Is("C1", "Flag") + Is("D1", "Qty")) +
             // Inline text, a formula's text result, a boolean, a number.
             Row(2, Is("A2", "Ærøskøbing") +
                        "<c r=\"B2\" t=\"str\"><f>A2&amp;\"!\"</f><v>x!</v></c>" +
                        C("C2", "b", "1") + C("D2", "", "16")) +
             // A gap (no B), an error value, cells without references after D.
             Row(3, C("A3", "s", "2") + C("C3", "e", "#N/A") + C("D3", "", "17")) +
             Row(4, "") + // empty rows are left out
             Row(5, Is("A5", "  padded  ") + "<c t=\"s\"><v>1</v></c><c t=\"b\"><v>0</v></c>")});
    const Read r = ReadBook(book);
    EXPECT_EQ(r.fields,
              (std::vector<std::string>{"Name:Text12", "Note:Text4", "Flag:Boolean", "Qty:Long"}));
    EXPECT_EQ(r.rows, (std::vector<std::string>{"s:Ærøskøbing|s:x!|b:true|i:16",
                                                "s:Crème brûlée|\\N|\\N|i:17",
                                                "s:  padded  |s:Note|b:false|\\N"}));
}

TEST(ExcelReader, FieldTypesComeFromTheValues) {
    Book book;
    const QString longText(256, u'é');
    book.styles = "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/></cellXfs>";
    book.sheets.push_back(
        {"S",
         Row(1, Is("A1", "Bool") + Is("B1", "Long") + Is("C1", "Big") + Is("D1", "Dbl") +
                    Is("E1", "Mixed") + Is("F1", "BoolNum") + Is("G1", "Memo") + Is("H1", "Day") +
                    Is("I1", "None") + Is("J1", "EmptyNum") + Is("K1", "EmptyText")) +
             Row(2, C("A2", "b", "1") + C("B2", "", "1") + C("C2", "", "1") + C("D2", "", "1") +
                        C("E2", "", "1") + C("F2", "b", "1") + Is("G2", "short") +
                        C("H2", "", "44197", 1) + Is("J2", "") + Is("K2", "abc")) +
             Row(3, C("A3", "b", "0") + C("B3", "", "-2147483648") + C("C3", "", "2147483648") +
                        C("D3", "", "15E-1") + Is("E3", "x") + C("F3", "", "2.5") +
                        Is("G3", longText) + C("H3", "", "44198.25", 1) + C("J3", "", "5") +
                        Is("K3", ""))});
    const Read r = ReadBook(book);
    EXPECT_EQ(r.fields,
              (std::vector<std::string>{"Bool:Boolean", "Long:Long", "Big:Double", "Dbl:Double",
                                        "Mixed:Text1", "BoolNum:Text4", "Memo:Memo", "Day:Date",
                                        "None:Text1", "EmptyNum:Long", "EmptyText:Text3"}));
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0], "b:true|i:1|d:1|d:1|s:1|s:TRUE|s:short|t:2021-01-01 00:00:00.000Z|\\N|"
                         "\\N|s:abc");
    EXPECT_EQ(r.rows[1], "b:false|i:-2147483648|d:2147483648|d:1.5|s:x|s:2.5|s:" +
                             longText.toStdString() + "|t:2021-01-02 06:00:00.000Z|\\N|i:5|s:");
}

TEST(ExcelReader, FieldNamesAndTheUsedRange) {
    Book book;
    // Names start in row 2, column B; a later value in column A widens the table.
    book.sheets.push_back({"S", Row(2, Is("B2", "Price") + Is("C2", " ") + Is("D2", "price") +
                                           C("E2", "", "2021") + Is("F2", "Price")) +
                                    Row(4, Is("A4", "a") + C("F4", "", "1"))});
    const Read r = ReadBook(book);
    EXPECT_EQ(r.fields, (std::vector<std::string>{"Field1:Text1", "Price:Text1", "Field3:Text1",
                                                  "price_1:Text1", "2021:Text1", "Price_2:Long"}));
    EXPECT_EQ(r.rows, (std::vector<std::string>{"s:a|\\N|\\N|\\N|\\N|i:1"}));
}

TEST(ExcelReader, DatesByNumberFormatAndDateSystem) {
    struct Case {
        const char* format; // a custom format, or "" for the built-in id
        int builtIn;
        bool date;
    };
    const std::vector<Case> cases = {
        {"yyyy\\-mm\\-dd", 0, true},
        {"[h]:mm", 0, true},
        {"d/m/yy h:mm", 0, true},
        {"mmm-yy", 0, true},
        {"0.00", 0, false},
        {"#,##0 &quot;days&quot;", 0, false},
        {"[Red]0.0", 0, false},
        {"[$-409]General", 0, false},
        {"0\\d", 0, false},
        {"0_h", 0, false},
        {"", 14, true},
        {"", 22, true},
        {"", 45, true},
        {"", 47, true},
        {"", 1, false},
        {"", 44, false},
        {"", 49, false},
    };
    QByteArray formats = "<numFmts>", xfs = "<cellXfs>", header, values;
    for (size_t i = 0; i < cases.size(); ++i) {
        const int id = cases[i].builtIn ? cases[i].builtIn : 164 + int(i);
        if (!cases[i].builtIn)
            formats += "<numFmt numFmtId=\"" + QByteArray::number(id) + "\" formatCode=\"" +
                       cases[i].format + "\"/>";
        xfs += "<xf numFmtId=\"" + QByteArray::number(id) + "\"/>";
        const QByteArray col(1, char('A' + i));
        header += Is((col + "1").constData(), QStringLiteral("c%1").arg(i));
        values += C((col + "2").constData(), "", "44197.5", int(i));
    }
    Book book;
    // A differential format's numFmt is not a cell format's.
    book.styles = formats +
                  "</numFmts><dxfs><dxf><numFmt numFmtId=\"165\" formatCode=\"0\"/>"
                  "</dxf></dxfs><cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs>" +
                  xfs + "</cellXfs>";
    book.sheets.push_back({"S", Row(1, header) + Row(2, values)});
    const Read r = ReadBook(book);
    ASSERT_EQ(r.fields.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(r.fields[i],
                  QStringLiteral("c%1:").arg(i).toStdString() + (cases[i].date ? "Date" : "Double"))
            << cases[i].format << cases[i].builtIn;
    EXPECT_EQ(r.rows[0].substr(0, 25), "t:2021-01-01 12:00:00.000");

    // The 1900 system's days around its false 29 February, a time alone; the 1904 system.
    const QByteArray styles = "<cellXfs><xf numFmtId=\"22\"/></cellXfs>";
    const std::vector<std::pair<const char*, const char*>> serials1900 = {
        {"0.5", "1899-12-30 12:00:00"},
        {"1", "1900-01-01 00:00:00"},
        {"59", "1900-02-28 00:00:00"},
        {"61", "1900-03-01 00:00:00"},
        {"44197.75", "2021-01-01 18:00:00"}};
    const std::vector<std::pair<const char*, const char*>> serials1904 = {
        {"0", "1904-01-01 00:00:00"},
        {"1", "1904-01-02 00:00:00"},
        {"42735", "2021-01-01 00:00:00"}};
    for (const bool is1904 : {false, true}) {
        const auto& serials = is1904 ? serials1904 : serials1900;
        QByteArray rows = Row(1, Is("A1", "When"));
        std::vector<std::string> expected;
        for (size_t i = 0; i < serials.size(); ++i) {
            rows += Row(int(i) + 2, C("A", "", serials[i].first, 0));
            expected.push_back(std::string("t:") + serials[i].second + ".000Z");
        }
        Book b;
        b.date1904 = is1904;
        b.styles = styles;
        b.sheets.push_back({"S", rows});
        EXPECT_EQ(ReadBook(b).rows, expected) << is1904;
    }
}

TEST(ExcelReader, SheetsInWorkbookOrderWithoutChartsOrEmptySheets) {
    TempFolder folder;
    Book book;
    book.sheets.push_back({"Zeta", Row(1, Is("A1", "Z")) + Row(2, C("A2", "", "1"))});
    book.sheets.push_back({"Vide", ""});
    book.sheets.push_back({"Prix été", Row(1, Is("A1", "P")) + Row(2, C("A2", "", "2.5"))});
    Parts parts = PartsOf(book);
    // A chart sheet listed first: its relation is not a worksheet's.
    for (auto& [name, data] : parts) {
        if (name == "xl/workbook.xml")
            data.replace("<sheets>", "<sheets><sheet name=\"Chart\" sheetId=\"9\" r:id=\"rId9\"/>");
        if (name == "xl/_rels/workbook.xml.rels")
            data.replace("</Relationships>",
                         Rel(9, "chartsheet", "chartsheets/sheet1.xml") + "</Relationships>");
    }
    const QString path = folder.path("book.xlsx");
    WriteZip(path, parts);
    auto source = OpenExcelSource(path);
    EXPECT_EQ(Names(*source), (std::vector<std::string>{"Zeta", "Prix été"}));
    EXPECT_EQ(ReadTable(*source, "prix ÉTÉ").rows, (std::vector<std::string>{"d:2.5"}));
    EXPECT_THROW(source->openTable("Vide"), SourceError);

    // The content tells the kind, not the extension.
    QFile::copy(path, folder.path("renamed.xls"));
    EXPECT_EQ(Names(*OpenExcelSource(folder.path("renamed.xls"))), Names(*source));
}

TEST(ExcelReader, FolderGivesEveryWorkbooksSheets) {
    TempFolder folder;
    Book a;
    a.sheets.push_back({"Sheet1", Row(1, Is("A1", "N")) + Row(2, Is("A2", "un"))});
    a.sheets.push_back({"Prix", Row(1, Is("A1", "P")) + Row(2, C("A2", "", "3"))});
    WriteZip(folder.path("a.xlsx"), PartsOf(a));
    Book b;
    b.sheets.push_back({"Sheet1", Row(1, Is("A1", "M")) + Row(2, Is("A2", "deux"))});
    WriteZip(folder.path("B.xlsx"), PartsOf(b));
    Write(folder.path("~$a.xlsx"), "lock"); // Excel's lock file beside an open workbook
    Write(folder.path("notes.txt"), "not a workbook");
    auto source = OpenExcelSource(folder.root());
    EXPECT_EQ(Names(*source),
              (std::vector<std::string>{"a.xlsx:Sheet1", "a.xlsx:Prix", "B.xlsx:Sheet1"}));
    EXPECT_EQ(ReadTable(*source, "B.xlsx:Sheet1").rows, (std::vector<std::string>{"s:deux"}));
    EXPECT_EQ(ReadTable(*source, "a.xlsx:Prix").rows, (std::vector<std::string>{"i:3"}));

    // One damaged workbook is named rather than skipped.
    Write(folder.path("c.xlsx"), "PK\x03\x04 cut short");
    try {
        OpenExcelSource(folder.root());
        ADD_FAILURE() << "no error";
    } catch (const SourceError& e) {
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(folder.path("c.xlsx"))))
            << e.message().toStdString();
    }
}

// ---- Bad input

QByteArray ValidXlsx() {
    TempFolder folder;
    Book book;
    book.strings = "<si><t>Name</t></si>";
    book.sheets.push_back({"S", Row(1, C("A1", "s", "0")) + Row(2, C("A2", "", "1"))});
    WriteZip(folder.path("v.xlsx"), PartsOf(book));
    return ReadBytes(folder.path("v.xlsx"));
}

// The book with one part replaced (an empty text removes it).
Parts Changed(const Book& book, const QString& part, const QByteArray& data) {
    Parts parts;
    for (const auto& p : PartsOf(book))
        if (p.first != part)
            parts.push_back(p);
        else if (!data.isEmpty())
            parts.push_back({part, data});
    return parts;
}

TEST(ExcelReader, BadInputIsAClearErrorNamingTheFile) {
    Book ok;
    ok.strings = "<si><t>Name</t></si>";
    ok.sheets.push_back({"S", Row(1, C("A1", "s", "0")) + Row(2, C("A2", "", "7"))});
    const QByteArray laughs = R"(<?xml version="1.0"?><!DOCTYPE w [<!ENTITY a "aaaaaaaaaaaaaaaa">)"
                              R"(<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">)"
                              R"(<!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">)"
                              R"(<!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">)"
                              R"(]><workbook><sheets><sheet name="&d;"/></sheets></workbook>)";
    Book wide = ok;
    wide.sheets[0].data = Row(1, Is("A1", "a") + Is("ALM1", "b"));
    Book bomb = ok;
    bomb.sheets[0].data += QByteArray(3 << 20, ' ');
    Book twoHalves = ok;
    twoHalves.strings += "<si><t>" + QByteArray(400 << 10, 'x') + "</t></si>";
    twoHalves.sheets[0].data += QByteArray(700 << 10, ' ');
    const ExcelLimits onePart{1 << 20, 8 << 20}, together{1 << 20, 1 << 20};

    struct Case {
        const char* label;
        std::function<void(const QString& path)> make;
        const char* expected;
        ExcelLimits limits = {};
    };
    const std::vector<Case> cases = {
        {"empty file", [](const QString& p) { Write(p, ""); }, "is empty"},
        {"text named .xlsx", [](const QString& p) { Write(p, "a;b\n1;2\n"); },
         "is not an Excel workbook"},
        {"Excel 4 worksheet", [](const QString& p) { Write(p, QByteArray("\x09\x04\x06\x00", 4)); },
         "Excel 4.0 or older"},
        {"cut short", [](const QString& p) { Write(p, ValidXlsx().left(ValidXlsx().size() / 2)); },
         "zip archive is damaged"},
        {"zip of something else",
         [](const QString& p) {
             WriteZip(p, {{"word/document.xml", "<document/>"}});
         },
         "not an Excel workbook"},
        {"other office document",
         [](const QString& p) {
             WriteZip(p, {{"_rels/.rels", kRels + Rel(1, "officeDocument", "word/document.xml") +
                                              "</Relationships>"},
                          {"word/document.xml", "<document/>"}});
         },
         "not an Excel workbook"},
        {"malformed workbook",
         [&](const QString& p) {
             WriteZip(p, Changed(ok, "xl/workbook.xml", "<workbook><sheets><sheet"));
         },
         "is not well-formed XML"},
        {"malformed sheet",
         [&](const QString& p) {
             Book b = ok;
             b.sheets[0].data += "<row r=\"3\"><c r=\"A3\"><v>1</v></c></rov>";
             WriteZip(p, PartsOf(b));
         },
         "is not well-formed XML"},
        {"sheet part missing",
         [&](const QString& p) { WriteZip(p, Changed(ok, "xl/worksheets/sheet1.xml", "")); },
         "\"xl/worksheets/sheet1.xml\" is missing"},
        {"relations missing",
         [&](const QString& p) { WriteZip(p, Changed(ok, "xl/_rels/workbook.xml.rels", "")); },
         "\"xl/_rels/workbook.xml.rels\" is missing"},
        {"shared text missing",
         [&](const QString& p) {
             Book b = ok;
             b.sheets[0].data += Row(3, C("B3", "s", "5"));
             WriteZip(p, PartsOf(b));
         },
         "the cell B3 of the sheet \"S\" refers to a shared text that does not exist"},
        {"entity expansion",
         [&](const QString& p) { WriteZip(p, Changed(ok, "xl/workbook.xml", laughs)); },
         "is not well-formed XML"},
        {"cell reference past the last column",
         [&](const QString& p) {
             Book b = ok;
             b.sheets[0].data += Row(3, C("XFE3", "", "1"));
             WriteZip(p, PartsOf(b));
         },
         "\"XFE3\" names no cell"},
        {"too many columns", [&](const QString& p) { WriteZip(p, PartsOf(wide)); },
         "spans 1001 columns; at most 1000"},
        {"no sheet with data",
         [&](const QString& p) {
             Book b = ok;
             b.sheets[0].data = Row(1, "<c r=\"A1\" s=\"0\"/>");
             WriteZip(p, PartsOf(b));
         },
         "holds no sheet with data"},
        {"zip bomb in a part", [&](const QString& p) { WriteZip(p, PartsOf(bomb)); },
         "its part \"xl/worksheets/sheet1.xml\" unpacks to more than 1 MB", onePart},
        {"zip bomb over parts", [&](const QString& p) { WriteZip(p, PartsOf(twoHalves)); },
         "its parts unpack to more than 1 MB together", together},
        {"checksum wrong",
         [&](const QString& p) {
             WriteZip(p, PartsOf(ok), true);
             QByteArray bytes = ReadBytes(p);
             const qsizetype at = bytes.indexOf("<v>7</v>");
             ASSERT_GT(at, 0);
             bytes[at + 3] = '8';
             Write(p, bytes);
         },
         "its part \"xl/worksheets/sheet1.xml\" cannot be unpacked"},
        {"damaged .xls",
         [](const QString& p) {
             Write(p, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\0'));
         },
         "is damaged:"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const QString path = folder.path("bad.xlsx");
        c.make(path);
        try {
            auto source = OpenExcelSource(path, c.limits);
            for (const QString& name : source->tableNames())
                ReadTable(*source, name);
            ADD_FAILURE() << c.label << ": no error";
        } catch (const SourceError& e) {
            const QString m = e.message();
            EXPECT_TRUE(m.contains(QDir::toNativeSeparators(path)))
                << c.label << ": " << m.toStdString();
            EXPECT_TRUE(m.contains(QString::fromUtf8(c.expected)))
                << c.label << ": " << m.toStdString();
        }
    }

    TempFolder folder;
    Write(folder.path("notes.txt"), "x");
    for (const QString& path : {folder.root(), folder.path("missing.xlsx")}) {
        try {
            OpenExcelSource(path);
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const SourceError& e) {
            EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path)))
                << e.message().toStdString();
        }
    }
}

// ---- The worksheet's own XML parser

using import::xlsx::XmlError;
using import::xlsx::XmlPull;

// The elements and collected texts of a document as "<name a=v>", "text", "</name>", parsed
// from a source that gives chunk bytes at a time; or "error: what" / "too long".
std::string Parse(const QByteArray& xml, qint64 chunk, const char* attribute = "a",
                  size_t limit = 1 << 20) {
    qint64 at = 0;
    XmlPull pull(
        [&](char* data, qint64 size) {
            const qint64 n = std::min({size, chunk, qint64(xml.size()) - at});
            std::memcpy(data, xml.constData() + at, size_t(n));
            at += n;
            return n;
        },
        limit);
    std::string out, text;
    try {
        for (XmlPull::Token t; (t = pull.next()) != XmlPull::Token::EndOfDocument;) {
            if (t == XmlPull::Token::End) {
                out += "</" + std::string(pull.name()) + ">";
                continue;
            }
            out += "<" + std::string(pull.name());
            if (!pull.attribute(attribute).empty())
                out += " " + std::string(attribute) + "=" + std::string(pull.attribute(attribute));
            out += ">";
            if (pull.name() == "t") {
                pull.text(text);
                out += "[" + text + "]</t>";
            } else if (pull.name() == "skip") {
                pull.skip();
                out += "</skip>";
            }
        }
    } catch (const XmlError& e) {
        return e.kind == XmlError::TooLong
                   ? "too long"
                   : "error: " + e.what.toStdString() + " @" + std::to_string(e.line);
    }
    return out;
}

TEST(XlsxSheetParser, ElementsAttributesAndTextsWhateverTheChunks) {
    struct Case {
        const char* xml;
        const char* expected;
    };
    const Case cases[] = {
        {"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w><x:row a=\"1\"/></w>",
         "<w><row a=1></row></w>"},
        {"\xEF\xBB\xBF<w a='q&amp;&#65;&#x42;'><t>&lt;&gt;&quot;&apos;&amp;&#233;&#x20AC;</t></w>",
         "<w a=q&AB><t>[<>\"'&\xC3\xA9\xE2\x82\xAC]</t></w>"},
        {"<w><t xml:space=\"preserve\"> a\r\nb\rc <x>in</x><!-- no --><?pi "
         "x?><![CDATA[<&]]]]></t></w>",
         "<w><t>[ a\nb\nc in<&]]]</t></w>"},
        {"<w><skip><a><b/>text &amp; more</a></skip><t/></w>", "<w><skip></skip><t>[]</t></w>"},
        {"<w a=\"x\ty\"/>", "<w a=x y></w>"},
        {"<w>&#1114111;</w>", "<w></w>"},
        // Malformed: each says what is wrong, and where.
        {"<w><row></rov></w>", "error: an end tag does not match its start tag @1"},
        {"<w>\n<row>", "error: the part ends before all its elements are closed @2"},
        {"<w/><w/>", "error: a second element follows the document's element @1"},
        {"<w/>x", "error: text lies outside the document's element @1"},
        {"", "error: the part holds no element @1"},
        {"<!DOCTYPE w [<!ENTITY a \"b\">]><w>&a;</w>",
         "error: a document type declaration, which a workbook part never holds @1"},
        {"<w>&a;</w>", "error: a reference to an entity that is not declared @1"},
        {"<w>&amp</w>", "error: a reference is not closed by ';' @1"},
        {"<w>&#0;</w>", "error: a character reference names a character XML does not allow @1"},
        {"<w>&#xD800;</w>", "error: a character reference names a character XML does not allow @1"},
        {"<w>&#99999999999;</w>", "error: a character reference names no character @1"},
        {"<w>&#999999999999;</w>", "error: a reference is not closed by ';' @1"},
        {"<w>&#x110000;</w>", "error: a character reference names no character @1"},
        {"<w>&#;</w>", "error: a character reference has no digits @1"},
        {"<w>&#1a;</w>", "error: a character reference holds a character that is not a digit @1"},
        {"<w a=1/>", "error: an attribute's value is not in quotes @1"},
        {"<w a=\"<\"/>", "error: an attribute's value holds '<' @1"},
        {"<w a=\"1\"b=\"2\"/>", "error: a tag's attributes are not separated by blanks @1"},
        {"<w a/>", "error: an attribute has no value @1"},
        {"<w><1/></w>", "error: a tag has no valid name @1"},
        {"<w></w >x", "error: text lies outside the document's element @1"},
        {"<w><!-- open", "error: the part ends inside a comment @1"},
        {"<w><![CDATA[x", "error: the part ends inside a CDATA section @1"},
        {"<w><![CDAT[x]]></w>", "error: unknown markup starts with \"<![\" @1"},
        {"<w/><?xml version=\"1.0\"?>",
         "error: the XML declaration is not at the start of the part @1"},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><w/>",
         "error: the part is not in UTF-8 @1"},
        {"\xFF\xFE<", "error: the part is not in UTF-8 @1"},
        {"<w", "error: the part ends inside a tag @1"},
    };
    for (const Case& c : cases)
        for (const qint64 chunk : {qint64(1), qint64(3), qint64(1 << 16)})
            EXPECT_EQ(Parse(c.xml, chunk), c.expected) << c.xml << " in chunks of " << chunk;
}

TEST(XlsxSheetParser, EveryCeilingHolds) {
    const QByteArray deep = QByteArray("<a>").repeated(int(XmlPull::kMaxDepth) + 1);
    const QByteArray longName = "<" + QByteArray(int(XmlPull::kMaxName) + 1, 'n') + "/>";
    QByteArray manyAttributes = "<w";
    for (size_t i = 0; i <= XmlPull::kMaxAttributes; ++i)
        manyAttributes += " a" + QByteArray::number(qulonglong(i)) + "=\"\"";
    manyAttributes += "/>";
    const QByteArray longValue =
        "<w a=\"" + QByteArray(int(XmlPull::kMaxAttributeValue) + 1, 'v') + "\"/>";
    EXPECT_EQ(Parse(deep, 1 << 16), "error: elements are nested too deeply @1");
    EXPECT_EQ(Parse(longName, 1 << 16), "error: a name is too long @1");
    EXPECT_EQ(Parse(manyAttributes, 1 << 16), "error: an element has too many attributes @1");
    EXPECT_EQ(Parse(longValue, 1 << 16), "error: an attribute's value is too long @1");
    EXPECT_EQ(Parse("<w><t>0123456789</t></w>", 4, "a", 10), "<w><t>[0123456789]</t></w>");
    EXPECT_EQ(Parse("<w><t>0123456789a</t></w>", 4, "a", 10), "too long");
    EXPECT_EQ(Parse("<w><t>01234567&amp;9</t></w>", 4, "a", 10), "<w><t>[01234567&9]</t></w>");
    EXPECT_EQ(Parse("<w><t>012345678<![CDATA[9a]]></t></w>", 4, "a", 10), "too long");
}

// The reader over sheets written as other programs write them: prefixed names, references,
// line ends inside texts, and bytes that are not UTF-8.
TEST(ExcelReader, XlsxSheetXmlAsOtherProgramsWriteIt) {
    Book book;
    book.sheets.push_back(
        {"S", Row(1, Is("A1", "Name") + Is("B1", "Qty")) +
                  Row(2, "<c r=\"A2\" t=\"inlineStr\"><is><t>Fish &amp; chips &#x2014; "
                         "&#233;t&#xE9;</t></is></c><c r=\"B2\"><v> 12 </v></c>") +
                  Row(3, "<c r=\"A3\" t=\"inlineStr\"><is><r><t>two\r\n</t></r><r><t>lines"
                         "</t></r></is></c><c r=\"B3\"><v>+3</v></c>")});
    // The same sheet with its elements in a prefixed namespace.
    Book prefixed = book;
    prefixed.sheets[0].data.replace("<", "<x:").replace("<x:/", "</x:");
    for (const Book& b : {book, prefixed}) {
        const Read r = ReadBook(b);
        EXPECT_EQ(r.fields, (std::vector<std::string>{"Name:Text18", "Qty:Long"}));
        EXPECT_EQ(r.rows,
                  (std::vector<std::string>{"s:Fish & chips — été|i:12", "s:two\nlines|i:3"}));
    }

    Book broken = book;
    broken.sheets[0].data +=
        Row(4, Is("A4", QString()).replace("<t xml:space=\"preserve\">", "<t>\xC3("));
    TempFolder folder;
    const QString path = folder.path("bad.xlsx");
    WriteZip(path, PartsOf(broken));
    try {
        auto source = OpenExcelSource(path);
        ReadTable(*source, source->tableNames().value(0));
        ADD_FAILURE() << "no error";
    } catch (const SourceError& e) {
        EXPECT_TRUE(e.message().contains(
            QStringLiteral("its part \"xl/worksheets/sheet1.xml\" is not well-formed XML (a text "
                           "is not valid UTF-8, line 2)")))
            << e.message().toStdString();
    }
}

// ---- The sample workbooks of other projects, when they are there

struct SampleTable {
    const char* name;
    std::vector<std::string> fields;
    std::vector<std::string> rows;
};

void CheckSample(const QString& path, const std::vector<SampleTable>& expected) {
    SCOPED_TRACE(path.toStdString());
    auto source = OpenExcelSource(path);
    std::vector<std::string> names;
    for (const SampleTable& t : expected)
        names.push_back(t.name);
    ASSERT_EQ(Names(*source), names);
    for (const SampleTable& t : expected) {
        const Read r = ReadTable(*source, QString::fromUtf8(t.name));
        EXPECT_EQ(r.fields, t.fields) << t.name;
        EXPECT_EQ(r.rows, t.rows) << t.name;
    }
}

const char* kAnySheetsNote =
    "s:This workbook contains 4 sheets: Visible, Hidden, VeryHidden and Chart";

// Writes an .xls and checks its tables.
void CheckXls(const QByteArray& bytes, const std::vector<SampleTable>& expected) {
    TempFolder folder;
    Write(folder.path("book.xls"), bytes);
    CheckSample(folder.path("book.xls"), expected);
}

QByteArray Utf16Bytes(const QString& text) {
    QByteArray out;
    for (const QChar c : text)
        out += xlswriter::Le16(c.unicode());
    return out;
}

TEST(ExcelReader, XlsRecordKindsAndFileLayouts) {
    using namespace xlswriter;
    // Values of every kind as a spreadsheet program writes them, in both date systems; an empty
    // sheet is no table.
    const QDate day(2024, 1, 31);
    const QDateTime when(day, QTime(10, 20, 30), Qt::UTC);
    const std::vector<xlswriter::Sheet> written = {
        {"Prices",
         {{"Code", "Prix €", "Qty", "Ok", "Day", "When"},
          {"Crème brûlée", 12.5, 3, true, day, when},
          {"Ærøskøbing", -0.25, 4, false, day.addDays(1), when.addSecs(-36000)},
          {"Crème brûlée", QVariant(), QVariant(), QVariant(), QVariant(), QVariant()}}},
        {"Été", {{"N"}, {1}, {2}}},
        {"Empty", {}}};
    const std::vector<SampleTable> writtenTables = {
        {"Prices",
         {"Code:Text12", "Prix €:Double", "Qty:Long", "Ok:Boolean", "Day:Date", "When:Date"},
         {"s:Crème brûlée|d:12.5|i:3|b:true|t:2024-01-31 00:00:00.000Z|t:2024-01-31 10:20:30.000Z",
          "s:Ærøskøbing|d:-0.25|i:4|b:false|t:2024-02-01 00:00:00.000Z|t:2024-01-31 00:20:30.000Z",
          "s:Crème brûlée|\\N|\\N|\\N|\\N|\\N"}},
        {"Été", {"N:Long"}, {"i:1", "i:2"}}};
    // Over 8224 bytes of strings: the written table goes on in CONTINUE records.
    std::vector<std::vector<QVariant>> pates{{"Name"}};
    SampleTable pateTable = {"S", {"Name:Text11"}, {}};
    for (int r = 0; r < 1500; ++r) {
        pates.push_back({QStringLiteral("Pâté n°%1").arg(r)});
        pateTable.rows.push_back("s:" + pates.back()[0].toString().toStdString());
    }

    const auto header = [](std::initializer_list<const char*> names) {
        QByteArray out;
        int c = 0;
        for (const char* n : names)
            out += Label(0, c++, QString::fromUtf8(n));
        return out;
    };
    // Shared strings over three records: a text whose characters go on, 16-bit, in the next
    // record after a flags byte of their own; a text with formatting runs and phonetic data,
    // the latter split over two records; a 16-bit text.
    const QByteArray sst =
        Record(0x00FC, Le32(3) + Le32(3) + Le16(12) + '\0' + QByteArray("Cr\xE8me ")) +
        Record(0x003C, '\x01' + Utf16Bytes(QStringLiteral("brûlée")) + Le16(3) + '\x0C' + Le16(2) +
                           Le32(6) + QByteArray("\xC9t\xE9") + QByteArray(8, '\x01') +
                           QByteArray(3, '\x02')) +
        Record(0x003C, QByteArray(3, '\x02') + Le16(1) + '\x01' + Le16(0x03A9));
    const QByteArray sstCells = header({"Text"}) + Record(0x00FD, At(1, 0) + Le32(0)) +
                                Record(0x00FD, At(2, 0) + Le32(1)) +
                                Record(0x00FD, At(3, 0) + Le32(2));
    const QByteArray numbersBook =
        RawBiff({{"S", header({"N"}) + Rk(1, 0, RkInt(-7)) + Rk(2, 0, RkInt(1234, true)) +
                           Rk(3, 0, RkDouble(2.5)) + Record(0x0203, At(4, 0) + LeDouble(1e10))}});
    const SampleTable numbers = {"S", {"N:Double"}, {"d:-7", "d:12.34", "d:2.5", "d:1e+10"}};
    // A chart inside the sheet, and a chart sheet, hold no table's values.
    const QByteArray chart = Record(0x0809, Le16(0x0600) + Le16(0x0020) + QByteArray(12, '\0')) +
                             Rk(7, 0, RkInt(99)) + Record(0x000A, {});
    const QByteArray cp1251 = RawBiff(
        {{QString::fromLatin1("\xCB\xE8\xF1\xF2"),
          Record(0x0204, At(0, 0) + Le16(3) + QByteArray("\xC8\xEC\xFF")) +
              Record(0x0204, At(1, 0) + Le16(6) + QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2")) +
              Formula(2, 0, FormulaValue(0)) + String(QString::fromLatin1("\xE4\xE0"), true)}},
        true, {}, 1251);
    const struct Case {
        const char* name;
        QByteArray file;
        std::vector<SampleTable> tables;
    } cases[] = {
        {"written, 1900 dates", Workbook(written, false), writtenTables},
        {"written, 1904 dates", Workbook(written, true), writtenTables},
        {"written shared strings over CONTINUE", Workbook({{"S", pates}}), {pateTable}},
        {"shared strings over CONTINUE",
         Compound(RawBiff({{"S", sstCells}}, false, sst)),
         {{"S", {"Text:Text12"}, {"s:Crème brûlée", "s:Été", "s:Ω"}}}},
        {"RK and NUMBER", Compound(numbersBook), {numbers}},
        {"MULRK, BLANK, MULBLANK",
         Compound(RawBiff(
             {{"S", header({"A", "B", "C"}) + MulRk(1, 0, {RkInt(1), RkInt(2), RkInt(3)}) +
                        Record(0x00BE, Le16(2) + Le16(0) + Le16(0) + Le16(0) + Le16(0) + Le16(2)) +
                        Record(0x0201, At(3, 1)) + Rk(3, 2, RkInt(9))}})),
         {{"S", {"A:Long", "B:Long", "C:Long"}, {"i:1|i:2|i:3", "\\N|\\N|i:9"}}}},
        {"FORMULA values, STRING after a shared formula",
         Compound(RawBiff(
             {{"S", header({"F", "K"}) + Formula(1, 0, LeDouble(2.5)) + Rk(1, 1, RkInt(1)) +
                        Formula(2, 0, FormulaValue(0)) + Record(0x04BC, QByteArray(10, '\0')) +
                        String(QStringLiteral("Crème brûlée")) + Rk(2, 1, RkInt(2)) +
                        Formula(3, 0, FormulaValue(1, 1)) + Rk(3, 1, RkInt(3)) +
                        Formula(4, 0, FormulaValue(2, 7)) + Rk(4, 1, RkInt(4)) +
                        Formula(5, 0, FormulaValue(3)) + Rk(5, 1, RkInt(5))}})),
         {{"S",
           {"F:Text12", "K:Long"},
           {"s:2.5|i:1", "s:Crème brûlée|i:2", "s:TRUE|i:3", "\\N|i:4", "s:|i:5"}}}},
        {"LABEL, RSTRING, BOOLERR",
         Compound(
             RawBiff({{"S", header({"L", "B"}) + Label(1, 0, QStringLiteral("Ω €")) +
                                Record(0x0205, At(1, 1) + '\x01' + '\0') +
                                Record(0x00D6, At(2, 0) + Text16(QStringLiteral("ruñ"), false) +
                                                   Le16(1) + Le32(0)) +
                                Record(0x0205, At(2, 1) + '\x2A' + '\x01')}})),
         {{"S", {"L:Text3", "B:Boolean"}, {"s:Ω €|b:true", "s:ruñ|\\N"}}}},
        {"dates by the cell's number format",
         Compound(RawBiff({{"S", header({"D"}) + Record(0x0203, At(1, 0, 1) + LeDouble(45322)) +
                                     Record(0x027E, At(2, 0, 1) + Le32(RkInt(45323)))}})),
         {{"S", {"D:Date"}, {"t:2024-01-31 00:00:00.000Z", "t:2024-02-01 00:00:00.000Z"}}}},
        {"cells out of order, given twice, charts left out",
         Compound(RawBiff({{"S", Rk(2, 0, RkInt(2)) + header({"N"}) + Rk(1, 0, RkInt(1)) + chart +
                                     Rk(1, 0, RkInt(5))},
                           {"Chart1", Rk(0, 0, RkInt(1)), 2}})),
         {{"S", {"N:Long"}, {"i:5", "i:2"}}}},
        {"Excel 5.0 in code page 1251",
         Compound(cp1251, {9, false, 109, QStringLiteral("Book")}),
         {{"Лист", {"Имя:Text6"}, {"s:Привет", "s:да"}}}},
        {"4096-byte sectors", Compound(numbersBook, {12}), {numbers}},
        {"mini stream", Compound(numbersBook, {9, true}), {numbers}},
        {"mini stream in 4096-byte sectors", Compound(numbersBook, {12, true}), {numbers}},
        {"FAT listed in a DIFAT sector", Compound(numbersBook, {9, false, 0}), {numbers}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CheckXls(c.file, c.tables);
    }
}

TEST(ExcelReader, XlsBadInputIsAClearErrorNamingTheFile) {
    using namespace xlswriter;
    // Records over several sectors, so that a broken sector chain shows in them.
    std::vector<std::vector<QVariant>> rows{{"A", "B"}};
    for (int r = 0; r < 400; ++r)
        rows.push_back({QString::number(r), r});
    const QByteArray good = Workbook({{"S", rows}});
    const auto patch = [](QByteArray b, qsizetype offset, const QByteArray& bytes) {
        return b.replace(offset, bytes.size(), bytes);
    };
    const auto with = [&](qsizetype offset, const QByteArray& bytes) {
        return patch(good, offset, bytes);
    };
    const int fat = 512, stream = 1024, dir = int(good.size()) - 512, entry2 = dir + 128;
    const auto book = [](const QByteArray& records, const QByteArray& globals = {}) {
        return RawBiff({{"S", Label(0, 0, QStringLiteral("A")) + records}}, false, globals);
    };
    const auto sheetWith = [&](const QByteArray& records) { return Compound(book(records)); };
    // A small stream in the mini stream: header, FAT, directory, then the mini FAT.
    const QByteArray mini = Compound(book(Rk(1, 0, RkInt(1))), {9, true});
    // The FAT listed in a DIFAT sector (sector 1), which here names itself as the next.
    const QByteArray difat = patch(
        patch(Compound(book(Rk(1, 0, RkInt(1))), {9, false, 0}), 0x2C, Le32(2)), 1532, Le32(1));
    const QByteArray sheetList = book({});
    const qsizetype sheetAt = sheetList.indexOf(QByteArray("\x85\0", 2)) + 4;
    const char* const pastEnd = "a sector chain leads past the end";
    const char* const nameTooLong = "a name in its directory is longer than its field";
    const char* const textTooLong = "a text is longer than its record";
    const struct {
        QByteArray bytes;
        const char* expected;
    } cases[] = {
        {{}, "is empty"},
        {good.left(300), "is not an Excel workbook"},
        {good.left(stream + 600), pastEnd},
        {good.left(dir), pastEnd},
        {with(0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE2"), "not an Excel workbook"},
        {with(0x1E, Le16(0)), "its sector size is not 512 or 4096 bytes"},
        {with(0x30, Le32(999)), pastEnd}, // the directory
        {with(0x4C, Le32(999)), pastEnd}, // a FAT sector
        {with(0x2C, Le32(99999)), "more sector tables than"},
        {with(fat + 4, Le32(1)), "a sector chain runs in a loop"},
        {with(fat + 4, Le32(5000)), pastEnd},
        {difat, "its sector table list runs in a loop"},
        {patch(mini, 1536, Le32(0)), "a sector chain runs in a loop"},
        {patch(mini, 1536, Le32(3000)), pastEnd},
        {with(entry2 + 0x78, Le32(0x7FFFFFFF)), "a stream is larger than the file"},
        {with(entry2 + 0x44, Le32(1)), "its directory runs in a loop"},
        {with(dir + 0x4C, Le32(77)), "its directory points outside itself"},
        {with(entry2, QByteArray("X\0", 2)),
         "not an Excel workbook (it may be another Office document)"},
        {Compound(book({}), {9, false, 109, "EncryptedPackage"}), "is encrypted"},
        {Compound(book({}, Record(0x002F, Le16(0) + QByteArray(52, '\0')))), "is encrypted"},
        {with(dir + 0x40, Le16(5632)), nameTooLong},
        {with(entry2 + 0x40, Le16(66)), nameTooLong},
        {with(good.indexOf("yyyy-mm-dd") - 3, Le16(0xFFED)), textTooLong}, // a number format
        {with(good.indexOf(QByteArray("\x01\0S", 3)), QByteArray(1, '\xF0')),
         textTooLong}, // a sheet name
        {with(stream + 4, Le16(0x0400)), "of an unknown version (0400)"},
        {with(stream, Le16(0x0409)), "Excel 4.0 or older"},
        {with(stream, Le16(0x0001)), "does not start with a beginning record"},
        {with(stream + 2, Le16(0x7FFF)), "a record runs past the end of the workbook"},
        {Compound(book(Record(0x00FD, At(1, 0) + Le32(0)),
                       Record(0x00FC, Le32(1) + Le32(1) + Le16(9) + '\0' + QByteArray("abc")))),
         "its shared strings are cut short"},
        {sheetWith(Record(0x00FD, At(1, 0) + Le32(7))),
         "in the sheet \"S\", a cell names a shared string that is not there"},
        {sheetWith(Rk(1, 256, RkInt(1))), "a cell lies past the last column"},
        {sheetWith(MulRk(1, 255, {RkInt(1), RkInt(2)})), "a cell lies past the last column"},
        {sheetWith(Record(0x00BD, Le16(1) + Le16(0) + QByteArray(7, 0))),
         "a cell's record is cut short"},
        {Compound(patch(sheetList, sheetAt, Le32(0x7FFFFFF0))),
         "the sheet lies past the end of the workbook"},
        {Compound(patch(sheetList, sheetAt, Le32(0))),
         "the sheet does not start where the workbook says"},
        {Compound(sheetList.chopped(4)), "the sheet ends without its end record"},
    };
    TempFolder folder;
    const QString path = folder.path("bad.xls");
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::Message() << "case " << i << ": " << cases[i].expected);
        Write(path, cases[i].bytes);
        try {
            auto source = OpenExcelSource(path);
            for (const QString& name : source->tableNames())
                ReadTable(*source, name);
            ADD_FAILURE() << "no error";
        } catch (const SourceError& e) {
            EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path)) &&
                        e.message().contains(QString::fromUtf8(cases[i].expected)))
                << e.message().toStdString();
        }
    }
}

// Workbooks the fuzzer found crashing, hanging or exhausting memory in the library this reader
// replaced: each is read to its end or refused with a message naming the file.
TEST(ExcelReader, XlsFuzzFindingsReadOrRefuseCleanly) {
    const QDir dir(QStringLiteral(QV_TEST_DATA_DIR "/xls-fuzz-found"));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_EQ(files.size(), 36);
    for (const QString& name : files) {
        const QString path = dir.filePath(name);
        try {
            auto source = import::OpenExcelSource(path);
            for (const QString& table : source->tableNames()) {
                auto rows = source->openTable(table);
                for (int n = 0; rows->next(); ++n)
                    ASSERT_LT(n, 65536 * 256) << name.toStdString();
            }
        } catch (const import::SourceError& e) {
            EXPECT_TRUE(e.message().contains(name)) << e.message().toStdString();
        }
    }
}

TEST(ExcelReader, XlsSamples) {
    const QString dir = SamplesDir() + QStringLiteral("/xls/");
    if (SamplesDir().isEmpty() || !QDir(dir).exists())
        GTEST_SKIP() << "no sample files";
    const SampleTable visible = {"Visible",
                                 {"1:Text70", "2:Long"},
                                 {"s:3|i:4", "s:5|i:6", std::string(kAnySheetsNote) + "|\\N"}};
    CheckSample(dir + "any_sheets.xls", {visible}); // the chart sheet is no table
    const SampleTable dates = {
        "Sheet1",
        {"2021-01-01:Date", "15:Long"},
        {"t:2021-01-02 00:00:00.000Z|i:16", "t:1900-01-10 15:10:10.000Z|i:17"}};
    CheckSample(dir + "date.xls", {dates});
    SampleTable dates1904 = dates;
    dates1904.rows[1] = "t:1904-01-11 15:10:10.000Z|i:17"; // the same day number from 1904
    CheckSample(dir + "date_1904.xls", {dates1904});
    // Booleans and texts that formulas give, as in the .xlsx of the same workbook.
    CheckSample(
        dir + "issues.xls",
        {{"datatypes", {"1:Text10"}, {"s:1.5", "s:ab", "s:FALSE", "s:test", "s:2016-10-20"}},
         {"Sheet1", {"0:Text1"}, {}},
         {"issue2", {"1:Long", "a:Text1"}, {"i:2|s:b", "i:3|s:c"}},
         {"issue5", {"0.5:Text1"}, {}},
         {"issue6", {"1:Text5"}, {"s:2", "s:ab", "s:FALSE"}}});
    // Excel 5.0: texts in the workbook's code page.
    CheckSample(dir + "biff5_write.xls",
                {{"SheetJS",
                  {"1:Text4", "2:Text5", "3:Text19", "Field4:Text7"},
                  {"s:TRUE|s:FALSE|\\N|s:sheetjs", "s:foo|s:bar|s:2014-02-19 14:30:00|s:0.3",
                   "s:baz|\\N|s:qux|\\N"}}});
    CheckSample(dir + "empty-string.xls", {{"Sheet1", {"FALSE:Text1"}, {}}});
    CheckSample(
        dir + "merged_range.xls",
        {{"Sheet1",
          {"A1:Text2", "B1:Text2", "C1:Text2", "Field4:Text1", "E1:Text2", "F1:Text2", "G1:Text2",
           "H1:Text2"},
          {"s:A3|s:B3|s:C3|\\N|s:E3|s:F3|s:G3|s:H3", "s:A4|s:B4|s:C4|\\N|s:E4|s:F4|s:G4|s:H4"}},
         {"Sheet2",
          {"A1:Text1", "B1:Text2", "C1:Text2", "Field4:Text1", "E1:Text2", "F1:Text1"},
          {"\\N|s:B3|s:C3|\\N|s:E3|\\N", "\\N|s:B4|\\N|\\N|s:E4|\\N"}}});
    // A workbook cut short is refused, not read in part.
    TempFolder folder;
    const QByteArray whole = ReadBytes(dir + "issues.xls");
    Write(folder.path("cut.xls"), whole.left(whole.size() / 2));
    EXPECT_THROW(OpenExcelSource(folder.path("cut.xls")), SourceError);
}

TEST(ExcelReader, XlsxSamples) {
    const QString dir = SamplesDir() + QStringLiteral("/xlsx/");
    if (SamplesDir().isEmpty() || !QDir(dir).exists())
        GTEST_SKIP() << "no sample files";
    CheckSample(dir + "any_sheets.xlsx",
                {{"Visible",
                  {"1:Text70", "2:Long"},
                  {"s:3|i:4", "s:5|i:6", std::string(kAnySheetsNote) + "|\\N"}}});
    CheckSample(dir + "date.xlsx",
                {{"Sheet1",
                  {"2021-01-01:Date", "15:Long"},
                  {"t:2021-01-02 00:00:00.000Z|i:16", "t:1900-01-10 15:10:10.000Z|i:17"}}});
    CheckSample(dir + "header-row.xlsx",
                {{"Sheet1",
                  {"Field1:Text13", "Field2:Text8", "Note 1:Text8", "Field4:Text8"},
                  {"s:Columns|s:Column A|s:Column B|s:Column C", "s:put data here|s:1|s:2|s:3"}}});
    const SampleTable inventory = {
        "Sheet1",
        {"Item:Long", "Type:Text6", "Quantity:Long"},
        {"i:1|s:Apple|i:50", "i:2|s:Banana|i:200", "i:3|s:Orange|i:60", "i:4|s:Pear|i:100"}};
    CheckSample(dir + "inventory-table.xlsx", {inventory});
    CheckSample(dir + "table-multiple.xlsx",
                {inventory,
                 {"Sheet2",
                  {"Item:Long", "Price:Double"},
                  {"i:1|d:0.85", "i:2|d:0.75", "i:3|d:0.55", "i:4|d:0.45"}},
                 {"Sheet3",
                  {"Item:Text4", "Units:Text5"},
                  {"s:1|s:1000", "s:2|s:500", "s:3|s:200", "s:4|s:50", "s:Item|s:Units",
                   "s:1|s:750", "s:2|s:800", "s:3|s:100", "s:4|s:70"}}});
    CheckSample(
        dir + "issues.xlsx",
        {{"datatypes", {"1:Text10"}, {"s:1.5", "s:ab", "s:FALSE", "s:test", "s:2016-10-20"}},
         {"Sheet1", {"0:Text1"}, {}},
         {"issue2", {"1:Long", "a:Text1"}, {"i:2|s:b", "i:3|s:c"}},
         {"issue5", {"0.5:Text1"}, {}},
         {"issue6", {"1:Text5"}, {"s:2", "s:ab", "s:FALSE"}},
         {"spc_chrs",
          {"&:Text11"},
          {"s:<", "s:>", "s:aaa ' aaa", "s:\"", "s:☺", "s:֍", "s:àâéêèçöïî«»"}}});
}

} // namespace
