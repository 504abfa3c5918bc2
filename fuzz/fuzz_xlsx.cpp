// Excel .xlsx workbooks. An input that starts with "PK" is the file itself; any other input is
// a list of zip members, each "NAME\n" and its bytes, separated by "\n#%\n", that the target
// packs stored (uncompressed, so that the fuzzer mutates the XML itself) into t.xlsx.
#include "fuzzcommon.h"

#include "import/excelreader.h"

#include <QBuffer>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

namespace {

const QByteArray kSeparator = "\n#%\n";

using Parts = std::vector<std::pair<QByteArray, QByteArray>>;

QByteArray Zip(const Parts& parts, bool deflate) {
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdCreate))
        qvfuzz::Broken(QStringLiteral("cannot make a zip"));
    for (const auto& [name, data] : parts) {
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(QString::fromUtf8(name)), nullptr, 0,
                       deflate ? 8 : 0, deflate ? 6 : 0) ||
            file.write(data) != data.size())
            qvfuzz::Broken(QStringLiteral("cannot write a zip member"));
        file.close();
    }
    zip.close();
    return buffer.data();
}

Parts PartsOf(const QByteArray& input) {
    Parts parts;
    qsizetype at = 0;
    while (at <= input.size() && parts.size() < 64) {
        qsizetype end = input.indexOf(kSeparator, at);
        if (end < 0)
            end = input.size();
        const QByteArray part = input.mid(at, end - at);
        const qsizetype newline = part.indexOf('\n');
        if (newline > 0)
            parts.emplace_back(part.left(newline), part.mid(newline + 1));
        at = end + kSeparator.size();
    }
    return parts;
}

QByteArray Listed(const Parts& parts) {
    QByteArray out;
    for (const auto& [name, data] : parts) {
        if (!out.isEmpty())
            out += kSeparator;
        out += name + '\n' + data;
    }
    return out;
}

const QByteArray kMain =
    R"( xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")"
    R"( xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";
const QByteArray kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const QByteArray kRels = R"(<?xml version="1.0"?><Relationships )"
                         R"(xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";

QByteArray Rel(int id, const QByteArray& type, const QByteArray& target) {
    return "<Relationship Id=\"rId" + QByteArray::number(id) + "\" Type=\"" + kRel + type +
           "\" Target=\"" + target + "\"/>";
}

// A workbook of the given sheets (what goes inside sheetData), shared strings and styles.
Parts Book(const std::vector<QByteArray>& sheets, const QByteArray& strings,
           const QByteArray& styles, bool date1904 = false) {
    Parts parts;
    parts.emplace_back("_rels/.rels",
                       kRels + Rel(1, "officeDocument", "xl/workbook.xml") + "</Relationships>");
    QByteArray workbook = "<?xml version=\"1.0\"?><workbook" + kMain + "><workbookPr" +
                          (date1904 ? " date1904=\"1\"" : "") + "/><sheets>";
    QByteArray rels = kRels;
    for (size_t i = 0; i < sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        workbook += "<sheet name=\"Sheet" + n + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += Rel(int(i) + 1, "worksheet", "worksheets/sheet" + n + ".xml");
        parts.emplace_back("xl/worksheets/sheet" + n + ".xml",
                           "<?xml version=\"1.0\"?><worksheet" + kMain + "><sheetData>" +
                               sheets[i] + "</sheetData></worksheet>");
    }
    parts.emplace_back("xl/workbook.xml", workbook + "</sheets></workbook>");
    rels += Rel(100, "styles", "styles.xml") + Rel(101, "sharedStrings", "/xl/sharedStrings.xml");
    parts.emplace_back("xl/_rels/workbook.xml.rels", rels + "</Relationships>");
    parts.emplace_back("xl/styles.xml", "<styleSheet" + kMain + ">" + styles + "</styleSheet>");
    parts.emplace_back("xl/sharedStrings.xml", "<sst" + kMain + ">" + strings + "</sst>");
    return parts;
}

// Small limits keep a bomb's expansion within the fuzzer's memory.
const import::ExcelLimits kLimits{4 * 1024 * 1024, 8 * 1024 * 1024};

} // namespace

std::vector<qvfuzz::Seed> qvfuzz::Seeds() {
    const QByteArray styles = "<numFmts><numFmt numFmtId=\"164\" formatCode=\"dd/mm/yyyy\\ "
                              "hh:mm\"/><numFmt numFmtId=\"165\" formatCode=\"[Red]0.00\"/>"
                              "</numFmts><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/>"
                              "<xf numFmtId=\"164\"/><xf numFmtId=\"165\"/></cellXfs>";
    const QByteArray strings = "<si><t>Code</t></si><si><t>Caf\xc3\xa9 &amp; cr\xc3\xa8me</t></si>"
                               "<si><r><t>rich </t></r><r><rPr/><t xml:space=\"preserve\"> "
                               "text</t></r><rPh><t>x</t></rPh></si>";
    const QByteArray typed =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"inlineStr\"><is><t>Price"
        "</t></is></c><c r=\"C1\" t=\"str\"><v>Day</v></c><c r=\"D1\" t=\"inlineStr\"><is><t>"
        "Ok</t></is></c><c r=\"E1\" t=\"inlineStr\"><is><t>When</t></is></c></row>"
        "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>1</v></c><c r=\"B2\" s=\"3\"><v>12.5</v></c>"
        "<c r=\"C2\" s=\"1\"><v>45000</v></c><c r=\"D2\" t=\"b\"><v>1</v></c>"
        "<c r=\"E2\" t=\"d\"><v>2024-01-31T10:20:30.5</v></c></row>"
        "<row r=\"4\"><c r=\"A4\" t=\"s\"><v>2</v></c><c r=\"B4\"><v>-1E-3</v></c>"
        "<c r=\"C4\" s=\"2\"><v>0.75</v></c><c r=\"D4\" t=\"e\"><v>#N/A</v></c>"
        "<c r=\"E4\" t=\"inlineStr\"><is><t>&#233;&#x20AC;&lt;&gt;&quot;&apos;</t></is></c></row>"
        "<row><c><v>3</v></c><c t=\"str\"><f>A1</f><v>formula</v></c></row>";
    const QByteArray wide = "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>A</t></is></c>"
                            "<c r=\"XFD1\" t=\"inlineStr\"><is><t>Z</t></is></c></row>"
                            "<row r=\"2\"><c r=\"AA2\"><v>1</v></c></row>";
    const Parts book = Book({typed, wide, ""}, strings, styles);
    return {
        {"typed", Listed(book)},
        {"date1904", Listed(Book({typed}, strings, styles, true))},
        {"no-styles-strings", Listed({{"xl/workbook.xml", "<workbook" + kMain +
                                                            "><sheets><sheet name=\"S\" r:id=\"a\"/>"
                                                            "</sheets></workbook>"},
                                    {"xl/_rels/workbook.xml.rels",
                                     kRels + "<Relationship Id=\"a\" Type=\"" + kRel +
                                         "worksheet\" Target=\"s.xml\"/></Relationships>"},
                                    {"xl/s.xml", "<worksheet><sheetData>" + typed +
                                                     "</sheetData></worksheet>"}})},
        {"deflated", Zip(book, true)},
    };
}

void qvfuzz::FuzzOne(const QByteArray& input) {
    Files files;
    const QString path = files.write(QStringLiteral("t.xlsx"),
                                     input.startsWith("PK") ? input : Zip(PartsOf(input), false));
    Walk(files, [&] { return import::OpenExcelSource(path, kLimits); });
}
