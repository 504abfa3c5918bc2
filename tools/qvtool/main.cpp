// qvtool: make, inspect and dump project files from the command line.
#include "db/database.h"
#include "db/recordset.h"
#include "project/quorvanedoc.h"
#include "stores/storeexchange.h"
#include "trace/tracesink.h"
#include "democmd.h"
#include "printcmd.h"
#include "output.h"
#include "importcmd.h"
#include "sourcecmds.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>
#include <cstdio>

namespace {

const char* const kUsage =
    "usage: qvtool new PATH [--description TEXT] [--share SHAREDFILE]\n"
    "       qvtool info PATH\n"
    "       qvtool tables PATH\n"
    "       qvtool dump PATH TABLE\n"
    "       qvtool source-tables SOURCE [--kind KIND]\n"
    "       qvtool source-fields SOURCE TABLE [--kind KIND]\n"
    "       qvtool source-rows SOURCE TABLE [--kind KIND] [--limit N]\n"
    "       qvtool export-store PATH --store ID FILE\n"
    "       qvtool import-store PATH FILE\n"
    "       qvtool import PATH SOURCE --into items|customers|invoices|lines --from TABLE [--kind KIND]\n"
    "                     [--store ID] [--map FIELD=SOURCEFIELD]...\n"
    "       qvtool demo PATH [--customers N] [--seed S]\n"
    "       qvtool print-invoice PATH --invoice NUMBER --pdf FILE [--page A4|Letter]\n"
    "       qvtool print-store PATH --store ID --pdf FILE [--page A4|Letter]\n"
    "  KIND: access, dbase, foxpro, excel, paradox or text\n";

void out(const QString& line) { qvtool::Out(line); }
int fail(const QString& message) { return qvtool::Fail(message); }
QString escaped(const QString& text) { return qvtool::Escaped(text); }

QString shown(const QVariant& v, db::Type type) {
    if (!v.isValid() || v.isNull()) return {};
    switch (type) {
    case db::Type::Double:
    case db::Type::Date: return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case db::Type::Text: return escaped(v.toString());
    default: return QString::number(v.toInt());
    }
}

// Opens a project file read-only and stands on its Project row; throws with the program's
// own message.
void openProject(db::Database& file, db::Recordset& project, const QString& path) {
    file.open(path, true);
    project.open(QStringLiteral("select * from [Project]"));
    if (project.recordCount() == 0) throw db::Error(QStringLiteral("The project file has no Project row."));
    project.moveLast();
    if (project.intValue(QStringLiteral("Version")) != CQuorvaneDoc::kProjectVersion)
        throw db::Error(QStringLiteral("Unrecognized project file version!"));
}

int cmdNew(const QStringList& args) {
    CQuorvaneDoc::NewProjectRequest request;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if ((a == QLatin1String("--description") || a == QLatin1String("--share")) && i + 1 < args.size()) {
            (a == QLatin1String("--share") ? request.sharedFile : request.description) = args[++i];
            request.share = request.share || a == QLatin1String("--share");
        } else if (request.path.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            request.path = a;
        } else {
            return fail(QString::fromLatin1(kUsage).trimmed());
        }
    }
    if (request.path.isEmpty()) return fail(QString::fromLatin1(kUsage).trimmed());
    CRecordingPrompter prompter;
    CTraceSink errors; // engine errors give the reason behind a failure
    errors.SetTracing(true);
    errors.SetThresholdText(QStringLiteral("9"));
    SetTraceSink(&errors);
    bool ok;
    {
        CQuorvaneDoc doc(&prompter);
        ok = doc.CreateNewProject(request);
        doc.OnFileCloseProject();
    }
    SetTraceSink(nullptr);
    if (ok) return 0;
    QStringList lines = prompter.m_messages;
    // The engine's reasons, without the operation names and the messages already shown.
    for (const QString& line : errors.Lines()) {
        const QString text = line.trimmed();
        if (!text.contains(QLatin1String("::")) && !text.startsWith(QLatin1String("Failed to locate")) &&
            !lines.contains(text))
            lines << text;
    }
    return fail(lines.isEmpty() ? QStringLiteral("Failed to create new project.") : lines.join(QLatin1Char('\n')));
}

int cmdInfo(const QString& path) {
    db::Database file;
    db::Recordset project(file);
    openProject(file, project, path);
    for (const db::FieldDef& f : project.fields())
        out(f.name + QLatin1Char('\t') + shown(project.value(f.name), f.type));
    // The counters live in the file that holds the data.
    db::Database shared;
    db::Database* data = &file;
    if (project.intValue(QStringLiteral("Shared")) != 0) {
        const QString sharedPath = project.textValue(QStringLiteral("SharedFileSpec")).trimmed();
        if (!QFileInfo::exists(sharedPath)) throw db::Error(QStringLiteral("Failed to find file:\n\n%1").arg(sharedPath));
        shared.open(sharedPath, true);
        data = &shared;
    }
    db::Recordset hw(*data);
    hw.open(QStringLiteral("select * from [HighWater]"));
    if (hw.recordCount() == 0) throw db::Error(QStringLiteral("The project file has no HighWater row."));
    hw.moveLast();
    // As an opened document holds them: raised above the identifiers the tables hold.
    CQuorvaneDoc::Counters counters{};
    for (int c = 0; c < CQuorvaneDoc::CounterCount; ++c)
        counters[size_t(c)] = hw.intValue(QString::fromLatin1(CQuorvaneDoc::CounterFieldName(CQuorvaneDoc::Counter(c))));
    CQuorvaneDoc::RaiseCountersAboveTables(*data, data == &file ? nullptr : &file, counters);
    for (int c = 0; c < CQuorvaneDoc::CounterCount; ++c)
        out(QString::fromLatin1(CQuorvaneDoc::CounterFieldName(CQuorvaneDoc::Counter(c))) + QLatin1Char('\t') +
            QString::number(counters[size_t(c)]));
    return 0;
}

