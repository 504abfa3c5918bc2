#include "importcmd.h"

#include "db/recordset.h"
#include "import/databaseimportmgr.h"
#include "import/sourcefactory.h"
#include "output.h"
#include "project/quorvanedoc.h"

#include <algorithm>

namespace {

struct ImportArgs {
    QString project, source, into, from, kind;
    int storeID = -1;
    QStringList maps;
};

bool Parse(const QStringList& args, ImportArgs& a) {
    QStringList plain;
    for (int i = 0; i < args.size(); ++i) {
        const QString& w = args[i];
        const bool hasValue = i + 1 < args.size();
        if (w == QLatin1String("--into") && hasValue) a.into = args[++i];
        else if (w == QLatin1String("--from") && hasValue) a.from = args[++i];
        else if (w == QLatin1String("--kind") && hasValue) a.kind = args[++i];
        else if (w == QLatin1String("--map") && hasValue) a.maps << args[++i];
        else if (w == QLatin1String("--store") && hasValue) {
            bool ok = false;
            a.storeID = args[++i].toInt(&ok);
            if (!ok) return false;
        } else if (w.startsWith(QLatin1String("--"))) return false;
        else plain << w;
    }
    if (plain.size() != 2 || a.into.isEmpty() || a.from.isEmpty()) return false;
    a.project = plain[0];
    a.source = plain[1];
    return true;
}

int IndexOf(const QString& into) {
    static const char* const words[] = {"items", "customers", "invoices", "lines"};
    for (int i = 0; i < 4; ++i)
        if (into == QLatin1String(words[i])) return i;
    return -1;
}

// The project's first store, or -1.
int FirstStore(CQuorvaneDoc& doc) {
    db::Recordset rs(*doc.GetPtrDatabase());
    rs.open(QStringLiteral("select * from [Store]"));
    if (rs.recordCount() == 0) return -1;
    rs.moveFirst();
    return rs.intValue(QStringLiteral("ID"));
}

bool StoreExists(CQuorvaneDoc& doc, int id) {
    db::Recordset rs(*doc.GetPtrDatabase());
    rs.open(QStringLiteral("select * from [Store]"));
    return rs.findFirst(QStringLiteral("ID = %1").arg(id));
}

} // namespace

int RunImportCommand(const QStringList& args) {
    ImportArgs a;
    if (!Parse(args, a)) return -1;
    const int index = IndexOf(a.into);
    if (index < 0) return qvtool::Fail(QStringLiteral("Unknown --into \"%1\": use items, customers, invoices or lines.").arg(a.into));
    std::optional<import::SourceKind> kind = a.kind.isEmpty() ? import::DetectSourceKind(a.source)
                                                                : import::SourceKindFromName(a.kind);
    if (!kind)
        return qvtool::Fail(a.kind.isEmpty()
                                ? QStringLiteral("Cannot tell what kind of database \"%1\" is: give --kind.").arg(a.source)
                                : QStringLiteral("Unknown kind \"%1\": use access, dbase, foxpro, excel, paradox or text.").arg(a.kind));

    CRecordingPrompter prompter;
    CQuorvaneDoc doc(&prompter);
    const auto failed = [&](const QString& fallback) {
        const QString shown = prompter.m_messages.join(QLatin1Char('\n'));
        doc.OnFileCloseProject();
        return qvtool::Fail(shown.isEmpty() ? fallback : shown);
    };
    if (!doc.OpenProject(a.project)) return failed(QStringLiteral("Failed to open project."));
    CDatabaseImportMgr mgr(doc, prompter);
    if (index == CDatabaseImportMgr::StoreItems) {
        const int store = a.storeID >= 0 ? a.storeID : FirstStore(doc);
        if (store < 0 || !StoreExists(doc, store))
            return failed(a.storeID >= 0 ? QStringLiteral("The project has no store %1.").arg(a.storeID)
                                         : QStringLiteral("The project has no store."));
        mgr.SetStoreID(store);
    }
    const bool opened = *kind == import::SourceKind::Access ? mgr.OpenDaoDatabase(a.source)
                                                             : mgr.OpenIsamDatabase(a.source, *kind);
    if (!opened) return failed(QStringLiteral("Unable to open a database in:\n\n  %1").arg(a.source));
    if (!mgr.LoadDestinationTableEntryNames(index) || !mgr.LoadSourceTableEntryNames(a.from))
        return failed(QStringLiteral("Failed to open table\n\n   %1").arg(a.from));

    const QStringList sourceLines = *mgr.GetPtrSourceEntryNamesAndTypesList();
    QStringList mapping = CDatabaseImportMgr::MatchEntries(*mgr.GetPtrDestinationEntryList(), sourceLines);
    for (const QString& m : a.maps) {
        const int eq = m.indexOf(QLatin1Char('='));
        if (eq <= 0) return failed(QStringLiteral("--map wants FIELD=SOURCEFIELD, not \"%1\".").arg(m));
        const QString field = m.left(eq);
        const QString source = m.mid(eq + 1);
        const auto line = std::find_if(mapping.begin(), mapping.end(), [&](const QString& l) {
            return l.section(QLatin1Char('\t'), 0, 0) == field;
        });
        if (line == mapping.end()) return failed(QStringLiteral("The destination has no field \"%1\".").arg(field));
        QString sourceLine = CDatabaseImportMgr::kNoMatch;
        if (!source.isEmpty()) {
            auto found = std::find_if(sourceLines.begin(), sourceLines.end(), [&](const QString& s) {
                return s.section(QLatin1Char('\t'), 0, 0) == source;
            });
            if (found == sourceLines.end())
                found = std::find_if(sourceLines.begin(), sourceLines.end(), [&](const QString& s) {
                    return s.section(QLatin1Char('\t'), 0, 0).compare(source, Qt::CaseInsensitive) == 0;
                });
            if (found == sourceLines.end())
                return failed(QStringLiteral("The table %1 has no field \"%2\".").arg(a.from, source));
            sourceLine = *found;
        }
        *line = line->left(line->indexOf(QLatin1String("= ")) + 2) + sourceLine;
    }
    *mgr.GetPtrDestinationEntryList() = mapping;
    if (!mgr.FieldLimitNote().isEmpty()) qvtool::Out(mgr.FieldLimitNote());
    if (!mgr.LoadSourceItems(index, a.from)) return failed(QStringLiteral("Import failed to complete!"));
    mgr.FinishImport();
    const CDatabaseImportMgr::Result& r = mgr.LastResult(index);
    static const char* const tables[] = {"StoreItems_", "Customer", "Invoice", "InvoiceItems"};
    QString table = QString::fromLatin1(tables[index]);
    if (index == CDatabaseImportMgr::StoreItems) table += QString::number(mgr.StoreID());
    qvtool::Out(QStringLiteral("imported %1 rows into %2").arg(r.rows).arg(table));
    if (r.dropped > 0) qvtool::Out(QStringLiteral("%1 blank rows dropped").arg(r.dropped));
    if (r.numbered > 0) qvtool::Out(QStringLiteral("%1 customers given the next customer number").arg(r.numbered));
    doc.OnFileCloseProject();
    return 0;
}
