#include "textreader.h"

#include "codepage.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <QTime>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <iconv.h>
#include <optional>
#include <string>
#include <string_view>
#include <uchardet.h>
#include <vector>

namespace import {
namespace {

constexpr qint64 kChunkBytes = 1 << 20;
constexpr qint64 kSniffBytes = 64 * 1024;
constexpr qint64 kDetectBytes = 8 << 20; // what the code page guess looks at, at most
constexpr int kMaxTextSize = 255;

enum class Encoding { Utf8, Utf16LE, Utf16BE, CodePage };

struct TextFormat {
    Encoding encoding = Encoding::Utf8;
    qint64 bomBytes = 0;
    QByteArray charset; // the iconv name, for a code page
    char separator = ',';
};

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void Fail(const QString& message) {
    throw SourceError(message);
}

QFile& OpenFile(QFile& file) {
    if (!file.exists())
        Fail(QStringLiteral("The file \"%1\" does not exist.").arg(Shown(file.fileName())));
    if (!file.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("The file \"%1\" cannot be opened: %2.")
                 .arg(Shown(file.fileName()), file.errorString()));
    return file;
}

qint64 ReadSome(QFile& file, char* into, qint64 max) {
    const qint64 n = file.read(into, max);
    if (n < 0)
        Fail(QStringLiteral("Reading the file \"%1\" failed: %2.")
                 .arg(Shown(file.fileName()), file.errorString()));
    return n;
}

// True when every byte of the file after the first `skip` is valid UTF-8; reads in chunks so
// that a large file is never held whole.
bool FileIsUtf8(QFile& file, qint64 skip) {
    file.seek(skip);
    QByteArray carry;
    QByteArray chunk(kChunkBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 n = ReadSome(file, chunk.data(), kChunkBytes);
        if (n == 0)
            break;
        QByteArray data = carry;
        data.append(chunk.constData(), n);
        // A sequence cut by the chunk's end waits for the next chunk.
        qsizetype cut = data.size();
        for (qsizetype back = 1; back <= 3 && back <= data.size(); ++back) {
            const auto c = uchar(data[data.size() - back]);
            if (c < 0x80)
                break;
            if (c >= 0xC0) {
                const int need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
                if (need > back)
                    cut = data.size() - back;
                break;
            }
        }
        if (!IsValidUtf8(QByteArray::fromRawData(data.constData(), cut)))
            return false;
        carry = data.mid(cut);
    }
    return carry.isEmpty();
}

// uchardet's names are iconv's, but for a few that a Windows program would not have written.
QByteArray IconvName(const QByteArray& detected) {
    if (detected.isEmpty() || detected == "ASCII" || detected == "ISO-8859-1" ||
        detected == "UTF-8")
        return "WINDOWS-1252";
    if (detected == "ISO-8859-9")
        return "WINDOWS-1254";
    if (detected == "x-mac-cyrillic")
        return "MAC-CYRILLIC";
    if (detected == "x-euc-tw")
        return "EUC-TW";
    return detected;
}

QByteArray DetectCharset(QFile& file, qint64 skip) {
    file.seek(skip);
    uchardet_t detector = uchardet_new();
    QByteArray chunk(kChunkBytes, Qt::Uninitialized);
    for (qint64 seen = 0; seen < kDetectBytes;) {
        const qint64 n = ReadSome(file, chunk.data(), kChunkBytes);
        if (n == 0)
            break;
        uchardet_handle_data(detector, chunk.constData(), size_t(n));
        seen += n;
    }
    uchardet_data_end(detector);
    const QByteArray name = IconvName(QByteArray(uchardet_get_charset(detector)));
    uchardet_delete(detector);
    iconv_t probe = iconv_open("UTF-16LE", name.constData());
    if (probe == iconv_t(-1))
        return "WINDOWS-1252";
    iconv_close(probe);
    return name;
}

// UTF-16 without a BOM shows as a zero byte in nearly every other place.
std::optional<Encoding> EvidentUtf16(const QByteArray& head) {
    const qsizetype pairs = head.size() / 2;
    if (pairs < 2)
        return std::nullopt;
    qsizetype zeroEven = 0, zeroOdd = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        zeroEven += head[2 * i] == 0;
        zeroOdd += head[2 * i + 1] == 0;
    }
    if (zeroOdd * 10 >= pairs * 3 && zeroEven * 50 <= pairs)
        return Encoding::Utf16LE;
    if (zeroEven * 10 >= pairs * 3 && zeroOdd * 50 <= pairs)
        return Encoding::Utf16BE;
    return std::nullopt;
}

TextFormat DetectEncoding(const QString& path) {
    QFile file(path);
    OpenFile(file);
    const QByteArray head = file.read(kSniffBytes);
    TextFormat format;
    if (head.startsWith("\xEF\xBB\xBF")) {
        format.bomBytes = 3;
    } else if (head.startsWith("\xFF\xFE")) {
        format.encoding = Encoding::Utf16LE;
        format.bomBytes = 2;
    } else if (head.startsWith("\xFE\xFF")) {
        format.encoding = Encoding::Utf16BE;
        format.bomBytes = 2;
    } else if (const std::optional<Encoding> utf16 = EvidentUtf16(head)) {
        format.encoding = *utf16;
    } else if (head.contains('\0')) {
        Fail(QStringLiteral("The file \"%1\" is not a text file: it holds binary data.")
                 .arg(Shown(path)));
    } else if (!FileIsUtf8(file, 0)) {
        format.encoding = Encoding::CodePage;
        format.charset = DetectCharset(file, 0);
    }
    if (file.size() <= format.bomBytes)
        Fail(QStringLiteral("The file \"%1\" is empty.").arg(Shown(path)));
    return format;
}

// The file's text as bytes the parser can split on ASCII marks: UTF-8 or code page bytes as
// they stand, UTF-16 converted to UTF-8 chunk by chunk.
class ByteStream {
public:
    ByteStream(const QString& path, const TextFormat& format) : m_file(path), m_format(format) {
        if (format.encoding == Encoding::Utf16LE || format.encoding == Encoding::Utf16BE)
            m_raw.resize(kChunkBytes);
        OpenFile(m_file);
        rewind();
    }

