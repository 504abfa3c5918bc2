#include "filter.h"

#include "dberror.h"

#include <QRegularExpression>

namespace db {

Filter parseFilter(const QString& text) {
    static const QRegularExpression re(QStringLiteral(
        R"re(^\s*(?:\[([^\]]+)\]|([A-Za-z_][A-Za-z0-9_]*))\s*(<>|<=|>=|=|<|>)\s*)re"
        R"re((?:'((?:[^']|'')*)'|"((?:[^"]|"")*)"|([-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?))\s*$)re"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        throw Error(QStringLiteral("Unsupported filter: %1").arg(text));
    Filter f;
    f.field = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
    f.op = m.captured(3);
    if (m.capturedStart(4) >= 0)
        f.literal = m.captured(4).replace(QStringLiteral("''"), QStringLiteral("'"));
    else if (m.capturedStart(5) >= 0)
        f.literal = m.captured(5).replace(QStringLiteral("\"\""), QStringLiteral("\""));
    else {
        const QString num = m.captured(6);
        bool ok = false;
        const qlonglong i = num.toLongLong(&ok);
        if (ok)
            f.literal = i;
        else
            f.literal = num.toDouble();
    }
    return f;
}

} // namespace db
