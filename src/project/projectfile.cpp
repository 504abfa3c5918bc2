// The project file's life: create, verify, open, close.
#include "lookup/groupedstringlist.h"
#include "lookup/lookuptable.h"
#include "project/quorvanedoc.h"
#include "project/schema.h"
#include "trace/tracesink.h"

#include <QFile>
#include <QFileInfo>

namespace {
const char* const kDefaultContainers[] = {"box", "can", "bag", "jug", "bottle", "carton", "barrel", "other"};
}

bool CQuorvaneDoc::CreateStep(const char* traceText, const char* failure, bool ok) {
    if (traceText) Trace(20, QString::fromLatin1(traceText));
    if (!ok && failure) m_prompter->MessageBox(QString::fromLatin1(failure));
    return ok;
}

bool CQuorvaneDoc::CreateNewProject(const NewProjectRequest& request) {
    Trace(20, QStringLiteral("CQuorvaneDoc::CreateNewProject()"));
    if (IsProjectOpen()) OnFileCloseProject();

    const QString path = ProjectPathWithExtension(request.path);
    ResetContents(); // nothing of a file opened or refused before goes into the new one
    m_description = request.description.left(kDescriptionLength);
    m_shared = false;
    m_sharedFileSpec.clear();

    if (request.share && !QFileInfo::exists(request.sharedFile)) {
        m_prompter->MessageBox(QStringLiteral("Failed to find file:\n\n%1").arg(request.sharedFile));
        return false;
    }
    emit waitCursorRequested(true);
    const bool existedBefore = QFileInfo::exists(path);
    const bool ok = request.share ? CreateSharedProject(path, request.sharedFile) : CreatePlainProject(path);
    emit waitCursorRequested(false);
    if (!ok) {
        // Never leave a half-made file behind, and never touch one that was there before.
        FailCreate(existedBefore ? QStringList() : QStringList{path});
        return false;
    }
    m_pathName = path;
    emit recentFileAdded(path);
    emit allViewsUpdateRequested();
    return true;
}

void CQuorvaneDoc::FailCreate(const QStringList& createdFiles) {
    emit upperPaneRequested(false);
    Trace(20, QStringLiteral("  Failed to create new project."));
    m_prompter->MessageBox(QStringLiteral("Failed to create new project."));
    OnFileCloseProject();
    for (const QString& f : createdFiles) {
        QFile::remove(f);
        for (const char* suffix : {"-wal", "-shm", "-journal"}) QFile::remove(f + QLatin1String(suffix));
    }
}

