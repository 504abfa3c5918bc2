// The store exchange import: the input is an exchange file, imported into a scratch project.
// An import either adds one whole store or fails and leaves the project as it was.
#include "fuzzcommon.h"

#include "db/database.h"
#include "db/recordset.h"
#include "lookup/lookuptable.h"
#include "project/quorvanedoc.h"
#include "stores/storeexchange.h"
#include "ui/prompter.h"

#include <QCoreApplication>
#include <map>

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "fuzz_exchange";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

QString Scratch() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/qvfuzz-exchange-XXXXXX"));
    if (!dir.isValid())
        qvfuzz::Broken(QStringLiteral("no temporary folder"));
    return dir.path();
}

// A new project whose first store holds three items and a discount table of two entries.
QString Template() {
    static const QString path = [] {
        App();
        const QString file = Scratch() + QStringLiteral("/template.qvp");
        CRecordingPrompter prompter;
        {
            CQuorvaneDoc doc(&prompter);
            CQuorvaneDoc::NewProjectRequest request;
            request.path = file;
            if (!doc.CreateNewProject(request))
                qvfuzz::Broken(QStringLiteral("cannot create a project: ") +
                               prompter.m_messages.join(u' '));
            doc.GetPtrLookupTable()->AddItem(1, QStringLiteral("bulk"), 0.2);
            doc.GetPtrLookupTable()->AddItem(1, QStringLiteral("case"), 0.125);
            doc.OnFileCloseProject();
        }
        db::Database d;
        d.open(file);
        db::Recordset rs(d);
        rs.open(QStringLiteral("select * from [StoreItems_1]"));
        const char* codes[] = {"B1", "C2", "X3"};
        for (int i = 0; i < 3; ++i) {
            rs.addNew();
            for (const db::FieldDef& f : rs.fields())
                rs.setValue(f.name, f.type == db::Type::Text ? QVariant(QStringLiteral("x"))
                                                             : QVariant(0));
            rs.setValue(QStringLiteral("ID"), i + 1);
            rs.setValue(QStringLiteral("ItemCode"), QLatin1String(codes[i]));
            rs.setValue(QStringLiteral("Description"), QStringLiteral("Caf\u00e9 cr\u00e8me %1").arg(i));
            rs.setValue(QStringLiteral("ContainerType"), QStringLiteral("bottle"));
            rs.setValue(QStringLiteral("DiscountGrpName"), i ? QStringLiteral("bulk")
                                                             : QStringLiteral("default"));
            rs.setValue(QStringLiteral("BaseLinePrice"), 3.5 * (i + 1));
            rs.update();
        }
        return file;
    }();
    return path;
}

// A fresh copy of the template, open.
struct Project {
    CRecordingPrompter prompter;
    CQuorvaneDoc doc{&prompter};
    QString path = Scratch() + QStringLiteral("/project.qvp");

    Project() { reopen(); }
    void reopen() {
        if (doc.IsProjectOpen())
            doc.OnFileCloseProject();
        for (const QString& suffix : {QString(), QStringLiteral("-journal"), QStringLiteral("-wal")})
            QFile::remove(path + suffix);
        if (!QFile::copy(Template(), path) || !doc.OpenProject(path))
            qvfuzz::Broken(QStringLiteral("cannot open the scratch project"));
    }
};

using State = std::pair<QStringList, std::map<QString, long>>;

State StateOf(db::Database& d) {
    State s;
    s.first = d.tableNames();
    for (const char* t : {"Store", "Lookup", "DiscTableNamesList", "ContainerNamesList",
                          "ContainerList", "StoreItems_1"}) {
        db::Recordset rs(d);
        rs.open(QStringLiteral("select * from [%1]").arg(QLatin1String(t)));
        s.second[QLatin1String(t)] = rs.recordCount();
    }
    return s;
}

} // namespace

std::vector<qvfuzz::Seed> qvfuzz::Seeds() {
    CRecordingPrompter prompter;
    CQuorvaneDoc doc(&prompter);
    if (!doc.OpenProject(Template()))
        Broken(QStringLiteral("cannot open the template project"));
    const QString file = Scratch() + QStringLiteral("/store.mdb");
    QString error;
    if (!ExportStore(doc, 1, file, error))
        Broken(QStringLiteral("cannot export the store: ") + error);
    doc.OnFileCloseProject();
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        Broken(QStringLiteral("cannot read the exported store"));
    return {{"store", f.readAll()}};
}

void qvfuzz::FuzzOne(const QByteArray& input) {
    static Project project;
    Files files;
    const QString path = files.write(QStringLiteral("store.mdb"), input);
    db::Database& d = *project.doc.GetPtrDatabase();
    const State before = StateOf(d);
    QString error;
    if (ImportStore(project.doc, path, error)) {
        const State after = StateOf(d);
        if (after.second.at(QStringLiteral("Store")) != before.second.at(QStringLiteral("Store")) + 1)
            Broken(QStringLiteral("an import succeeded without adding one store"));
        Say(QStringLiteral("  imported"));
        project.reopen(); // keeps the project small
        return;
    }
    Say(QStringLiteral("  error: ") + error);
    if (error.isEmpty())
        Broken(QStringLiteral("an import failed without a message"));
    if (StateOf(d) != before)
        Broken(QStringLiteral("a failed import changed the project: ") + error);
}
