#include "tabledef.h"

#include <QRegularExpression>

namespace db {

QString declaredType(const FieldDef& field) {
    // The names also give SQLite the matching column affinity.
    switch (field.type) {
    case Type::Boolean: return QStringLiteral("BOOLEAN");
    case Type::Integer: return QStringLiteral("SMALLINT");
    case Type::Long: return QStringLiteral("LONGINT");
    case Type::Double: return QStringLiteral("DOUBLE");
    case Type::Date: return QStringLiteral("DATETIME DOUBLE");
    case Type::Text: return QStringLiteral("TEXT(%1)").arg(field.size);
    }
    return QStringLiteral("DOUBLE");
}

bool parseDeclaredType(const QString& declared, Type& type, int& size) {
    const QString d = declared.trimmed().toUpper();
    size = 0;
    if (d == QLatin1String("BOOLEAN")) type = Type::Boolean;
    else if (d == QLatin1String("SMALLINT")) type = Type::Integer;
    else if (d == QLatin1String("LONGINT")) type = Type::Long;
    else if (d == QLatin1String("DOUBLE")) type = Type::Double;
    else if (d == QLatin1String("DATETIME DOUBLE")) type = Type::Date;
    else {
        static const QRegularExpression text(QStringLiteral("^TEXT\\((\\d+)\\)$"));
        const auto m = text.match(d);
        if (!m.hasMatch()) return false;
        type = Type::Text;
        size = m.captured(1).toInt();
    }
    return true;
}

} // namespace db