bool CQuorvaneDoc::CreatePlainProject(const QString& path) {
    try {
        m_primary.create(path);
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::CreateNewProject()"));
        Trace(10, e.description());
        return false;
    }
    db::Database& db = m_primary;
    try {
        // One transaction: a project is either made whole or not at all.
        db::Transaction tx(db);
        if (!CreateProjectTable(db, m_pRecordSet)) return false;
        if (!DefineDaoTable_HW(db) || !OpenDaoRecordset_HW(db) || !AddNewHighWaterRecord() ||
            !XferToRecordset_HW())
            return false;

        const char* failure = "Failed to create Discount Table Names List.";
        Trace(20, QStringLiteral("  Creating Discount Table Names List..."));
        bool ok = m_discTableNames->DefineDaoTable(db) && m_discTableNames->OpenDaoRecordset(db);
        if (ok) m_defaultDiscTableID = m_discTableNames->AddItem(0, QStringLiteral("Default"));
        if (!CreateStep(nullptr, failure, ok && m_defaultDiscTableID != -1)) return false;

        ok = m_lookup->DefineDaoTable(db) && m_lookup->OpenDaoRecordset(db) &&
             m_lookup->AddItem(m_defaultDiscTableID, QStringLiteral("default"), 0.0) != -1;
        if (!CreateStep("  Creating Discount Lookup Table...", "Failed to create Discount Lookup Table.", ok))
            return false;

        Trace(20, QStringLiteral("  Creating Container Names List..."));
        ok = m_containerNames->DefineDaoTable(db) && m_containerNames->OpenDaoRecordset(db);
        if (ok) m_defaultContainerID = m_containerNames->AddItem(0, QStringLiteral("Default"));
        if (!CreateStep(nullptr, "Failed to create Container Names List.", ok && m_defaultContainerID != -1))
            return false;

        ok = m_containers->DefineDaoTable(db) && m_containers->OpenDaoRecordset(db);
        for (const char* name : kDefaultContainers)
            ok = ok && m_containers->AddItem(m_defaultContainerID, QString::fromLatin1(name)) != -1;
        if (!CreateStep("  Creating Container List...", "Failed to create Container List.", ok)) return false;

        ok = m_columnDefs->DefineDaoTable(db) && m_columnDefs->OpenDaoRecordset(db);
        if (!CreateStep("  Creating ListCtrl Column Def's...", "Failed to create column def's database table.", ok))
            return false;

        struct ListStep {
            IListTableOwner* owner;
            const char* trace;
            const char* failure;
        };
        for (const ListStep& step : {ListStep{m_customers, "  Creating Customer List Control...",
                                              "Failed to create customer database table."},
                                     ListStep{m_invoices, "  Creating Invoices List Control...",
                                              "Failed to create invoice database table."},
                                     ListStep{m_invoiceItems, "  Creating Invoice Items List Control...",
                                              "Failed to create invoice database table."}}) {
            ok = step.owner->DefineDaoTable(db) && step.owner->OpenDaoRecordset(db);
            if (ok) {
                step.owner->SetupDefaultColumns();
                step.owner->ActivateListCtrlColumns();
                step.owner->SaveColumnDefinitions();
            }
            if (!CreateStep(step.trace, step.failure, ok)) return false;
        }

        ok = m_stores->DefineDaoTable(db) && m_stores->OpenDaoRecordset(db);
        if (!CreateStep("  Creating Store Tab Control...", "Failed to create store database table.", ok))
            return false;
        m_stores->OnEditAddItem();
        if (m_stores->GetStoreCount() != 1) return false;
        tx.commit();
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::CreateNewProject()"));
        Trace(10, e.description());
        return false;
    }
    emit upperPaneRequested(true);
    return true;
}

bool CQuorvaneDoc::OpenUserColumnDefs(bool create) {
    m_userColumnDefs = std::make_unique<CDaoGroupedStringList>(this, QStringLiteral("ColumnDefs"));
    if (create || !m_secondary.hasTable(QStringLiteral("ColumnDefs"))) {
        if (!m_userColumnDefs->DefineDaoTable(m_secondary)) return false;
    }
    return m_userColumnDefs->OpenDaoRecordset(m_secondary) != 0;
}

bool CQuorvaneDoc::CreateSharedProject(const QString& userPath, const QString& sharedPath) {
    m_shared = true;
    m_sharedFileSpec = sharedPath;
    try {
        m_secondary.create(userPath);
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::CreateNewProject()"));
        Trace(10, e.description());
        return false;
    }
    try {
        db::Transaction tx(m_secondary);
        if (!CreateProjectTable(m_secondary, m_pRecordSetSec)) return false;
        if (!OpenUserColumnDefs(true)) {
            m_prompter->MessageBox(QStringLiteral("Failed to create table for column definitions."));
            return false;
        }
        tx.commit();
    } catch (const db::Error& e) {
        Trace(10, e.description());
        return false;
    }
    // The user's own values stay; the shared file only brings the data.
    const QString description = m_description;
    const int barPosition = m_barPosition;
    const bool verifyDelete = m_verifyDelete;
    if (!OpenDatabase(sharedPath, true)) {
        m_prompter->MessageBox(QStringLiteral("Failed to open shared database:\n\n%1").arg(sharedPath));
        return false;
    }
    m_shared = true;
    m_sharedFileSpec = sharedPath;
    m_description = description;
    m_barPosition = barPosition;
    m_verifyDelete = verifyDelete;
    emit upperPaneRequested(true);
    return OpenDatabaseTables();
}

