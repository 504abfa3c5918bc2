#include "sourcecmds.h"

#include "import/sourcefactory.h"
#include "output.h"

#include <QDateTime>
#include <QLocale>

namespace {

struct SourceArgs {
    QString source;
    QString table;
    QString kind;
    long long limit = -1;
};

// Positional SOURCE [TABLE], then --kind KIND and --limit N; false when the words are off.
bool ParseArgs(const QStringList& args, int positional, bool limitAllowed, SourceArgs& parsed) {
    QStringList plain;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--kind") && i + 1 < args.size()) parsed.kind = args[++i];
        else if (a == QLatin1String("--limit") && limitAllowed && i + 1 < args.size()) {
            bool ok = false;
            parsed.limit = args[++i].toLongLong(&ok);
            if (!ok || parsed.limit < 0) return false;
        } else if (a.startsWith(QLatin1String("--"))) return false;
        else plain << a;
    }
    if (plain.size() != positional) return false;
    parsed.source = plain[0];
    if (positional > 1) parsed.table = plain[1];
    return true;
}

std::unique_ptr<import::Source> Open(const SourceArgs& a) {
    std::optional<import::SourceKind> kind;
    if (!a.kind.isEmpty()) {
        kind = import::SourceKindFromName(a.kind);
        if (!kind) throw import::SourceError(QStringLiteral("Unknown kind \"%1\": use access, dbase, foxpro, excel, paradox or text.").arg(a.kind));
    } else {
        kind = import::DetectSourceKind(a.source);
        if (!kind) throw import::SourceError(QStringLiteral("Cannot tell what kind of database \"%1\" is: give --kind.").arg(a.source));
    }
    return import::OpenSource(*kind, a.source);
}

QString Shown(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QStringLiteral("\\N");
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Int: return QString::number(v.toInt());
    case QMetaType::Double: return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDateTime: {
        const QDateTime t = v.toDateTime();
        return t.time() == QTime(0, 0) ? t.date().toString(Qt::ISODate) : t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case QMetaType::QByteArray: return QStringLiteral("0x") + QString::fromLatin1(v.toByteArray().toHex());
    default: return qvtool::Escaped(v.toString());
    }
}

} // namespace

int RunSourceCommand(const QString& command, const QStringList& args) {
    SourceArgs a;
    try {
        if (command == QLatin1String("source-tables")) {
            if (!ParseArgs(args, 1, false, a)) return -1;
            auto source = Open(a);
            // A table that cannot be read is reported and the others are still listed.
            int status = 0;
            for (const QString& name : source->tableNames()) {
                try {
                    auto table = source->openTable(name);
                    long long rows = 0;
                    while (table->next()) ++rows;
                    qvtool::Out(name + QLatin1Char('\t') + QString::number(rows));
                } catch (const import::SourceError& e) {
                    status = qvtool::Fail(e.message());
                }
            }
            return status;
        }
        if (command == QLatin1String("source-fields")) {
            if (!ParseArgs(args, 2, false, a)) return -1;
            auto table = Open(a)->openTable(a.table);
            for (const import::SourceField& f : table->fields())
                qvtool::Out(f.name + QLatin1Char('\t') + QString::number(int(f.type)));
            return 0;
        }
        if (command == QLatin1String("source-rows")) {
            if (!ParseArgs(args, 2, true, a)) return -1;
            auto table = Open(a)->openTable(a.table);
            QStringList header;
            for (const import::SourceField& f : table->fields()) header << qvtool::Escaped(f.name);
            qvtool::Out(header.join(QLatin1Char('\t')));
            for (long long n = 0; (a.limit < 0 || n < a.limit) && table->next(); ++n) {
                QStringList cells;
                for (int i = 0; i < int(table->fields().size()); ++i) cells << Shown(table->value(i));
                qvtool::Out(cells.join(QLatin1Char('\t')));
            }
            return 0;
        }
    } catch (const import::SourceError& e) {
        return qvtool::Fail(e.message());
    }
    return -1;
}
