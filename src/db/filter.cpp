#include "filter.h"

#include "dberror.h"

namespace db {

namespace {

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsNameStart(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_'; }

// A hand-made scanner: owners look rows up by filter text thousands of times in a loop.
class Scanner {
public:
    explicit Scanner(const QString& text) : m_text(text) {}

    Filter parse() {
        Filter f;
        skipBlanks();
        f.field = field();
        skipBlanks();
        f.op = op();
        skipBlanks();
        f.literal = literal();
        skipBlanks();
        if (m_pos != m_text.size()) fail();
        return f;
    }

private:
    [[noreturn]] void fail() const { throw Error(QStringLiteral("Unsupported filter: %1").arg(m_text)); }
    QChar at(qsizetype i) const { return i < m_text.size() ? m_text[i] : QChar(); }
    void skipBlanks() {
        while (m_pos < m_text.size() && IsBlank(m_text[m_pos])) ++m_pos;
    }

    QString field() {
        const qsizetype start = m_pos;
        if (at(m_pos) == u'[') {
            const qsizetype close = m_text.indexOf(u']', start + 1);
            if (close <= start + 1) fail();
            m_pos = close + 1;
            return m_text.mid(start + 1, close - start - 1);
        }
        if (!IsNameStart(at(m_pos))) fail();
        while (IsNameStart(at(m_pos)) || IsDigit(at(m_pos))) ++m_pos;
        return m_text.mid(start, m_pos - start);
    }

    QString op() {
        for (const char* candidate : {"<>", "<=", ">=", "=", "<", ">"}) {
            const QLatin1StringView o(candidate);
            if (QStringView(m_text).mid(m_pos).startsWith(o)) {
                m_pos += o.size();
                return QString(o);
            }
        }
        fail();
    }

    QVariant literal() {
        const QChar quote = at(m_pos);
        if (quote == u'\'' || quote == u'"') {
            QString value;
            for (++m_pos;; ++m_pos) {
                if (m_pos >= m_text.size()) fail();
                if (m_text[m_pos] == quote) {
                    if (at(m_pos + 1) != quote) break;
                    ++m_pos; // a doubled quote stands for one
                }
                value += m_text[m_pos];
            }
            ++m_pos;
            return value;
        }
        // [-+]? (digits [. digits*] | . digits) ([eE] [-+]? digits)?
        const qsizetype start = m_pos;
        if (at(m_pos) == u'-' || at(m_pos) == u'+') ++m_pos;
        qsizetype digits = 0;
        while (IsDigit(at(m_pos))) ++m_pos, ++digits;
        bool point = false;
        if (at(m_pos) == u'.') {
            point = true;
            ++m_pos;
            while (IsDigit(at(m_pos))) ++m_pos, ++digits;
        }
        if (digits == 0) fail();
        if (at(m_pos) == u'e' || at(m_pos) == u'E') {
            qsizetype e = m_pos + 1;
            if (at(e) == u'-' || at(e) == u'+') ++e;
            if (!IsDigit(at(e))) fail();
            while (IsDigit(at(e))) ++e;
            m_pos = e;
            point = true;
        }
        const QString number = m_text.mid(start, m_pos - start);
        bool ok = false;
        if (!point) {
            const qlonglong i = number.toLongLong(&ok);
            if (ok) return i;
        }
        return number.toDouble();
    }

    const QString& m_text;
    qsizetype m_pos = 0;
};

} // namespace

Filter parseFilter(const QString& text) { return Scanner(text).parse(); }

} // namespace db