    void rewind() {
        m_file.seek(m_format.bomBytes);
        m_pos = m_buffer.size();
        m_atEnd = false;
        if (m_format.encoding == Encoding::Utf16LE)
            m_utf16.emplace(QStringConverter::Utf16LE);
        else if (m_format.encoding == Encoding::Utf16BE)
            m_utf16.emplace(QStringConverter::Utf16BE);
    }

    int get() {
        if (m_pos < m_buffer.size())
            return uchar(m_buffer[m_pos++]);
        return fill() ? uchar(m_buffer[m_pos++]) : -1;
    }
    int peek() {
        if (m_pos < m_buffer.size())
            return uchar(m_buffer[m_pos]);
        return fill() ? uchar(m_buffer[m_pos]) : -1;
    }

private:
    bool fill() {
        while (!m_atEnd) {
            m_pos = 0;
            if (!m_utf16) {
                m_buffer.resize(kChunkBytes);
                m_buffer.resize(ReadSome(m_file, m_buffer.data(), kChunkBytes));
                m_atEnd = m_buffer.isEmpty();
            } else {
                const qint64 n = ReadSome(m_file, m_raw.data(), kChunkBytes);
                m_atEnd = n == 0;
                m_buffer = QString(m_utf16->decode(QByteArrayView(m_raw.constData(), n))).toUtf8();
            }
            if (!m_buffer.isEmpty())
                return true;
        }
        return false;
    }

    QFile m_file;
    TextFormat m_format;
    QByteArray m_raw;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_atEnd = false;
    std::optional<QStringDecoder> m_utf16;
};

// The separator is whichever of comma, semicolon and tab occurs most in the first line, quoted
// values left out; comma when none does.
char DetectSeparator(ByteStream& in, qint64 maxLineBytes) {
    qint64 counts[3] = {0, 0, 0};
    const char marks[3] = {',', ';', '\t'};
    bool quoted = false, fieldStart = true, started = false;
    for (qint64 n = 0; n < maxLineBytes; ++n) {
        const int c = in.get();
        if (c < 0)
            break;
        if (!started && (c == '\n' || c == '\r'))
            continue; // empty lines before the first
        started = true;
        if (quoted) {
            if (c == '"') {
                if (in.peek() == '"')
                    in.get();
                else
                    quoted = false;
            }
            continue;
        }
        if (c == '\n' || c == '\r')
            break;
        if (c == '"' && fieldStart) {
            quoted = true;
            continue;
        }
        fieldStart = false;
        for (int k = 0; k < 3; ++k)
            if (c == marks[k]) {
                ++counts[k];
                fieldStart = true;
            }
    }
    int best = 0;
    for (int k = 1; k < 3; ++k)
        if (counts[k] > counts[best])
            best = k;
    return marks[best];
}

// Splits the text into records of fields: RFC 4180 quoting with doubled quotes and line breaks
// inside quotes; a quote inside an unquoted value is an ordinary character.
class RecordReader {
public:
    RecordReader(ByteStream& in, char separator, QString path, qint64 maxLineBytes)
        : m_in(in), m_separator(separator), m_path(std::move(path)), m_maxLine(maxLineBytes) {}

