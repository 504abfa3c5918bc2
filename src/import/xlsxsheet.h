#pragma once

#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A small pull parser for the XML of an .xlsx worksheet, several times faster than a general
// XML reader: UTF-8 bytes in, element names and attributes as byte views, and the character
// data of chosen elements collected as UTF-8. It checks what makes the part well-formed
// (nesting, names, attribute syntax, references, one root), refuses a document type declaration
// (no entity expansion), and holds bounded memory whatever the bytes: names, attribute values,
// attribute counts, nesting depth and collected text all have ceilings.
namespace import::xlsx {

struct XmlError {
    enum Kind { Malformed, TooLong, Unreadable };
    Kind kind;
    QString what; // for Malformed: what is wrong, in plain words
    qint64 line;
};

class XmlPull {
public:
    // Fills up to size bytes; 0 at the end of the part, -1 when it cannot be read.
    using Source = std::function<qint64(char* data, qint64 size)>;
    enum class Token { Start, End, EndOfDocument };

    static constexpr size_t kMaxName = 1024;
    static constexpr size_t kMaxAttributeValue = 1 << 20;
    static constexpr size_t kMaxAttributes = 1024;
    static constexpr size_t kMaxDepth = 1024;

    // textLimit: the most bytes one collect() may gather.
    XmlPull(Source source, size_t textLimit);

    // The next element start or end; character data between them goes to the collect() target
    // or, without one, is checked and dropped. Throws XmlError.
    Token next();

    // The local name (without a prefix) of the element just started or ended.
    std::string_view name() const { return m_name; }
    // An attribute of the element just started, by its name as written; empty when absent.
    std::string_view attribute(std::string_view qualifiedName) const;

    // Character data from now on is appended to into (nullptr: dropped).
    void collect(std::string* into) { m_collect = into; }
    // The character data inside the element just started, to its end, nested elements' included.
    void text(std::string& into);
    // Steps over the element just started, to its end.
    void skip();

    qint64 line() const { return m_line; }

private:
    int peek() {
        if (m_p == m_end && !refill())
            return -1;
        return static_cast<unsigned char>(*m_p);
    }
    int get() {
        const int c = peek();
        if (c >= 0) {
            ++m_p;
            if (c == '\n')
                ++m_line;
        }
        return c;
    }
    bool refill();
    [[noreturn]] void fail(const char* what) const;
    void expect(const char* literal, const char* what);
    void readName(std::string& into);
    void skipSpace();
    bool skipUntil(const char* terminator);
    void readReference(std::string* into);
    void scanText();
    void append(char c);
    void append(std::string_view bytes);
    void startTag();
    void endTag();
    void declarationOrInstruction();
    void markup();
    void walkToEnd();
    void begin();

    Source m_source;
    size_t m_textLimit;
    std::vector<char> m_buffer;
    const char* m_p = nullptr;
    const char* m_end = nullptr;
    bool m_eof = false;
    qint64 m_line = 1;
    bool m_begun = false;
    bool m_atStart = true;
    bool m_sawRoot = false;
    bool m_pendingEnd = false;
    std::vector<std::string> m_stack;
    size_t m_depth = 0; // elements open; m_stack keeps its strings for reuse
    std::string m_qualified;
    std::string_view m_name;
    std::vector<std::pair<std::string, std::string>> m_attributes;
    size_t m_attributeCount = 0;
    std::string* m_collect = nullptr;
};

} // namespace import::xlsx