bool CQuorvaneDoc::VerifyProject(const QString& path) {
    Trace(20, QStringLiteral("CQuorvaneDoc::VerifyProject()"));
    Trace(20, QStringLiteral("  try { Open }"));
    db::Database file;
    try {
        // Read-only until there is something to write: a file that fails stays untouched.
        file.open(path, true);
        db::Recordset rs(file);
        rs.open(QStringLiteral("select * from [Project]"));
        if (rs.recordCount() == 0) throw db::Error(QStringLiteral("The project file has no Project row."));
        rs.moveLast();
        if (rs.intValue(QStringLiteral("Version")) != kProjectVersion) {
            Trace(20, QStringLiteral("  Unrecognized project file version!"));
            m_prompter->MessageBox(QStringLiteral("Unrecognized project file version!"));
            return false;
        }
        // What the open needs to know next: whether the data lives in another file.
        m_shared = rs.intValue(QStringLiteral("Shared")) != 0;
        m_sharedFileSpec = rs.textValue(QStringLiteral("SharedFileSpec")).trimmed();
        if (!m_shared) return true;

        Trace(20, QStringLiteral("  Finding shared project file..."));
        const QString sharedPath = m_sharedFileSpec;
        if (!sharedPath.isEmpty() && QFileInfo::exists(sharedPath)) return true;
        if (m_prompter->MessageBox(
                QStringLiteral("Failed to find file:\n\n%1\n\nDo you want to locate it now?").arg(sharedPath),
                CPrompter::Buttons::YesNo, CPrompter::Icon::Question,
                CPrompter::Answer::Yes) != CPrompter::Answer::Yes)
            return false;
        CPrompter::FileRequest request;
        request.filter = QString::fromLatin1(ProjectFileFilter());
        request.defaultExt = QStringLiteral("qvp");
        request.initialPath = sharedPath;
        const QString located = m_prompter->GetSaveFileName(request);
        if (!located.isEmpty() && QFileInfo::exists(located)) {
            if (located.size() > 200) throw db::Error(QStringLiteral("The path of the shared file is too long."));
            rs.close();
            file.close();
            file.open(path);
            db::Recordset own(file);
            own.open(QStringLiteral("select * from [Project]"));
            own.moveLast();
            own.edit();
            own.setValue(QStringLiteral("SharedFileSpec"), located);
            own.update();
        }
        return false; // the user opens the project again with the located file
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::VerifyProject()"));
        Trace(10, e.description());
        return false;
    }
}

bool CQuorvaneDoc::OpenDatabase(const QString& path, bool primary) {
    Trace(20, QStringLiteral("CQuorvaneDoc::OpenDatabase()"));
    Trace(20, QStringLiteral("  try { Open }"));
    db::Database& database = primary ? m_primary : m_secondary;
    std::unique_ptr<db::Recordset>& rs = primary ? m_pRecordSet : m_pRecordSetSec;
    try {
        // The data file of a shared project is used from several hosts.
        database.open(path, false, primary && m_shared ? db::Journal::Shared : db::Journal::Local);
        rs = std::make_unique<db::Recordset>(database);
        rs->open(QStringLiteral("select * from [Project]"));
        if (rs->recordCount() == 0) throw db::Error(QStringLiteral("The project file has no Project row."));
        rs->moveLast();
        TraceF(20, "  Proj Count = %ld  Fields = %d\n", rs->recordCount(), rs->fieldCount());
        // A refused file's row must not stay behind in the document.
        if (rs->intValue(QStringLiteral("Version")) != kProjectVersion) {
            Trace(20, QStringLiteral("  Unrecognized project file version!"));
            m_prompter->MessageBox(QStringLiteral("Unrecognized project file version!"));
            return false;
        }
        XferFromRecordset(*rs);
    } catch (const db::Error& e) {
        Trace(10, QStringLiteral("CQuorvaneDoc::OpenDatabase()"));
        Trace(10, e.description());
        return false;
    }
    return true;
}