    // Fields past this count are read over and dropped.
    void setKeep(int keep) { m_keep = keep; }

    // The next record; false at the end of the text. Empty lines are skipped.
    bool next() {
        m_data.clear();
        m_spans.clear();
        m_seen = 0;
        m_lineBytes = 0;
        int c = m_in.get();
        while (c == '\n' || c == '\r') {
            if (c == '\r' && m_in.peek() == '\n')
                m_in.get();
            ++m_line;
            c = m_in.get();
        }
        if (c < 0)
            return false;
        m_recordLine = m_line;
        for (;;) {
            const size_t start = m_data.size();
            const bool keep = m_seen < m_keep;
            if (c == '"') {
                const qint64 quoteLine = m_line;
                for (;;) {
                    c = m_in.get();
                    if (c < 0)
                        Fail(QStringLiteral(
                                 "In the file \"%1\", the quoted value that starts on line %2 "
                                 "has no closing quote.")
                                 .arg(Shown(m_path))
                                 .arg(quoteLine));
                    if (c == '"') {
                        if (m_in.peek() != '"') {
                            c = m_in.get();
                            break;
                        }
                        m_in.get();
                    } else if (c == '\n' || (c == '\r' && m_in.peek() != '\n')) {
                        ++m_line;
                    }
                    add(char(c), keep);
                }
            }
            // Unquoted text, or what follows a closing quote up to the separator.
            while (c >= 0 && c != m_separator && c != '\n' && c != '\r') {
                add(char(c), keep);
                c = m_in.get();
            }
            if (keep)
                m_spans.emplace_back(start, m_data.size() - start);
            ++m_seen;
            if (c == m_separator) {
                countByte();
                c = m_in.get();
                continue;
            }
            if (c == '\r' && m_in.peek() == '\n')
                m_in.get();
            if (c >= 0)
                ++m_line;
            return true;
        }
    }

    int count() const { return int(m_spans.size()); }
    int seen() const { return m_seen; }
    std::string_view field(int i) const {
        const auto& [start, size] = m_spans[size_t(i)];
        return std::string_view(m_data).substr(start, size);
    }
    qint64 recordLine() const { return m_recordLine; }

private:
    void add(char c, bool keep) {
        countByte();
        if (keep)
            m_data.push_back(c);
    }

    void countByte() {
        if (++m_lineBytes > m_maxLine)
            Fail(QStringLiteral(
                     "In the file \"%1\", the line that starts on line %2 is longer than %3 bytes.")
                     .arg(Shown(m_path))
                     .arg(m_recordLine)
                     .arg(m_maxLine));
    }

