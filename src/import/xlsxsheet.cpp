#include "xlsxsheet.h"

#include <cstring>

namespace import::xlsx {
namespace {

constexpr size_t kChunk = 64 * 1024;

bool NameStart(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
}
bool NameChar(int c) {
    return NameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}
bool Space(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view Local(const std::string& qualified) {
    const size_t colon = qualified.rfind(':');
    return colon == std::string::npos ? std::string_view(qualified)
                                      : std::string_view(qualified).substr(colon + 1);
}

// A character XML allows, as UTF-8; false for one it does not.
bool EncodeChar(quint32 u, char* out, int& n) {
    const bool allowed = u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u <= 0xD7FF) ||
                         (u >= 0xE000 && u <= 0xFFFD) || (u >= 0x10000 && u <= 0x10FFFF);
    if (!allowed)
        return false;
    if (u < 0x80) {
        out[0] = char(u);
        n = 1;
    } else if (u < 0x800) {
        out[0] = char(0xC0 | (u >> 6));
        out[1] = char(0x80 | (u & 0x3F));
        n = 2;
    } else if (u < 0x10000) {
        out[0] = char(0xE0 | (u >> 12));
        out[1] = char(0x80 | ((u >> 6) & 0x3F));
        out[2] = char(0x80 | (u & 0x3F));
        n = 3;
    } else {
        out[0] = char(0xF0 | (u >> 18));
        out[1] = char(0x80 | ((u >> 12) & 0x3F));
        out[2] = char(0x80 | ((u >> 6) & 0x3F));
        out[3] = char(0x80 | (u & 0x3F));
        n = 4;
    }
    return true;
}

} // namespace

XmlPull::XmlPull(Source source, size_t textLimit)
    : m_source(std::move(source)), m_textLimit(textLimit), m_buffer(kChunk) {}

void XmlPull::begin() {
    m_begun = true;
    if (peek() == 0xEF) { // a UTF-8 byte order mark
        for (const int mark : {0xEF, 0xBB, 0xBF})
            if (get() != mark)
                fail("the part is not in UTF-8");
    } else if (peek() == 0xFF || peek() == 0xFE || peek() == 0) {
        fail("the part is not in UTF-8");
    }
}

bool XmlPull::refill() {
    if (m_eof)
        return false;
    const qint64 n = m_source(m_buffer.data(), qint64(m_buffer.size()));
    if (n < 0)
        throw XmlError{XmlError::Unreadable, QString(), m_line};
    if (n == 0) {
        m_eof = true;
        return false;
    }
    m_p = m_buffer.data();
    m_end = m_p + n;
    return true;
}

void XmlPull::fail(const char* what) const {
    throw XmlError{XmlError::Malformed, QString::fromLatin1(what), m_line};
}

void XmlPull::expect(const char* literal, const char* what) {
    for (const char* c = literal; *c; ++c)
        if (get() != static_cast<unsigned char>(*c))
            fail(what);
}

void XmlPull::readName(std::string& into) {
    into.clear();
    if (!NameStart(peek()))
        fail("a tag has no valid name");
    // Most names lie whole in the buffer.
    const char* s = m_p;
    while (s < m_end && NameChar(static_cast<unsigned char>(*s)))
        ++s;
    if (s < m_end) {
        if (size_t(s - m_p) > kMaxName)
            fail("a name is too long");
        into.assign(m_p, s);
        m_p = s;
        return;
    }
    while (NameChar(peek())) {
        if (into.size() == kMaxName)
            fail("a name is too long");
        into += char(get());
    }
}

void XmlPull::skipSpace() {
    while (Space(peek()))
        get();
}

bool XmlPull::skipUntil(const char* terminator) {
    const size_t n = std::strlen(terminator);
    char last[4] = {};
    for (;;) {
        const int c = get();
        if (c < 0)
            return false;
        std::memmove(last, last + 1, n - 1);
        last[n - 1] = char(c);
        if (std::memcmp(last, terminator, n) == 0)
            return true;
    }
}

// After '&': a predefined entity or a character reference; into, when given, gets its UTF-8.
void XmlPull::readReference(std::string* into) {
    char ref[12];
    size_t n = 0;
    for (;;) {
        const int c = get();
        if (c < 0)
            fail("the part ends inside a reference");
        if (c == ';')
            break;
        if (n == sizeof ref || (!NameChar(c) && c != '#'))
            fail("a reference is not closed by ';'");
        ref[n++] = char(c);
    }
    const std::string_view name(ref, n);
    char out[4];
    int length = 1;
    if (name == "amp")
        out[0] = '&';
    else if (name == "lt")
        out[0] = '<';
    else if (name == "gt")
        out[0] = '>';
    else if (name == "quot")
        out[0] = '"';
    else if (name == "apos")
        out[0] = '\'';
    else if (n >= 1 && ref[0] == '#') {
        const bool hex = n >= 2 && ref[1] == 'x';
        const size_t first = hex ? 2 : 1;
        if (first == n)
            fail("a character reference has no digits");
        quint32 u = 0;
        for (size_t i = first; i < n; ++i) {
            const char c = ref[i];
            int digit;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else
                fail("a character reference holds a character that is not a digit");
            u = u * (hex ? 16 : 10) + quint32(digit);
            if (u > 0x10FFFF)
                fail("a character reference names no character");
        }
        if (!EncodeChar(u, out, length))
            fail("a character reference names a character XML does not allow");
    } else {
        fail("a reference to an entity that is not declared");
    }
    if (into)
        into->append(out, size_t(length));
}

void XmlPull::append(char c) {
    if (m_collect->size() >= m_textLimit)
        throw XmlError{XmlError::TooLong, QString(), m_line};
    *m_collect += c;
}

void XmlPull::append(std::string_view bytes) {
    if (m_collect->size() + bytes.size() > m_textLimit)
        throw XmlError{XmlError::TooLong, QString(), m_line};
    m_collect->append(bytes);
}

// Character data up to the next '<' or the end; line ends become "\n" as XML says.
void XmlPull::scanText() {
    for (;;) {
        if (m_p == m_end && !refill())
            return;
        const char* s = m_p;
        while (s < m_end && *s != '<' && *s != '&' && *s != '\n' && *s != '\r')
            ++s;
        if (s > m_p) {
            m_atStart = false;
            if (m_depth == 0) {
                for (const char* c = m_p; c < s; ++c)
                    if (!Space(static_cast<unsigned char>(*c)))
                        fail("text lies outside the document's element");
            } else if (m_collect) {
                append(std::string_view(m_p, size_t(s - m_p)));
            }
            m_p = s;
        }
        if (m_p == m_end)
            continue;
        const char c = *m_p;
        if (c == '<')
            return;
        m_atStart = false;
        get();
        if (c == '&') {
            if (m_depth == 0)
                fail("text lies outside the document's element");
            std::string decoded;
            readReference(m_collect ? &decoded : nullptr);
            if (m_collect)
                append(decoded);
            continue;
        }
        if (c == '\r' && peek() == '\n')
            get();
        if (m_collect && m_depth > 0)
            append('\n');
    }
}

void XmlPull::startTag() {
    if (m_depth == 0 && m_sawRoot)
        fail("a second element follows the document's element");
    if (m_depth == kMaxDepth)
        fail("elements are nested too deeply");
    if (m_stack.size() <= m_depth)
        m_stack.emplace_back();
    std::string& qualified = m_stack[m_depth];
    readName(qualified);
    m_attributeCount = 0;
    for (;;) {
        const bool spaced = Space(peek());
        skipSpace();
        int c = peek();
        if (c == '>') {
            get();
            break;
        }
        if (c == '/') {
            get();
            expect(">", "a tag's '/' is not followed by '>'");
            m_pendingEnd = true;
            break;
        }
        if (c < 0)
            fail("the part ends inside a tag");
        if (!spaced)
            fail("a tag's attributes are not separated by blanks");
        if (m_attributeCount == kMaxAttributes)
            fail("an element has too many attributes");
        if (m_attributes.size() <= m_attributeCount)
            m_attributes.emplace_back();
        auto& [name, value] = m_attributes[m_attributeCount++];
        readName(name);
        skipSpace();
        if (get() != '=')
            fail("an attribute has no value");
        skipSpace();
        const int quote = get();
        if (quote != '"' && quote != '\'')
            fail("an attribute's value is not in quotes");
        value.clear();
        // Most values lie whole in the buffer, without references or blanks to change.
        const char* v = m_p;
        while (v < m_end && *v != quote && *v != '<' && *v != '&' && !Space(uchar(*v)))
            ++v;
        if (v < m_end && *v == quote && size_t(v - m_p) <= kMaxAttributeValue) {
            value.assign(m_p, v);
            m_p = v + 1;
            continue;
        }
        for (;;) {
            c = get();
            if (c < 0)
                fail("the part ends inside a tag");
            if (c == quote)
                break;
            if (c == '<')
                fail("an attribute's value holds '<'");
            if (c == '&')
                readReference(&value);
            else
                value += Space(c) ? ' ' : char(c);
            if (value.size() > kMaxAttributeValue)
                fail("an attribute's value is too long");
        }
    }
    ++m_depth;
    m_sawRoot = true;
    m_name = Local(qualified);
}

void XmlPull::endTag() {
    readName(m_qualified);
    skipSpace();
    if (get() != '>')
        fail("an end tag is not closed by '>'");
    if (m_depth == 0 || m_stack[m_depth - 1] != m_qualified)
        fail("an end tag does not match its start tag");
    --m_depth;
    m_name = Local(m_stack[m_depth]);
}

// After "<?": the XML declaration (which must say UTF-8 if it names an encoding), or another
// processing instruction, skipped.
void XmlPull::declarationOrInstruction() {
    const bool first = m_atStart;
    std::string target;
    readName(target);
    if (target.size() != 3 || (target[0] | 0x20) != 'x' || (target[1] | 0x20) != 'm' ||
        (target[2] | 0x20) != 'l') {
        if (!skipUntil("?>"))
            fail("the part ends inside a processing instruction");
        return;
    }
    if (!first || target != "xml")
        fail("the XML declaration is not at the start of the part");
    std::string content;
    for (;;) {
        const int c = get();
        if (c < 0)
            fail("the part ends inside the XML declaration");
        if (c == '>' && !content.empty() && content.back() == '?')
            break;
        if (content.size() == 1024)
            fail("the XML declaration is too long");
        content += char(c);
    }
    const size_t at = content.find("encoding");
    if (at == std::string::npos)
        return;
    const size_t open = content.find_first_of("\"'", at);
    const size_t close = open == std::string::npos ? open : content.find(content[open], open + 1);
    if (close == std::string::npos)
        fail("the XML declaration is damaged");
    std::string encoding = content.substr(open + 1, close - open - 1);
    for (char& c : encoding)
        c = char(c | 0x20);
    if (encoding != "utf-8" && encoding != "utf8")
        fail("the part is not in UTF-8");
}

// After "<!": a comment, a CDATA section, or a refused document type declaration.
void XmlPull::markup() {
    if (peek() == '-') {
        expect("--", "a comment does not start with \"<!--\"");
        if (!skipUntil("-->"))
            fail("the part ends inside a comment");
        return;
    }
    if (peek() == '[') {
        expect("[CDATA[", "unknown markup starts with \"<![\"");
        if (m_depth == 0)
            fail("text lies outside the document's element");
        char last[3] = {};
        size_t held = 0; // bytes of last not yet given to the text
        for (;;) {
            const int c = get();
            if (c < 0)
                fail("the part ends inside a CDATA section");
            if (held == 3) {
                if (m_collect)
                    append(last[0]);
                std::memmove(last, last + 1, 2);
                --held;
            }
            last[held++] = char(c);
            if (held == 3 && std::memcmp(last, "]]>", 3) == 0)
                return;
        }
    }
    if (peek() == 'D')
        fail("a document type declaration, which a workbook part never holds");
    fail("unknown markup starts with \"<!\"");
}

XmlPull::Token XmlPull::next() {
    if (!m_begun)
        begin();
    if (m_pendingEnd) {
        m_pendingEnd = false;
        --m_depth;
        m_name = Local(m_stack[m_depth]);
        return Token::End;
    }
    for (;;) {
        scanText();
        if (peek() < 0) {
            if (m_depth > 0)
                fail("the part ends before all its elements are closed");
            if (!m_sawRoot)
                fail("the part holds no element");
            return Token::EndOfDocument;
        }
        get(); // '<'
        const int c = peek();
        if (c == '/') {
            get();
            m_atStart = false;
            endTag();
            return Token::End;
        }
        if (c == '?') {
            get();
            declarationOrInstruction();
            m_atStart = false;
            continue;
        }
        m_atStart = false;
        if (c == '!') {
            get();
            markup();
            continue;
        }
        startTag();
        return Token::Start;
    }
}

std::string_view XmlPull::attribute(std::string_view qualifiedName) const {
    for (size_t i = 0; i < m_attributeCount; ++i)
        if (m_attributes[i].first == qualifiedName)
            return m_attributes[i].second;
    return {};
}

void XmlPull::walkToEnd() {
    for (int depth = 1; depth > 0;) {
        const Token t = next();
        if (t == Token::EndOfDocument)
            fail("the part ends before all its elements are closed");
        depth += t == Token::Start ? 1 : -1;
    }
}

void XmlPull::text(std::string& into) {
    into.clear();
    std::string* const saved = m_collect;
    m_collect = &into;
    walkToEnd();
    m_collect = saved;
}

void XmlPull::skip() {
    std::string* const saved = m_collect;
    m_collect = nullptr;
    walkToEnd();
    m_collect = saved;
}

} // namespace import::xlsx
