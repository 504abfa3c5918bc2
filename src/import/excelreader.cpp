#include "excelreader.h"
#include "xlsbook.h"
#include "xlsxsheet.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QLocale>
#include <QSet>
#include <QStringDecoder>
#include <QTime>
#include <QXmlStreamReader>
#include <QtEndian>
#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <optional>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <vector>

namespace import {
namespace {

constexpr int kMaxColumns = 16384; // column XFD, the last a worksheet can have
constexpr int kMaxTextSize = 255;
constexpr int kMaxEntries = 100000;
constexpr size_t kMaxCells = 20'000'000;  // about 400 MB held
constexpr size_t kMaxSheets = 4096;       // of one workbook; a damaged one may claim millions
constexpr double kLastSerial = 2958466.0; // 10000-01-01 in the 1900 date system

QStringView Attr(const QXmlStreamAttributes& attributes, const char* name) {
    return attributes.value(QLatin1StringView(name));
}

// The element's local name; inline, for it runs for every token of a sheet.
bool Named(const QXmlStreamReader& xml, QStringView name) {
    const QStringView n = xml.name();
    return n.size() == name.size() && std::equal(n.begin(), n.end(), name.begin());
}

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void Fail(const QString& message) {
    throw SourceError(message);
}

// ---- Cells and rows

struct Cell {
    enum class Kind : quint8 { Empty, Boolean, Number, Date, Text };
    Kind kind = Kind::Empty;
    bool flag = false;
    double number = 0;
    QDateTime date;
    QString text;
};

// An empty text is a value of a text field but says nothing about a field's type, nor makes a
// row worth reading.
bool HoldsValue(const Cell& c) {
    return c.kind != Cell::Kind::Empty && (c.kind != Cell::Kind::Text || !c.text.isEmpty());
}

const QDate kTimeOnlyDay(1899, 12, 30); // the day the engine gives a time without a date

QString TextOf(const Cell& c) {
    switch (c.kind) {
    case Cell::Kind::Boolean:
        return c.flag ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case Cell::Kind::Number:
        return QString::number(c.number, 'g', QLocale::FloatingPointShortest);
    case Cell::Kind::Date: {
        const QTime t = c.date.time();
        const QString time = t.toString(t.msec() ? u"HH:mm:ss.zzz" : u"HH:mm:ss");
        if (c.date.date() == kTimeOnlyDay)
            return time;
        const QString day = c.date.date().toString(u"yyyy-MM-dd");
        return t == QTime(0, 0) ? day : day + u' ' + time;
    }
    case Cell::Kind::Text:
        return c.text;
    case Cell::Kind::Empty:
        break;
    }
    return {};
}

bool IsWhole32(double d) {
    return d == std::floor(d) && d >= double(INT_MIN) && d <= double(INT_MAX);
}

// Excel's day numbers: day 1 is 1900-01-01 and the 1900 system counts a 29 February 1900 that
// never was, so from day 61 on the days count from 1899-12-30; a number below 1 is a time of day.
// The 1904 system counts from 1904-01-01. Out of range: not a date.
std::optional<QDateTime> SerialToDate(double serial, bool date1904) {
    if (!(serial >= 0) || serial >= kLastSerial)
        return std::nullopt;
    const qint64 ms = std::llround(serial * 86400000.0);
    const qint64 days = ms / 86400000;
    const int rest = int(ms % 86400000);
    QDate base;
    if (date1904)
        base = QDate(1904, 1, 1);
    else if (days == 0 || days > 60)
        base = kTimeOnlyDay;
    else
        base = QDate(1899, 12, 31);
    const QDate day = base.addDays(days);
    if (!day.isValid() || day.year() > 9999)
        return std::nullopt;
    return QDateTime(day, QTime::fromMSecsSinceStartOfDay(rest), Qt::UTC);
}

// yyyy-mm-dd, then optionally a 'T' or a blank and hh:mm[:ss[.fff...]]; or a bare hh:mm:ss.
std::optional<QDateTime> ParseIsoDate(QStringView v) {
    auto number = [&](qsizetype at, qsizetype len, int& out) {
        if (at + len > v.size())
            return false;
        out = 0;
        for (qsizetype i = at; i < at + len; ++i) {
            if (v[i] < u'0' || v[i] > u'9')
                return false;
            out = out * 10 + (v[i].unicode() - u'0');
        }
        return true;
    };
    int y = 1899, mo = 12, d = 30, h = 0, mi = 0, s = 0, ms = 0;
    qsizetype at = 0;
    if (v.size() >= 10 && v[4] == u'-') {
        if (!number(0, 4, y) || v[4] != u'-' || !number(5, 2, mo) || v[7] != u'-' ||
            !number(8, 2, d))
            return std::nullopt;
        at = 10;
        if (v.size() > at) {
            if (v[at] != u'T' && v[at] != u' ')
                return std::nullopt;
            ++at;
        }
    }
    if (v.size() > at) {
        if (!number(at, 2, h) || v.size() < at + 5 || v[at + 2] != u':' || !number(at + 3, 2, mi))
            return std::nullopt;
        at += 5;
        if (v.size() > at) {
            if (v[at] != u':' || !number(at + 1, 2, s))
                return std::nullopt;
            at += 3;
        }
        if (v.size() > at && v[at] == u'.') {
            // Fractions of a second: milliseconds kept, the rest dropped.
            ++at;
            int digits = 0;
            while (at < v.size() && v[at] >= u'0' && v[at] <= u'9') {
                if (digits++ < 3)
                    ms = ms * 10 + (v[at].unicode() - u'0');
                ++at;
            }
            for (; digits < 3; ++digits)
                ms *= 10;
        }
        if (v.size() > at && v[at] == u'Z')
            ++at;
        if (v.size() != at)
            return std::nullopt;
    }
    const QDate date(y, mo, d);
    const QTime time(h, mi, s, ms);
    if (!date.isValid() || !time.isValid() || at == 0)
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

// One sheet read once, row by row. Rows without a value are stepped over.
class SheetStream {
public:
    virtual ~SheetStream() = default;
    // Steps to the next row holding a value; false past the last.
    virtual bool nextRow() = 0;

    // The current row's columns that hold a cell, ascending (0-based).
    const std::vector<int>& columns() const { return m_columns; }
    const Cell& cell(int column) const { return m_cells[size_t(column)]; }

protected:
    void beginRow() {
        for (const int c : m_columns) {
            m_cells[size_t(c)] = Cell();
            m_used[size_t(c)] = false;
        }
        m_columns.clear();
    }

    // The cell of a column, overwritten when the row names the column twice.
    Cell& put(int column) {
        if (size_t(column) >= m_cells.size()) {
            m_cells.resize(size_t(column) + 1);
            m_used.resize(size_t(column) + 1);
        }
        if (!m_used[size_t(column)]) {
            m_used[size_t(column)] = true;
            m_columns.push_back(column);
        }
        return m_cells[size_t(column)];
    }

    // True when the row holds a value.
    bool finishRow() {
        std::sort(m_columns.begin(), m_columns.end());
        for (const int c : m_columns)
            if (HoldsValue(m_cells[size_t(c)]))
                return true;
        return false;
    }

private:
    std::vector<Cell> m_cells;
    std::vector<bool> m_used;
    std::vector<int> m_columns;
};

// ---- .xlsx through QuaZip and the XML reader

QString CellName(int column, qint64 row) {
    QString letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

// Counts what a zip member unpacks to and refuses beyond the limits.
class LimitedDevice : public QIODevice {
public:
    LimitedDevice(QIODevice* source, qint64 partLimit, qint64* total, qint64 totalLimit)
        : m_source(source), m_partLimit(partLimit), m_total(total), m_totalLimit(totalLimit) {
        open(QIODevice::ReadOnly);
    }

    bool isSequential() const override { return true; }
    bool exceeded() const { return m_exceeded; }
    bool partExceeded() const { return m_partExceeded; }
    bool failed() const { return m_failed; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (m_exceeded || m_failed)
            return -1;
        const qint64 n = m_source->read(data, maxSize);
        if (n < 0) {
            m_failed = true;
            return -1;
        }
        m_read += n;
        *m_total += n;
        if (m_read > m_partLimit || *m_total > m_totalLimit) {
            m_exceeded = true;
            m_partExceeded = m_read > m_partLimit;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice* m_source;
    qint64 m_partLimit;
    qint64* m_total;
    qint64 m_totalLimit;
    qint64 m_read = 0;
    bool m_exceeded = false;
    bool m_partExceeded = false;
    bool m_failed = false;
};

// What the parts read for one purpose (listing the sheets, reading one table) unpacked to.
using Budget = std::shared_ptr<qint64>;

class Package {
public:
    Package(const QString& path, const ExcelLimits& limits, Budget budget)
        : m_path(path), m_limits(limits), m_total(std::move(budget)) {
        m_zip.setZipName(path);
        if (!m_zip.open(QuaZip::mdUnzip))
            Fail(QStringLiteral("The workbook \"%1\" cannot be read: its zip archive is damaged "
                                "or cut short.")
                     .arg(Shown(path)));
        // Each part is looked up by name through the whole list: a bounded list keeps that short.
        if (m_zip.getEntriesCount() > kMaxEntries)
            Fail(QStringLiteral("The workbook \"%1\" cannot be read: its zip archive holds more "
                                "than %2 parts.")
                     .arg(Shown(path))
                     .arg(kMaxEntries));
    }

    const QString& path() const { return m_path; }
    const ExcelLimits& limits() const { return m_limits; }
    QuaZip& zip() { return m_zip; }
    qint64* total() { return m_total.get(); }
    bool has(const QString& part) {
        return !part.isEmpty() && m_zip.setCurrentFile(part, QuaZip::csInsensitive);
    }

private:
    QString m_path;
    ExcelLimits m_limits;
    QuaZip m_zip;
    Budget m_total;
};

// One part of the package read as XML.
class PartReader {
public:
    PartReader(Package& package, const QString& part)
        : m_package(package), m_part(part), m_file(&package.zip()),
          m_device(&m_file, package.limits().partBytes, package.total(),
                   package.limits().totalBytes) {
        if (!package.has(part))
            Fail(QStringLiteral("The workbook \"%1\" is damaged: its part \"%2\" is missing.")
                     .arg(Shown(package.path()), part));
        if (!m_file.open(QIODevice::ReadOnly))
            Fail(QStringLiteral("The workbook \"%1\" cannot be read: its part \"%2\" cannot be "
                                "unpacked (damaged or encrypted).")
                     .arg(Shown(package.path()), part));
        m_xml.setDevice(&m_device);
    }

    QXmlStreamReader& xml() { return m_xml; }

    // Reads to the next token; a broken part is a SourceError.
    void next() {
        m_xml.readNext();
        if (m_xml.hasError())
            fail();
    }

    // Reads the whole part; the zip's checksum is checked at the end.
    template <typename F> void readAll(F&& onToken) {
        while (!m_xml.atEnd()) {
            next();
            onToken();
        }
        finish();
    }

    // Reads what is left of the part, so that the zip's checksum of it is checked.
    void finish() {
        while (!m_xml.atEnd())
            next();
        drain();
    }

    // The part's bytes as they unpack, for a parser of its own; -1 when they cannot be read.
    qint64 readRaw(char* data, qint64 size) { return m_device.read(data, size); }

    // Reads the rest of the part's bytes and checks the zip's checksum of it.
    void drain() {
        char rest[4096];
        while (m_device.read(rest, sizeof rest) > 0) {
        }
        if (m_device.exceeded() || m_device.failed())
            fail();
        m_file.close();
        if (m_file.getZipError() != UNZ_OK)
            fail();
    }

    [[noreturn]] void fail() {
        const QString file = Shown(m_package.path());
        if (m_device.partExceeded())
            Fail(QStringLiteral("The workbook \"%1\" cannot be read: its part \"%2\" unpacks to "
                                "more than %3 MB (the file may be a zip bomb).")
                     .arg(file, m_part)
                     .arg(double(m_package.limits().partBytes) / (1024 * 1024)));
        if (m_device.exceeded())
            Fail(QStringLiteral("The workbook \"%1\" cannot be read: its parts unpack to more "
                                "than %2 MB together (the file may be a zip bomb).")
                     .arg(file)
                     .arg(double(m_package.limits().totalBytes) / (1024 * 1024)));
        if (m_device.failed() || (m_file.getZipError() != UNZ_OK))
            Fail(QStringLiteral("The workbook \"%1\" is damaged: its part \"%2\" cannot be "
                                "unpacked.")
                     .arg(file, m_part));
        Fail(QStringLiteral("The workbook \"%1\" is damaged: its part \"%2\" is not well-formed "
                            "XML (%3, line %4).")
                 .arg(file, m_part, m_xml.errorString().chopped(m_xml.errorString().endsWith(u'.')))
                 .arg(m_xml.lineNumber()));
    }

    // A failure of a parser of its own: the part's unpacking is blamed first, as in fail().
    [[noreturn]] void fail(const xlsx::XmlError& e) {
        if (e.kind == xlsx::XmlError::TooLong)
            Fail(QStringLiteral("The workbook \"%1\" cannot be read: its part \"%2\" holds a text "
                                "longer than %3 MB.")
                     .arg(Shown(m_package.path()), m_part)
                     .arg(kMaxValueBytes / (1024 * 1024)));
        if (e.kind == xlsx::XmlError::Malformed && !m_device.exceeded() && !m_device.failed())
            Fail(QStringLiteral("The workbook \"%1\" is damaged: its part \"%2\" is not "
                                "well-formed XML (%3, line %4).")
                     .arg(Shown(m_package.path()), m_part, e.what)
                     .arg(e.line));
        fail();
    }

    [[noreturn]] void failHere(const QString& what, qint64 line) {
        Fail(QStringLiteral("The workbook \"%1\" is damaged: in its part \"%2\", line %3, %4.")
                 .arg(Shown(m_package.path()), m_part)
                 .arg(line)
                 .arg(what));
    }

private:
    Package& m_package;
    QString m_part;
    QuaZipFile m_file;
    LimitedDevice m_device;
    QXmlStreamReader m_xml;
};

// A custom number format shows a date or time when it has a day, month, year, hour or second
// code outside quoted text, brackets (colours, locales, elapsed [h]) and escaped characters.
bool FormatIsDate(QStringView format) {
    for (qsizetype i = 0; i < format.size(); ++i) {
        const char16_t c = format[i].unicode();
        if (c == u'"') {
            for (++i; i < format.size() && format[i] != u'"'; ++i) {
            }
        } else if (c == u'[') {
            for (++i; i < format.size() && format[i] != u']'; ++i) {
            }
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else {
            switch (c | 0x20) {
            case u'd':
            case u'm':
            case u'y':
            case u'h':
            case u's':
                return true;
            default:
                break;
            }
        }
    }
    return false;
}

bool BuiltInDate(int id) {
    return (id >= 14 && id <= 22) || (id >= 45 && id <= 47);
}

struct XlsxSheet {
    QString name;
    QString part;
};

struct Book {
    bool date1904 = false;
    std::vector<XlsxSheet> sheets; // worksheets in the workbook's order
    std::vector<QString> strings;
    std::vector<bool> dateStyles; // per cell format (the s of a cell)
};

QString Resolve(const QString& base, const QString& target) {
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    const qsizetype slash = base.lastIndexOf(u'/');
    const QString dir = slash < 0 ? QString() : base.left(slash + 1);
    return QDir::cleanPath(dir + target);
}

QString RelsOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

struct Relation {
    QString type; // the last word of the type's URI: "worksheet", "styles"...
    QString target;
};

QHash<QString, Relation> ReadRelations(Package& package, const QString& relsPart,
                                       const QString& sourcePart) {
    QHash<QString, Relation> relations;
    PartReader reader(package, relsPart);
    QXmlStreamReader& xml = reader.xml();
    reader.readAll([&] {
        if (!xml.isStartElement() || !Named(xml, u"Relationship"))
            return;
        const QXmlStreamAttributes a = xml.attributes();
        if (Attr(a, "TargetMode") == u"External")
            return;
        const QStringView type = Attr(a, "Type");
        relations.insert(Attr(a, "Id").toString(),
                         {type.mid(type.lastIndexOf(u'/') + 1).toString(),
                          Resolve(sourcePart, Attr(a, "Target").toString())});
    });
    return relations;
}

QString RelationId(const QXmlStreamAttributes& attributes) {
    for (const QXmlStreamAttribute& a : attributes)
        if (a.name() == u"id" &&
            (a.namespaceUri().endsWith(u"/relationships") || a.qualifiedName() == u"r:id"))
            return a.value().toString();
    return {};
}

// UTF-8 bytes of a part as a text; bytes that are not UTF-8 make the part malformed.
QString Utf8Text(std::string_view bytes, qint64 line) {
    bool ascii = true;
    for (const char c : bytes)
        ascii = ascii && uchar(c) < 0x80;
    if (ascii)
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (decoder.hasError())
        throw xlsx::XmlError{xlsx::XmlError::Malformed, QStringLiteral("a text is not valid UTF-8"),
                             line};
    return text;
}

// Rich text of the element just started (a shared text's si, a cell's is): the runs' texts
// joined, the phonetic guides (rPh) left out. piece: room for one run.
void RichText(xlsx::XmlPull& xml, std::string& into, std::string& piece) {
    using Token = xlsx::XmlPull::Token;
    into.clear();
    for (int depth = 1; depth > 0;) {
        if (xml.next() == Token::End) {
            --depth;
        } else if (xml.name() == "t") {
            xml.text(piece);
            if (into.size() + piece.size() > size_t(kMaxValueBytes))
                throw xlsx::XmlError{xlsx::XmlError::TooLong, QString(), xml.line()};
            into += piece;
        } else if (xml.name() == "rPh") {
            xml.skip();
        } else {
            ++depth;
        }
    }
}

std::shared_ptr<Book> ReadBook(Package& package) {
    const QString file = Shown(package.path());
    auto book = std::make_shared<Book>();
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    if (package.has(QStringLiteral("_rels/.rels"))) {
        const QHash<QString, Relation> root =
            ReadRelations(package, QStringLiteral("_rels/.rels"), QString());
        for (const Relation& r : root)
            if (r.type == u"officeDocument")
                workbookPart = r.target;
    }
    if (!package.has(workbookPart))
        Fail(QStringLiteral("The file \"%1\" is a zip archive but not an Excel workbook.")
                 .arg(file));

    std::vector<std::pair<QString, QString>> sheets; // name, relation id
    {
        PartReader reader(package, workbookPart);
        QXmlStreamReader& xml = reader.xml();
        bool root = true;
        reader.readAll([&] {
            if (!xml.isStartElement())
                return;
            if (root && !Named(xml, u"workbook"))
                Fail(QStringLiteral("The file \"%1\" is a zip archive but not an Excel workbook.")
                         .arg(file));
            root = false;
            const QXmlStreamAttributes a = xml.attributes();
            if (Named(xml, u"workbookPr"))
                book->date1904 = Attr(a, "date1904") == u"1" || Attr(a, "date1904") == u"true";
            else if (Named(xml, u"sheet")) {
                if (sheets.size() == kMaxSheets)
                    Fail(QStringLiteral("The workbook \"%1\" cannot be read: it claims more "
                                        "than %2 sheets.")
                             .arg(file)
                             .arg(kMaxSheets));
                sheets.emplace_back(Attr(a, "name").toString(), RelationId(a));
            }
        });
    }

    const QHash<QString, Relation> relations =
        ReadRelations(package, RelsOf(workbookPart), workbookPart);
    QString stylesPart, stringsPart;
    for (const Relation& r : relations) {
        if (r.type == u"styles")
            stylesPart = r.target;
        else if (r.type == u"sharedStrings")
            stringsPart = r.target;
    }
    for (const auto& [name, id] : sheets) {
        const auto r = relations.constFind(id);
        if (r != relations.constEnd() && r->type == u"worksheet")
            book->sheets.push_back({name, r->target});
    }

    if (!stylesPart.isEmpty() && package.has(stylesPart)) {
        PartReader reader(package, stylesPart);
        QXmlStreamReader& xml = reader.xml();
        QHash<int, bool> custom;
        bool inFormats = false, inCellFormats = false;
        std::vector<int> formatIds;
        reader.readAll([&] {
            if (xml.isStartElement()) {
                if (Named(xml, u"numFmts"))
                    inFormats = true;
                else if (Named(xml, u"cellXfs"))
                    inCellFormats = true;
                else if (inFormats && Named(xml, u"numFmt"))
                    custom.insert(Attr(xml.attributes(), "numFmtId").toInt(),
                                  FormatIsDate(Attr(xml.attributes(), "formatCode")));
                else if (inCellFormats && Named(xml, u"xf"))
                    formatIds.push_back(Attr(xml.attributes(), "numFmtId").toInt());
            } else if (xml.isEndElement()) {
                if (Named(xml, u"numFmts"))
                    inFormats = false;
                else if (Named(xml, u"cellXfs"))
                    inCellFormats = false;
            }
        });
        for (const int id : formatIds)
            book->dateStyles.push_back(custom.contains(id) ? custom.value(id) : BuiltInDate(id));
    }

    if (!stringsPart.isEmpty() && package.has(stringsPart)) {
        PartReader reader(package, stringsPart);
        xlsx::XmlPull xml([&](char* data, qint64 size) { return reader.readRaw(data, size); },
                          size_t(kMaxValueBytes));
        // Many short texts cost more memory than their bytes in the file: that is counted too.
        qint64 held = 0;
        std::string text, piece;
        try {
            for (xlsx::XmlPull::Token t; (t = xml.next()) != xlsx::XmlPull::Token::EndOfDocument;) {
                if (t != xlsx::XmlPull::Token::Start || xml.name() != "si")
                    continue;
                RichText(xml, text, piece);
                book->strings.push_back(Utf8Text(text, xml.line()));
                held += qint64(sizeof(QString)) + 2 * book->strings.back().size();
                if (held > package.limits().partBytes)
                    Fail(QStringLiteral("The workbook \"%1\" cannot be read: its shared texts "
                                        "need more than %2 MB of memory.")
                             .arg(file)
                             .arg(double(package.limits().partBytes) / (1024 * 1024)));
            }
            reader.drain();
        } catch (const xlsx::XmlError& e) {
            reader.fail(e);
        }
    }
    return book;
}

std::string_view Trimmed(std::string_view v) {
    auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    };
    while (!v.empty() && blank(v.front()))
        v.remove_prefix(1);
    while (!v.empty() && blank(v.back()))
        v.remove_suffix(1);
    return v;
}

// A number as the file stores it ("12", "-1.5E-3"), read from its bytes.
std::optional<double> ParseNumber(std::string_view v) {
    v = Trimmed(v);
    if (v.empty())
        return std::nullopt;
    const char* first = v.front() == '+' ? v.data() + 1 : v.data();
    const char* last = v.data() + v.size();
    double d = 0;
    const auto [end, ec] = std::from_chars(first, last, d);
    if (ec != std::errc() || end != last || !std::isfinite(d))
        return std::nullopt;
    return d;
}

// A whole number as an attribute or a shared text's index holds it.
std::optional<qint64> ParseWhole(std::string_view v) {
    v = Trimmed(v);
    if (v.empty())
        return std::nullopt;
    const char* first = v.front() == '+' ? v.data() + 1 : v.data();
    const char* last = v.data() + v.size();
    qint64 n = 0;
    const auto [end, ec] = std::from_chars(first, last, n);
    if (ec != std::errc() || end != last)
        return std::nullopt;
    return n;
}

// Column letters of a cell reference ("BC12") as a 0-based index; -1 when it has none.
int ColumnOf(std::string_view ref) {
    int column = 0;
    size_t i = 0;
    for (; i < ref.size() && i < 4; ++i) {
        const char c = char(ref[i] & ~0x20);
        if (c < 'A' || c > 'Z')
            break;
        column = column * 26 + (c - 'A' + 1);
    }
    if (i == 0 || column > kMaxColumns)
        return -1;
    return column - 1;
}

// The worksheet's XML through the parser of its own (a general XML reader takes several times
// as long on a sheet of many rows); its texts and numbers are taken from their bytes.
class XlsxStream : public SheetStream {
public:
    XlsxStream(const QString& path, const ExcelLimits& limits, Budget budget,
               std::shared_ptr<const Book> book, XlsxSheet sheet)
        : m_package(path, limits, std::move(budget)), m_book(std::move(book)),
          m_sheet(std::move(sheet)), m_reader(m_package, m_sheet.part),
          m_xml([this](char* data, qint64 size) { return m_reader.readRaw(data, size); },
                size_t(kMaxValueBytes)) {}

    bool nextRow() override {
        try {
            while (!m_done) {
                const Token t = m_xml.next();
                if (t == Token::Start) {
                    if (m_xml.name() == "sheetData")
                        m_inData = true;
                    else if (m_inData && m_xml.name() == "row" && readRow())
                        return true;
                } else if (t == Token::EndOfDocument ||
                           (t == Token::End && m_xml.name() == "sheetData")) {
                    m_done = true;
                    while (m_xml.next() != Token::EndOfDocument) {
                    }
                    m_reader.drain();
                }
            }
        } catch (const xlsx::XmlError& e) {
            m_reader.fail(e);
        }
        return false;
    }

private:
    using Token = xlsx::XmlPull::Token;

    bool readRow() {
        const std::optional<qint64> r = ParseWhole(m_xml.attribute("r"));
        m_row = r ? *r : m_row + 1;
        beginRow();
        int column = -1;
        for (;;) {
            const Token t = m_xml.next();
            if (t == Token::End)
                break;
            if (m_xml.name() != "c") {
                m_xml.skip();
                continue;
            }
            const std::string_view ref = m_xml.attribute("r");
            column = ref.empty() ? column + 1 : ColumnOf(ref);
            if (column < 0 || column >= kMaxColumns)
                m_reader.failHere(
                    ref.empty() ? QStringLiteral("a cell lies past the last column")
                                : QStringLiteral("the cell reference \"%1\" names no cell of a "
                                                 "sheet")
                                      .arg(QString::fromUtf8(ref.substr(0, 20))),
                    m_xml.line());
            const std::string_view style = m_xml.attribute("s");
            const Type type = TypeOf(m_xml.attribute("t"));
            readCell(column, type, style.empty() ? 0 : ParseWhole(style).value_or(0));
        }
        return finishRow();
    }

    enum class Type { Number, Shared, Inline, Formula, Boolean, Error, Date };

    static Type TypeOf(std::string_view t) {
        if (t == "s")
            return Type::Shared;
        if (t == "inlineStr")
            return Type::Inline;
        if (t == "str")
            return Type::Formula;
        if (t == "b")
            return Type::Boolean;
        if (t == "e")
            return Type::Error;
        if (t == "d")
            return Type::Date;
        return Type::Number;
    }

    QString Text(std::string_view bytes) const { return Utf8Text(bytes, m_xml.line()); }

    void readCell(int column, Type t, qint64 s) {
        bool hasValue = false, hasInline = false;
        for (;;) {
            if (m_xml.next() == Token::End)
                break;
            if (m_xml.name() == "v") {
                m_xml.text(m_value);
                hasValue = true;
            } else if (m_xml.name() == "is") {
                RichText(m_xml, m_inline, m_piece);
                hasInline = true;
            } else {
                m_xml.skip(); // the formula, extensions
            }
        }
        if (t == Type::Inline) {
            if (hasInline || hasValue)
                setText(column, Text(hasInline ? m_inline : m_value));
            return;
        }
        if (!hasValue)
            return;
        const std::string_view v = m_value;
        if (t == Type::Shared) {
            const std::optional<qint64> index = ParseWhole(v);
            if (!index || *index < 0 || *index >= qint64(m_book->strings.size()))
                Fail(QStringLiteral("The workbook \"%1\" is damaged: the cell %2 of the sheet "
                                    "\"%3\" refers to a shared text that does not exist.")
                         .arg(Shown(m_package.path()), CellName(column, m_row), m_sheet.name));
            setText(column, m_book->strings[size_t(*index)]);
        } else if (t == Type::Formula) {
            setText(column, Text(v));
        } else if (t == Type::Boolean) {
            Cell& c = put(column);
            c.kind = Cell::Kind::Boolean;
            const std::string_view b = Trimmed(v);
            c.flag = b == "1" || (b.size() == 4 && (b[0] | 0x20) == 't' && (b[1] | 0x20) == 'r' &&
                                  (b[2] | 0x20) == 'u' && (b[3] | 0x20) == 'e');
        } else if (t == Type::Error) {
            // An error value (#N/A, #DIV/0!) is no value.
        } else if (t == Type::Date) {
            const QString text = Text(v);
            if (const std::optional<QDateTime> d = ParseIsoDate(text.trimmed())) {
                Cell& c = put(column);
                c.kind = Cell::Kind::Date;
                c.date = *d;
            } else {
                setText(column, text);
            }
        } else {
            const std::optional<double> number = ParseNumber(v);
            if (!number) {
                setText(column, Text(v));
                return;
            }
            const double d = *number;
            if (s >= 0 && s < qint64(m_book->dateStyles.size()) && m_book->dateStyles[size_t(s)]) {
                if (const std::optional<QDateTime> date = SerialToDate(d, m_book->date1904)) {
                    Cell& c = put(column);
                    c.kind = Cell::Kind::Date;
                    c.date = *date;
                    return;
                }
            }
            Cell& c = put(column);
            c.kind = Cell::Kind::Number;
            c.number = d;
        }
    }

    void setText(int column, const QString& text) {
        Cell& c = put(column);
        c.kind = Cell::Kind::Text;
        c.text = text;
    }

    Package m_package;
    std::shared_ptr<const Book> m_book;
    XlsxSheet m_sheet;
    PartReader m_reader;
    xlsx::XmlPull m_xml;
    std::string m_value, m_inline, m_piece; // kept for their capacity
    bool m_inData = false;
    bool m_done = false;
    qint64 m_row = 0;
};

// ---- .xls through our own reader

// The formats of an .xls's cell formats that show a date, as in an .xlsx.
std::shared_ptr<const std::vector<bool>> DateXfs(const xls::Book& book) {
    auto dates = std::make_shared<std::vector<bool>>();
    for (const quint16 id : book.xfFormats()) {
        const auto custom = book.formats().constFind(id);
        dates->push_back(custom != book.formats().cend() ? FormatIsDate(*custom) : BuiltInDate(id));
    }
    return dates;
}

class XlsStream : public SheetStream {
public:
    XlsStream(const xls::Book& book, size_t sheet, std::shared_ptr<const std::vector<bool>> dates)
        : m_sheet(book.readSheet(sheet)), m_dates(std::move(dates)), m_date1904(book.date1904()) {}

    bool nextRow() override {
        const std::vector<xls::Cell>& cells = m_sheet.cells;
        while (m_at < cells.size()) {
            beginRow();
            const quint16 row = cells[m_at].row;
            for (; m_at < cells.size() && cells[m_at].row == row; ++m_at)
                take(cells[m_at]);
            if (finishRow())
                return true;
        }
        return false;
    }

private:
    void take(const xls::Cell& x) {
        Cell& c = put(x.column);
        switch (x.kind) {
        case xls::Cell::Kind::Boolean:
            c.kind = Cell::Kind::Boolean;
            c.flag = x.flag;
            return;
        case xls::Cell::Kind::Text:
            c.kind = Cell::Kind::Text;
            c.text = m_sheet.texts[x.text];
            return;
        case xls::Cell::Kind::Number:
            break;
        }
        if (x.xf < m_dates->size() && (*m_dates)[x.xf]) {
            if (const std::optional<QDateTime> date = SerialToDate(x.number, m_date1904)) {
                c.kind = Cell::Kind::Date;
                c.date = *date;
                return;
            }
        }
        c.kind = Cell::Kind::Number;
        c.number = x.number;
    }

    xls::SheetCells m_sheet;
    std::shared_ptr<const std::vector<bool>> m_dates;
    bool m_date1904 = false;
    size_t m_at = 0;
};

// ---- The table over a sheet

// What a column's values allow it to be, gathered over every row.
struct ColumnGuess {
    bool any = false;
    bool isBoolean = true, isLong = true, isDouble = true, isDate = true;
    qsizetype longest = 0; // of its texts; other values are measured once the type is known

    void take(const Cell& c) {
        if (c.kind == Cell::Kind::Text)
            longest = std::max(longest, c.text.size());
        if (!HoldsValue(c))
            return;
        any = true;
        isBoolean = isBoolean && c.kind == Cell::Kind::Boolean;
        isDouble = isDouble && c.kind == Cell::Kind::Number;
        isLong = isLong && isDouble && IsWhole32(c.number);
        isDate = isDate && c.kind == Cell::Kind::Date;
    }

    bool textual() const { return !any || !(isBoolean || isLong || isDouble || isDate); }

    SourceField field(const QString& name) const {
        if (any && isBoolean)
            return {name, FieldType::Boolean, 0};
        if (any && isLong)
            return {name, FieldType::Long, 0};
        if (any && isDouble)
            return {name, FieldType::Double, 0};
        if (any && isDate)
            return {name, FieldType::Date, 0};
        if (longest > kMaxTextSize)
            return {name, FieldType::Memo, 0};
        return {name, FieldType::Text, int(std::max<qsizetype>(longest, 1))};
    }
};

// The header's names, with blanks run together, made unique.
std::vector<QString> FieldNames(std::vector<QString> header) {
    for (QString& name : header)
        name = name.simplified();
    return UniqueFieldNames(header);
}

// The sheet is read once, its values kept compactly: the types need every row before the first
// is given, and reading the XML again would double the time.
class SheetTable : public SourceTable {
public:
    SheetTable(std::unique_ptr<SheetStream> stream, const QString& file, const QString& sheet) {
        QHash<int, QString> header;
        std::vector<ColumnGuess> guesses;
        int first = INT_MAX, last = -1;
        for (bool headerRow = true; stream->nextRow(); headerRow = false) {
            for (const int c : stream->columns()) {
                const Cell& cell = stream->cell(c);
                if (HoldsValue(cell)) {
                    first = std::min(first, c);
                    last = std::max(last, c);
                }
                if (headerRow) {
                    header.insert(c, TextOf(cell));
                    continue;
                }
                if (size_t(c) >= guesses.size())
                    guesses.resize(size_t(c) + 1);
                guesses[size_t(c)].take(cell);
                store(c, cell);
            }
            if (!headerRow)
                m_rowEnds.push_back(m_cells.size());
            if (m_cells.size() > kMaxCells)
                Fail(QStringLiteral("The sheet \"%1\" of the workbook \"%2\" holds more than %3 "
                                    "values, more than can be imported at once.")
                         .arg(sheet, Shown(file))
                         .arg(kMaxCells));
        }
        if (last < 0) {
            m_rowEnds.clear();
            return;
        }
        const int count = last - first + 1;
        if (count > kMaxFields)
            Fail(QStringLiteral("The sheet \"%1\" of the workbook \"%2\" spans %3 columns; at "
                                "most %4 can be read.")
                     .arg(sheet, Shown(file))
                     .arg(count)
                     .arg(kMaxFields));
        m_first = first;
        guesses.resize(size_t(last) + 1);
        // Numbers, booleans and dates in a text field are shown as text: their length counts.
        for (const Stored& s : m_cells)
            if (s.kind != Cell::Kind::Text && s.column <= last && guesses[s.column].textual())
                guesses[s.column].longest =
                    std::max(guesses[s.column].longest, TextOf(cell(s)).size());
        std::vector<QString> texts;
        for (int c = first; c <= last; ++c)
            texts.push_back(header.value(c));
        const std::vector<QString> names = FieldNames(texts);
        for (int i = 0; i < count; ++i)
            m_fields.push_back(guesses[size_t(first + i)].field(names[size_t(i)]));
        m_values.resize(m_fields.size());
    }

    const std::vector<SourceField>& fields() const override { return m_fields; }

    bool next() override {
        std::fill(m_values.begin(), m_values.end(), QVariant());
        if (m_row >= m_rowEnds.size())
            return false;
        const size_t begin = m_row == 0 ? 0 : m_rowEnds[m_row - 1];
        for (size_t k = begin; k < m_rowEnds[m_row]; ++k) {
            const int i = int(m_cells[k].column) - m_first;
            if (i >= 0 && i < int(m_fields.size()))
                m_values[size_t(i)] = convert(m_fields[size_t(i)].type, m_cells[k]);
        }
        ++m_row;
        return true;
    }

    QVariant value(int index) const override {
        if (index < 0 || index >= int(m_values.size()))
            return {};
        return m_values[size_t(index)];
    }

private:
    struct Stored {
        union {
            double number;
            qint64 msecs; // of a date since 1970, UTC
            qint64 text;  // index in m_texts
        };
        quint16 column;
        Cell::Kind kind;
        bool flag;
    };

    void store(int column, const Cell& c) {
        Stored s;
        s.column = quint16(column);
        s.kind = c.kind;
        s.flag = c.flag;
        switch (c.kind) {
        case Cell::Kind::Number:
            s.number = c.number;
            break;
        case Cell::Kind::Date:
            s.msecs = c.date.toMSecsSinceEpoch();
            break;
        case Cell::Kind::Text:
            s.text = qint64(m_texts.size());
            m_texts.push_back(c.text);
            break;
        default:
            s.number = 0;
            break;
        }
        m_cells.push_back(s);
    }

    Cell cell(const Stored& s) const {
        Cell c;
        c.kind = s.kind;
        c.flag = s.flag;
        if (s.kind == Cell::Kind::Number)
            c.number = s.number;
        else if (s.kind == Cell::Kind::Date)
            c.date = QDateTime::fromMSecsSinceEpoch(s.msecs, Qt::UTC);
        else if (s.kind == Cell::Kind::Text)
            c.text = m_texts[size_t(s.text)];
        return c;
    }

    QVariant convert(FieldType type, const Stored& s) const {
        switch (type) {
        case FieldType::Boolean:
            return s.kind == Cell::Kind::Boolean ? QVariant(s.flag) : QVariant();
        case FieldType::Long:
            return s.kind == Cell::Kind::Number ? QVariant(int(s.number)) : QVariant();
        case FieldType::Double:
            return s.kind == Cell::Kind::Number ? QVariant(s.number) : QVariant();
        case FieldType::Date:
            return s.kind == Cell::Kind::Date
                       ? QVariant(QDateTime::fromMSecsSinceEpoch(s.msecs, Qt::UTC))
                       : QVariant();
        default:
            return s.kind == Cell::Kind::Text ? m_texts[size_t(s.text)] : TextOf(cell(s));
        }
    }

    std::vector<SourceField> m_fields;
    std::vector<QVariant> m_values;
    std::vector<Stored> m_cells;
    std::vector<QString> m_texts;
    std::vector<size_t> m_rowEnds;
    size_t m_row = 0;
    int m_first = 0;
};

// ---- Workbooks and the source

enum class BookKind { Xls, Xlsx };

BookKind KindOf(const QString& path) {
    QFile file(path);
    if (!file.exists())
        Fail(QStringLiteral("The file \"%1\" does not exist.").arg(Shown(path)));
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("The file \"%1\" cannot be opened: %2.")
                 .arg(Shown(path), file.errorString()));
    const QByteArray head = file.read(8);
    if (head.isEmpty())
        Fail(QStringLiteral("The file \"%1\" is empty.").arg(Shown(path)));
    if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06"))
        return BookKind::Xlsx;
    if (head.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return BookKind::Xls;
    // The BOF record of a lone Excel 2.1 to 4.0 worksheet or workbook.
    if (head.size() >= 2 && head[0] == '\x09' &&
        (head[1] == '\x00' || head[1] == '\x02' || head[1] == '\x04'))
        Fail(QStringLiteral("The file \"%1\" is an Excel 4.0 or older file, which cannot be "
                            "read; save it as a newer workbook first.")
                 .arg(Shown(path)));
    Fail(QStringLiteral("The file \"%1\" is not an Excel workbook.").arg(Shown(path)));
}

struct SheetRef {
    QString file;
    BookKind kind = BookKind::Xlsx;
    QString sheet;
    int index = 0; // of an .xls sheet
};

// Sheet names are unique in a sound workbook; a damaged one still gets names that can be told
// apart.
QString UniqueName(QString name, int index, const QSet<QString>& taken) {
    if (name.trimmed().isEmpty())
        name = QStringLiteral("Sheet%1").arg(index + 1);
    QString unique = name;
    for (int k = 1; taken.contains(unique.toCaseFolded()); ++k)
        unique = QStringLiteral("%1_%2").arg(name).arg(k);
    return unique;
}

std::vector<SheetRef> SheetsOf(const QString& path, const ExcelLimits& limits) {
    std::vector<SheetRef> refs;
    QSet<QString> taken;
    const BookKind kind = KindOf(path);
    if (kind == BookKind::Xls) {
        const xls::Book book(path);
        const auto dates = DateXfs(book);
        const std::vector<QString>& names = book.sheetNames();
        for (int i = 0; i < int(names.size()); ++i) {
            const QString name = UniqueName(names[size_t(i)], i, taken);
            XlsStream stream(book, size_t(i), dates);
            if (!stream.nextRow())
                continue;
            taken.insert(name.toCaseFolded());
            refs.push_back({path, kind, name, i});
        }
    } else {
        const Budget budget = std::make_shared<qint64>(0);
        Package package(path, limits, budget);
        const std::shared_ptr<const Book> book = ReadBook(package);
        for (size_t i = 0; i < book->sheets.size(); ++i) {
            const QString name = UniqueName(book->sheets[i].name, int(i), taken);
            XlsxStream stream(path, limits, budget, book, book->sheets[i]);
            if (!stream.nextRow())
                continue;
            taken.insert(name.toCaseFolded());
            refs.push_back({path, kind, name, int(i)});
        }
    }
    if (refs.empty())
        Fail(QStringLiteral("The workbook \"%1\" holds no sheet with data that can be read.")
                 .arg(Shown(path)));
    return refs;
}

bool IsWorkbookName(const QString& name) {
    return !name.startsWith(QLatin1String("~$")) && // the lock file of an open workbook
           (name.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive) ||
            name.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive));
}

class ExcelSource : public Source {
public:
    ExcelSource(const QString& path, const ExcelLimits& limits) : m_limits(limits) {
        const QFileInfo info(path);
        if (!info.exists())
            Fail(QStringLiteral("\"%1\" does not exist.").arg(Shown(path)));
        m_where = Shown(path);
        if (!info.isDir()) {
            m_refs = SheetsOf(path, limits);
            for (const SheetRef& r : m_refs)
                m_names << r.sheet;
            return;
        }
        const QFileInfoList files =
            QDir(path).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        bool any = false;
        for (const QFileInfo& f : files) {
            if (!IsWorkbookName(f.fileName()))
                continue;
            any = true;
            for (const SheetRef& r : SheetsOf(f.filePath(), limits)) {
                m_refs.push_back(r);
                m_names << f.fileName() + u':' + r.sheet;
            }
        }
        if (!any)
            Fail(
                QStringLiteral("The folder \"%1\" holds no .xls or .xlsx files.").arg(Shown(path)));
    }

    QStringList tableNames() const override { return m_names; }

    std::unique_ptr<SourceTable> openTable(const QString& name) override {
        qsizetype at = m_names.indexOf(name);
        for (qsizetype i = 0; i < m_names.size() && at < 0; ++i)
            if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
                at = i;
        if (at < 0)
            Fail(QStringLiteral("There is no table named \"%1\" in \"%2\".").arg(name, m_where));
        const SheetRef& ref = m_refs[size_t(at)];
        // The workbook is read again: it may have changed since it was listed.
        if (ref.kind == BookKind::Xls) {
            const xls::Book book(ref.file);
            if (size_t(ref.index) >= book.sheetNames().size())
                Fail(QStringLiteral("The workbook \"%1\" no longer holds the sheet \"%2\".")
                         .arg(Shown(ref.file), ref.sheet));
            return std::make_unique<SheetTable>(
                std::make_unique<XlsStream>(book, size_t(ref.index), DateXfs(book)), ref.file,
                ref.sheet);
        }
        const Budget budget = std::make_shared<qint64>(0);
        Package package(ref.file, m_limits, budget);
        const std::shared_ptr<const Book> book = ReadBook(package);
        if (size_t(ref.index) >= book->sheets.size())
            Fail(QStringLiteral("The workbook \"%1\" no longer holds the sheet \"%2\".")
                     .arg(Shown(ref.file), ref.sheet));
        return std::make_unique<SheetTable>(
            std::make_unique<XlsxStream>(ref.file, m_limits, budget, book,
                                         book->sheets[size_t(ref.index)]),
            ref.file, ref.sheet);
    }

private:
    ExcelLimits m_limits;
    QString m_where;
    QStringList m_names;
    std::vector<SheetRef> m_refs;
};

} // namespace

std::unique_ptr<Source> OpenExcelSource(const QString& path) {
    return OpenExcelSource(path, ExcelLimits());
}

std::unique_ptr<Source> OpenExcelSource(const QString& path, const ExcelLimits& limits) {
    return std::make_unique<ExcelSource>(path, limits);
}

} // namespace import
