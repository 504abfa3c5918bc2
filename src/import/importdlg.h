#pragma once

#include "import/databaseimportmgr.h"

#include <functional>
#include <memory>

class CPrompter;
class CImportProgressDlg;
class QFileDialog;
class QWidget;

// The folder chooser: Qt's own directory dialog, titled "Path Dialog - Select a folder", whose
// path box shows the folder on show (or the folder selected in it).
std::unique_ptr<QFileDialog> MakeChooseDirectoryDialog(QWidget* parent);
// The path the chooser ends with: the text of its path box.
QString ChosenDirectory(const QFileDialog& dialog);

// The import's dialogs, run through the prompter, and the lists refreshed afterwards.
class CImportDlg : public IImportUi {
public:
    using Refresh = std::function<void(const std::array<bool, 4>&)>;
    CImportDlg(CPrompter& prompter, QWidget* parent, Refresh refresh);
    ~CImportDlg() override;

    QString ChooseSourceLine() override;
    QString ChooseFolder() override;
    bool MapTables(CDatabaseImportMgr& mgr, std::array<QString, 4>& choices) override;
    bool MapEntries(CDatabaseImportMgr& mgr, int index, const QString& table, QStringList& destination) override;
    IImportProgress* Progress() override;
    void RefreshLists(const std::array<bool, 4>& imported) override;

private:
    CPrompter& m_prompter;
    QWidget* m_parent;
    Refresh m_refresh;
    std::unique_ptr<CImportProgressDlg> m_progress;
};