int cmdTables(const QString& path) {
    db::Database file;
    file.open(path, true);
    for (const QString& table : file.tableNames())
        for (const db::FieldDef& f : file.tableDef(table).fields)
            out(QStringLiteral("%1\t%2\t%3\t%4").arg(table, f.name).arg(int(f.type)).arg(f.size));
    return 0;
}

int cmdDump(const QString& path, const QString& table) {
    db::Database file;
    file.open(path, true);
    db::Recordset rs(file);
    rs.open(QStringLiteral("select * from [%1]").arg(table));
    QStringList header;
    for (const db::FieldDef& f : rs.fields()) header << f.name;
    out(header.join(QLatin1Char('\t')));
    if (rs.recordCount() == 0) return 0;
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
        QStringList cells;
        for (int i = 0; i < rs.fieldCount(); ++i) cells << shown(rs.value(i), rs.fields()[size_t(i)].type);
        out(cells.join(QLatin1Char('\t')));
    }
    return 0;
}

// Opens the project as the program does, runs the store exchange work on it and closes it.
int cmdStoreExchange(const QStringList& args, bool exporting) {
    QString path, file;
    int storeID = -1;
    for (int i = 0; i < args.size(); ++i) {
        if (exporting && args[i] == QLatin1String("--store") && i + 1 < args.size()) {
            bool ok = false;
            storeID = args[++i].toInt(&ok);
            if (!ok) return -1;
        } else if (args[i].startsWith(QLatin1String("--"))) return -1;
        else if (path.isEmpty()) path = args[i];
        else if (file.isEmpty()) file = args[i];
        else return -1;
    }
    if (path.isEmpty() || file.isEmpty() || (exporting && storeID < 0)) return -1;
    CRecordingPrompter prompter;
    CQuorvaneDoc doc(&prompter);
    if (!doc.OpenProject(path)) {
        const QString shown = prompter.m_messages.join(QLatin1Char('\n'));
        return fail(shown.isEmpty() ? QStringLiteral("Failed to open project.") : shown);
    }
    QString error;
    const bool ok = exporting ? ExportStore(doc, storeID, file, error) : ImportStore(doc, file, error);
    doc.OnFileCloseProject();
    return ok ? 0 : fail(error);
}

} // namespace

// --help and --version; -1 when the arguments name a command (its own options follow it).
int StandardOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOptions({help, version});
    if (!parser.parse(arguments)) return fail(parser.errorText() + QStringLiteral("\n") + QString::fromLatin1(kUsage).trimmed());
    if (parser.isSet(help)) {
        std::fputs("qvtool: make, inspect and dump Quorvane project files.\n\n", stdout);
        std::fputs(kUsage, stdout);
        std::fputs("\noptions:\n  -h, --help     show this help and exit\n"
                   "  -v, --version  show the version and exit\n", stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::fputs("qvtool " QV_VERSION "\n", stdout);
        return 0;
    }
    return -1;
}

int main(int argc, char* argv[]) {
    if (argc >= 2 && qstrcmp(argv[1], "demo") == 0) return RunDemoCommand(argc, argv);
    if (argc >= 2 && (qstrcmp(argv[1], "print-invoice") == 0 || qstrcmp(argv[1], "print-store") == 0))
        return RunPrintCommand(argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(QV_VERSION));
    if (const int status = StandardOptions(app.arguments()); status >= 0) return status;
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) return fail(QString::fromLatin1(kUsage).trimmed());
    const QString& command = args[0];
    try {
        if (command == QLatin1String("new")) return cmdNew(args.mid(1));
        if (command == QLatin1String("info") && args.size() == 2) return cmdInfo(args[1]);
        if (command == QLatin1String("tables") && args.size() == 2) return cmdTables(args[1]);
        if (command == QLatin1String("dump") && args.size() == 3) return cmdDump(args[1], args[2]);
        if (const int status = RunSourceCommand(command, args.mid(1)); status >= 0) return status;
        if (command == QLatin1String("import")) {
            if (const int status = RunImportCommand(args.mid(1)); status >= 0) return status;
        }
        if (command == QLatin1String("export-store") || command == QLatin1String("import-store")) {
            const int status = cmdStoreExchange(args.mid(1), command == QLatin1String("export-store"));
            if (status >= 0) return status;
        }
    } catch (const db::Error& e) {
        return fail(e.description());
    }
    return fail(QString::fromLatin1(kUsage).trimmed());
}