    ByteStream& m_in;
    char m_separator;
    QString m_path;
    qint64 m_maxLine;
    int m_keep = kMaxFields + 1;
    std::string m_data;
    std::vector<std::pair<size_t, size_t>> m_spans;
    int m_seen = 0;
    qint64 m_lineBytes = 0;
    qint64 m_line = 1;
    qint64 m_recordLine = 1;
};

// Turns code page bytes into text with one converter kept for the whole file.
class CodePageDecoder {
public:
    explicit CodePageDecoder(const QByteArray& charset) {
        m_cd = iconv_open("UTF-16LE", charset.constData());
        if (m_cd == iconv_t(-1))
            m_cd = iconv_open("UTF-16LE", "WINDOWS-1252");
    }
    ~CodePageDecoder() {
        if (m_cd != iconv_t(-1))
            iconv_close(m_cd);
    }
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    QString decode(std::string_view bytes) {
        if (m_cd == iconv_t(-1))
            return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        // A byte never yields more than two UTF-16 units in these code pages.
        m_out.resize(bytes.size() * 2 + 4);
        char* in = const_cast<char*>(bytes.data());
        size_t inLeft = bytes.size();
        char* out = reinterpret_cast<char*>(m_out.data());
        size_t outLeft = m_out.size() * sizeof(char16_t);
        QString text;
        while (inLeft > 0) {
            const size_t rc = iconv(m_cd, &in, &inLeft, &out, &outLeft);
            if (rc != size_t(-1))
                break;
            if (errno == E2BIG)
                break; // cannot happen with the room above; stop rather than loop
            // A byte the code page leaves undefined, or a sequence cut short.
            const size_t done =
                size_t(out - reinterpret_cast<char*>(m_out.data())) / sizeof(char16_t);
            if (outLeft < sizeof(char16_t))
                break;
            m_out[done] = u'\uFFFD';
            out += sizeof(char16_t);
            outLeft -= sizeof(char16_t);
            ++in;
            --inLeft;
        }
        const size_t units = size_t(out - reinterpret_cast<char*>(m_out.data())) / sizeof(char16_t);
        return QString(reinterpret_cast<const QChar*>(m_out.data()), qsizetype(units));
    }

private:
    iconv_t m_cd = iconv_t(-1);
    std::vector<char16_t> m_out;
};

bool IsAscii(std::string_view bytes) {
    for (const char c : bytes)
        if (uchar(c) >= 0x80)
            return false;
    return true;
}

std::string_view Trimmed(std::string_view v) {
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t'))
        v.remove_prefix(1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t'))
        v.remove_suffix(1);
    return v;
}

// A whole number written with a leading zero ("007", a code or a zip code) is not a number:
// reading it as one would lose its zeros.
bool LeadingZero(std::string_view digits) {
    return digits.size() > 1 && digits[0] == '0' && digits[1] >= '0' && digits[1] <= '9';
}

std::string_view Unsigned(std::string_view v) {
    if (!v.empty() && (v[0] == '-' || v[0] == '+'))
        v.remove_prefix(1);
    return v;
}

std::optional<int> ParseLong(std::string_view v) {
    const std::string_view digits = Unsigned(v);
    if (digits.empty() || digits.size() > 11 || LeadingZero(digits))
        return std::nullopt;
    for (const char c : digits)
        if (c < '0' || c > '9')
            return std::nullopt;
    const char* first = v.data() + (v[0] == '+' ? 1 : 0);
    int value = 0;
    const auto [end, ec] = std::from_chars(first, v.data() + v.size(), value);
    if (ec != std::errc() || end != v.data() + v.size())
        return std::nullopt;
    return value;
}

std::optional<double> ParseDouble(std::string_view v) {
    const std::string_view u = Unsigned(v);
    // Digits, an optional point and digits, an optional exponent: no names, no hex.
    size_t i = 0, digits = 0;
    while (i < u.size() && u[i] >= '0' && u[i] <= '9')
        ++i;
    if (LeadingZero(u.substr(0, i)))
        return std::nullopt;
    digits = i;
    if (i < u.size() && u[i] == '.') {
        ++i;
        while (i < u.size() && u[i] >= '0' && u[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < u.size() && (u[i] == 'e' || u[i] == 'E')) {
        ++i;
        if (i < u.size() && (u[i] == '-' || u[i] == '+'))
            ++i;
        const size_t expStart = i;
        while (i < u.size() && u[i] >= '0' && u[i] <= '9')
            ++i;
        if (i == expStart)
            return std::nullopt;
    }
    if (i != u.size())
        return std::nullopt;
    const char* first = v.data() + (v[0] == '+' ? 1 : 0);
    double value = 0;
    const auto [end, ec] = std::from_chars(first, v.data() + v.size(), value);
    if (ec != std::errc() || end != v.data() + v.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool EqualsNoCase(std::string_view v, std::string_view word) {
    if (v.size() != word.size())
        return false;
    for (size_t i = 0; i < v.size(); ++i)
        if (char(v[i] | 0x20) != word[i])
            return false;
    return true;
}

std::optional<bool> ParseBoolean(std::string_view v) {
    if (EqualsNoCase(v, "true") || EqualsNoCase(v, "yes"))
        return true;
    if (EqualsNoCase(v, "false") || EqualsNoCase(v, "no"))
        return false;
    return std::nullopt;
}

// yyyy-mm-dd, optionally followed by a 'T' or a blank and hh:mm, hh:mm:ss or hh:mm:ss.fff.
std::optional<QDateTime> ParseDate(std::string_view v) {
    auto number = [&](size_t at, size_t len, int& out) {
        if (at + len > v.size())
            return false;
        out = 0;
        for (size_t i = at; i < at + len; ++i) {
            if (v[i] < '0' || v[i] > '9')
                return false;
            out = out * 10 + (v[i] - '0');
        }
        return true;
    };
    int y, mo, d, h = 0, mi = 0, s = 0, ms = 0;
    if (v.size() < 10 || !number(0, 4, y) || v[4] != '-' || !number(5, 2, mo) || v[7] != '-' ||
        !number(8, 2, d))
        return std::nullopt;
    if (v.size() > 10) {
        if ((v[10] != 'T' && v[10] != ' ') || !number(11, 2, h) || v.size() < 16 || v[13] != ':' ||
            !number(14, 2, mi))
            return std::nullopt;
        size_t at = 16;
        if (v.size() > at) {
            if (v[at] != ':' || !number(at + 1, 2, s))
                return std::nullopt;
            at += 3;
            if (v.size() > at) {
                if (v[at] != '.' || !number(at + 1, 3, ms) || v.size() != at + 4)
                    return std::nullopt;
            }
        }
    }
    const QDate date(y, mo, d);
    const QTime time(h, mi, s, ms);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

// What a column's values allow it to be, gathered over every row.
struct ColumnGuess {
    bool any = false; // a value that is not blank
    bool isLong = true, isDouble = true, isBoolean = true, isDate = true;
    qsizetype longest = 0;

    void take(std::string_view raw, qsizetype length) {
        longest = std::max(longest, length);
        const std::string_view v = Trimmed(raw);
        if (v.empty())
            return;
        any = true;
        if (isLong && !ParseLong(v))
            isLong = false;
        if (!isLong && isDouble && !ParseDouble(v))
            isDouble = false;
        if (isBoolean && !ParseBoolean(v))
            isBoolean = false;
        if (isDate && !ParseDate(v))
            isDate = false;
    }

    SourceField field(const QString& name) const {
        if (any && isLong)
            return {name, FieldType::Long, 0};
        if (any && isDouble)
            return {name, FieldType::Double, 0};
        if (any && isBoolean)
            return {name, FieldType::Boolean, 0};
        if (any && isDate)
            return {name, FieldType::Date, 0};
        if (longest > kMaxTextSize)
            return {name, FieldType::Memo, 0};
        return {name, FieldType::Text, int(std::max<qsizetype>(longest, 1))};
    }
};

// The header's names, without blanks around them, made unique.
std::vector<QString> FieldNames(std::vector<QString> header) {
    for (QString& name : header) name = name.trimmed();
    return UniqueFieldNames(header);
}

class TextTable : public SourceTable {
public:
    TextTable(const QString& path, qint64 maxLineBytes)
        : m_path(path), m_format(DetectEncoding(path)), m_stream(path, m_format) {
        m_format.separator = DetectSeparator(m_stream, maxLineBytes);
        m_stream.rewind();
        if (m_format.encoding == Encoding::CodePage)
            m_codePage.emplace(m_format.charset);
        m_records.emplace(m_stream, m_format.separator, path, maxLineBytes);
        readHeader();
        guessTypes();
        m_stream.rewind();
        m_records.emplace(m_stream, m_format.separator, path, maxLineBytes);
        m_records->setKeep(int(m_fields.size()));
        m_records->next(); // the header
        m_values.resize(m_fields.size());
    }

    const std::vector<SourceField>& fields() const override { return m_fields; }

    bool next() override {
        if (!m_records->next()) {
            std::fill(m_values.begin(), m_values.end(), QVariant());
            return false;
        }
        for (int i = 0; i < int(m_fields.size()); ++i)
            m_values[size_t(i)] = i < m_records->count()
                                      ? convert(m_fields[size_t(i)].type, m_records->field(i))
                                      : QVariant();
        return true;
    }

    QVariant value(int index) const override {
        if (index < 0 || index >= int(m_values.size()))
            return {};
        return m_values[size_t(index)];
    }

private:
    QString decode(std::string_view bytes) {
        if (m_codePage && !IsAscii(bytes))
            return m_codePage->decode(bytes);
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    }

    // Characters (UTF-16 units, as the text will hold them) of a value.
    qsizetype length(std::string_view bytes) {
        if (m_codePage)
            return IsAscii(bytes) ? qsizetype(bytes.size()) : decode(bytes).size();
        qsizetype units = 0;
        for (const char c : bytes) {
            const auto b = uchar(c);
            units += (b & 0xC0) != 0x80;
            units += b >= 0xF0; // outside the basic plane: a surrogate pair
        }
        return units;
    }

    void readHeader() {
        if (!m_records->next())
            Fail(QStringLiteral("The file \"%1\" is empty.").arg(Shown(m_path)));
        if (m_records->seen() > kMaxFields)
            Fail(QStringLiteral(
                     "The file \"%1\" has %2 fields in its first line; at most %3 can be read.")
                     .arg(Shown(m_path))
                     .arg(m_records->seen())
                     .arg(kMaxFields));
        std::vector<QString> header;
        for (int i = 0; i < m_records->count(); ++i)
            header.push_back(decode(m_records->field(i)));
        const std::vector<QString> names = FieldNames(header);
        m_fields.resize(names.size());
        for (size_t i = 0; i < names.size(); ++i)
            m_fields[i].name = names[i];
    }

    void guessTypes() {
        const int n = int(m_fields.size());
        std::vector<ColumnGuess> guesses(static_cast<size_t>(n));
        m_records->setKeep(n);
        while (m_records->next()) {
            for (int i = 0; i < m_records->count(); ++i) {
                const std::string_view v = m_records->field(i);
                ColumnGuess& g = guesses[size_t(i)];
                // A value can hold no more characters than bytes: count only when it may be longer.
                g.take(v, qsizetype(v.size()) > g.longest ? length(v) : 0);
            }
        }
        for (int i = 0; i < n; ++i)
            m_fields[size_t(i)] = guesses[size_t(i)].field(m_fields[size_t(i)].name);
    }

    // A value that no longer fits its column (the file changed since it was opened) reads as NULL.
    QVariant convert(FieldType type, std::string_view raw) {
        if (type == FieldType::Text || type == FieldType::Memo)
            return decode(raw);
        const std::string_view v = Trimmed(raw);
        if (v.empty())
            return {};
        switch (type) {
        case FieldType::Long:
            if (const auto n = ParseLong(v))
                return *n;
            break;
        case FieldType::Double:
            if (const auto d = ParseDouble(v))
                return *d;
            break;
        case FieldType::Boolean:
            if (const auto b = ParseBoolean(v))
                return *b;
            break;
        case FieldType::Date:
            if (const auto d = ParseDate(v))
                return *d;
            break;
        default:
            break;
        }
        return {};
    }

    QString m_path;
    TextFormat m_format;
    ByteStream m_stream;
    std::optional<CodePageDecoder> m_codePage;
    std::optional<RecordReader> m_records;
    std::vector<SourceField> m_fields;
    std::vector<QVariant> m_values;
};

bool IsTextFileName(const QString& name) {
    return name.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
}

class TextSource final : public FileTablesSource {
public:
    TextSource(const QString& where, std::vector<TableFile> tables, qint64 maxLineBytes)
        : FileTablesSource(where, std::move(tables)), m_maxLine(maxLineBytes) {}

private:
    std::unique_ptr<SourceTable> openFile(const QString& path) override {
        return std::make_unique<TextTable>(path, m_maxLine);
    }
    qint64 m_maxLine;
};

} // namespace

std::unique_ptr<Source> OpenTextSource(const QString& path) {
    return OpenTextSource(path, kMaxValueBytes);
}

std::unique_ptr<Source> OpenTextSource(const QString& path, qint64 maxLineBytes) {
    const QFileInfo info(path);
    if (!info.exists())
        Fail(QStringLiteral("\"%1\" does not exist.").arg(Shown(path)));
    std::vector<FileTablesSource::TableFile> tables;
    if (info.isDir()) {
        tables = TableFilesOfFolder(
            path, [](const QFileInfo& f) { return IsTextFileName(f.fileName()); },
            [](const QFileInfo& f) { return f.fileName(); });
        if (tables.empty())
            Fail(QStringLiteral("The folder \"%1\" holds no .csv or .txt files.").arg(Shown(path)));
    } else {
        DetectEncoding(path); // tells an empty, unreadable or binary file at once
        tables.push_back({info.fileName(), info.filePath()});
    }
    return std::make_unique<TextSource>(Shown(path), std::move(tables), std::max<qint64>(maxLineBytes, 1));
}

} // namespace import
