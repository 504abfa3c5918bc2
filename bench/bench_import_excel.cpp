// The Excel reader over an .xlsx of 100,000 rows of 10 fields, beside two references done in
// the same run: unpacking its parts alone, and unpacking them through Qt's XML reader.
// (.xls has its own benchmark, bench_xls.)
#include "benchutil.h"
#include "import/excelreader.h"

#include <QFile>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstdio>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 3; // best of

const QByteArray kMain =
    R"( xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")"
    R"( xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")";
const QByteArray kRel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const QByteArray kRels = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";

QByteArray Col(int c) {
    return QByteArray(1, char('A' + c));
}

// Texts in shared strings, as spreadsheet programs write them; numbers, a date column with a
// date style, booleans, and a note as an inline string.
std::vector<std::pair<QString, QByteArray>> Parts() {
    QByteArray strings;
    int stringCount = 0;
    auto shared = [&](const QByteArray& text) {
        strings += "<si><t>" + text + "</t></si>";
        return QByteArray::number(stringCount++);
    };
    const char* names[] = {"ID",     "Code",    "Description", "Price",    "Qty",
                           "Weight", "Updated", "InStock",     "Category", "Note"};
    QByteArray sheet = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><worksheet" +
                       kMain + "><dimension ref=\"A1:J100001\"/><sheetData>";
    sheet.reserve(330 * kRows);
    sheet += "<row r=\"1\" spans=\"1:10\">";
    for (int c = 0; c < 10; ++c)
        sheet += "<c r=\"" + Col(c) + "1\" t=\"s\"><v>" + shared(names[c]) + "</v></c>";
    sheet += "</row>";
    QByteArray categories[40];
    for (int k = 0; k < 40; ++k)
        categories[k] = shared("Category " + QByteArray::number(k));
    for (int i = 0; i < kRows; ++i) {
        const QByteArray r = QByteArray::number(i + 2);
        auto cell = [&](int c, const char* attributes, const QByteArray& inner) {
            sheet += "<c r=\"" + Col(c) + r + "\"" + attributes + ">" + inner + "</c>";
        };
        sheet += "<row r=\"" + r + "\" spans=\"1:10\">";
        cell(0, "", "<v>" + QByteArray::number(i + 1) + "</v>");
        cell(1, " t=\"s\"", "<v>" + shared("A-" + QByteArray::number(10000 + i)) + "</v>");
        cell(2, " t=\"s\"",
             "<v>" + shared("Caf\xc3\xa9 cr\xc3\xa8me &amp; item " + QByteArray::number(i)) +
                 "</v>");
        cell(3, " s=\"2\"", "<v>" + QByteArray::number((i % 100000) / 100.0, 'g', 17) + "</v>");
        cell(4, "", "<v>" + QByteArray::number(i % 500) + "</v>");
        cell(5, "", "<v>" + QByteArray::number((i % 4000) / 16.0) + "</v>");
        cell(6, " s=\"1\"", "<v>" + QByteArray::number(45000 + i % 3000) + ".25</v>");
        cell(7, " t=\"b\"", i % 2 ? "<v>1</v>" : "<v>0</v>");
        cell(8, " t=\"s\"", "<v>" + categories[i % 40] + "</v>");
        if (i % 3 == 0)
            cell(9, " t=\"inlineStr\"", "<is><t xml:space=\"preserve\">special order </t></is>");
        sheet += "</row>";
    }
    sheet += "</sheetData></worksheet>";
    return {
        {"_rels/.rels",
         kRels + "<Relationship Id=\"rId1\" Type=\"" + kRel +
             "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml", "<workbook" + kMain +
                                "><sheets><sheet name=\"Prices\" sheetId=\"1\" r:id=\"rId1\"/>"
                                "</sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         kRels + "<Relationship Id=\"rId1\" Type=\"" + kRel +
             "worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
             kRel + "styles\" Target=\"styles.xml\"/><Relationship Id=\"rId3\" Type=\"" + kRel +
             "sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/styles.xml", "<styleSheet" + kMain +
                              "><cellXfs count=\"3\"><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/>"
                              "<xf numFmtId=\"4\"/></cellXfs></styleSheet>"},
        {"xl/sharedStrings.xml", "<sst" + kMain + " count=\"" + QByteArray::number(stringCount) +
                                     "\">" + strings + "</sst>"},
        {"xl/worksheets/sheet1.xml", sheet},
    };
}

QString WriteBook(qint64& sheetBytes) {
    const QString path = BenchFolder() + QStringLiteral("/prices.xlsx");
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return {};
    for (const auto& [name, data] : Parts()) {
        if (name.endsWith(QLatin1String("sheet1.xml")))
            sheetBytes = data.size();
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, 8, 6) ||
            f.write(data) != data.size())
            return {};
        f.close();
    }
    zip.close();
    return path;
}

// Unpacks every part; with xml, also runs each through Qt's XML reader, token by token.
double Unpack(const QString& path, bool xml, qint64& tokens) {
    Stopwatch sw;
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return 0;
    tokens = 0;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::ReadOnly))
            return 0;
        if (xml) {
            QXmlStreamReader reader(&f);
            while (!reader.atEnd()) {
                reader.readNext();
                ++tokens;
            }
        } else {
            tokens += f.readAll().size();
        }
    }
    return sw.seconds();
}

double ReadTable(const QString& path, long long& rows, long long& values) {
    Stopwatch sw;
    auto source = import::OpenExcelSource(path);
    auto table = source->openTable(source->tableNames().front());
    rows = values = 0;
    const int fields = int(table->fields().size());
    while (table->next()) {
        for (int f = 0; f < fields; ++f)
            values += table->value(f).isNull() ? 0 : 1;
        ++rows;
    }
    return sw.seconds();
}

} // namespace

int main() {
    qint64 sheetBytes = 0;
    const QString path = WriteBook(sheetBytes);
    if (path.isEmpty())
        return 1;
    double ours = 1e9, unpack = 1e9, xml = 1e9;
    long long rows = 0, values = 0;
    qint64 bytes = 0, tokens = 0;
    try {
        for (int run = 0; run < kRuns; ++run) {
            unpack = std::min(unpack, Unpack(path, false, bytes));
            xml = std::min(xml, Unpack(path, true, tokens));
            ours = std::min(ours, ReadTable(path, rows, values));
        }
    } catch (const import::SourceError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    // Every value but the notes of two rows in three.
    if (rows != kRows || values != 10LL * kRows - (kRows - (kRows + 2) / 3) || tokens == 0) {
        std::fprintf(stderr, "read %lld rows, %lld values\n", rows, values);
        return 1;
    }
    std::printf("an .xlsx of %lld rows and 10 fields: %lld bytes, its sheet %lld bytes unpacked\n",
                rows, QFile(path).size(), sheetBytes);
    PrintFigure("Excel .xlsx: read every value of 100,000 rows, s", ours, unpack, "s",
                "reference: unpacking the parts");
    PrintFigure("Excel .xlsx: read every value of 100,000 rows, s", ours, xml, "s",
                "reference: unpacking them through QXmlStreamReader");
    PrintFigure("Excel .xlsx: rows per second, thousands", kRows / ours / 1000.0,
                kRows / unpack / 1000.0, "k/s", "at least 50 k/s");
    return 0;
}
