#include "output.h"

#include <cstdio>

namespace qvtool {

void Out(const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
    std::fputc('\n', stdout);
}

int Fail(const QString& message) {
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    return 1;
}

QString Escaped(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\\')) s += QLatin1String("\\\\");
        else if (c == QLatin1Char('\t')) s += QLatin1String("\\t");
        else if (c == QLatin1Char('\n')) s += QLatin1String("\\n");
        else if (c == QLatin1Char('\r')) s += QLatin1String("\\r");
        else s += c;
    }
    return s;
}

} // namespace qvtool