bool CQuorvaneDoc::OpenProject(const QString& path) {
    Trace(20, QStringLiteral("CQuorvaneDoc::OpenProject()"));
    if (IsProjectOpen()) OnFileCloseProject();
    m_pathName = path;
    if (!VerifyProject(path)) return false;

    if (!m_shared) {
        if (!OpenDatabase(path, true)) return false;
    } else {
        Trace(20, QStringLiteral("  Opening primary database of shared project."));
        if (!OpenDatabase(m_sharedFileSpec, true)) return false;
        Trace(20, QStringLiteral("  Opening secondary database of shared project."));
        if (!OpenDatabase(path, false)) return false;
        if (!OpenUserColumnDefs(false)) return false;
    }
    emit upperPaneRequested(true);
    if (!OpenDatabaseTables()) return false;
    m_pathName = path;
    emit recentFileAdded(path);
    emit allViewsUpdateRequested();
    return true;
}

bool CQuorvaneDoc::DoOpenProject(const QString& path) {
    emit waitCursorRequested(true);
    const bool ok = OpenProject(path);
    emit waitCursorRequested(false);
    if (!ok) {
        emit upperPaneRequested(false);
        Trace(20, QStringLiteral("  Failed to open project."));
        m_prompter->MessageBox(QStringLiteral("Failed to open project."));
        OnFileCloseProject();
    }
    return ok;
}

bool CQuorvaneDoc::OpenDatabaseTables() {
    Trace(20, QStringLiteral("CQuorvaneDoc::OpenDatabaseTables()"));
    db::Database& db = m_primary;
    if (!OpenDaoRecordset_HW(db) || !XferFromRecordset_HW() || !RaiseCountersOnOpen()) return false;
    if (!m_lookup->OpenDaoRecordset(db) || !m_discTableNames->OpenDaoRecordset(db) ||
        !m_containerNames->OpenDaoRecordset(db) || !m_containers->OpenDaoRecordset(db) ||
        !m_columnDefs->OpenDaoRecordset(db))
        return false;
    if (!m_stores->OpenDaoRecordset(db) || !m_customers->OpenDaoRecordset(db) ||
        !m_invoices->OpenDaoRecordset(db) || !m_invoiceItems->OpenDaoRecordset(db))
        return false;

    // The defaults for new stores: the first discount table and container list of the file.
    int id = -1;
    QString name;
    if (m_discTableNames->GetFirst(id, name)) m_defaultDiscTableID = id;
    if (m_containerNames->GetFirst(id, name)) m_defaultContainerID = id;

    m_stores->RefreshTabCtrlFromRecordset();
    for (IListTableOwner* owner : {m_invoiceItems, m_invoices, m_customers}) {
        owner->LoadColumnDefinitions();
        owner->ActivateListCtrlColumns();
    }
    m_customers->RefreshListCtrlFromRecordset();
    return true;
}

void CQuorvaneDoc::OnFileCloseProject() {
    Trace(20, QStringLiteral("CQuorvaneDoc::OnFileCloseProject()"));
    if (m_primary.isOpen()) {
        m_stores->CleanUp();
        m_customers->CleanUp();
        m_invoices->CleanUp();
        m_invoiceItems->CleanUp();
        m_lookup->CleanUp();
        m_discTableNames->CleanUp();
        m_containerNames->CleanUp();
        m_containers->CleanUp();
        m_columnDefs->CleanUp();
        m_pRecordSet.reset();
        m_pRecordSetHW.reset();
        m_primary.close();
        emit upperPaneRequested(false);
    }
    if (m_secondary.isOpen()) {
        m_pRecordSetSec.reset();
        if (m_userColumnDefs) m_userColumnDefs->CleanUp();
        m_userColumnDefs.reset();
        m_secondary.close();
    }
    // A create that failed half way may have left owners open on nothing.
    m_pRecordSet.reset();
    m_pRecordSetHW.reset();
    DeleteContents();
}

void CQuorvaneDoc::DeleteContents() {
    Trace(20, QStringLiteral("CQuorvaneDoc::DeleteContents()"));
    ResetContents();
    emit allViewsUpdateRequested();
}

void CQuorvaneDoc::ResetContents() {
    m_version = kProjectVersion;
    m_shared = false;
    m_verifyDelete = true;
    m_barPosition = kDefaultBarPosition;
    m_pathName.clear();
    m_sharedFileSpec.clear();
    m_description.clear();
    m_counters.fill(1);
    m_countersReadIn = 0;
    m_defaultDiscTableID = 1;
    m_defaultContainerID = 2;
}
