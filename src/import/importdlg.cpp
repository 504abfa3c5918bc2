#include "import/importdlg.h"

#include "import/entrymappingdlg.h"
#include "import/importprogressdlg.h"
#include "import/sourceselectiondlg.h"
#include "import/tablemappingdlg.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

std::unique_ptr<QFileDialog> MakeChooseDirectoryDialog(QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(parent, QStringLiteral("Path Dialog - Select a folder"));
    dialog->setObjectName(QStringLiteral("ChooseDirectory"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::ReadOnly);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("OK"));
    dialog->setLabelText(QFileDialog::FileName, QStringLiteral("Path:"));
    QFileDialog* d = dialog.get();
    const auto box = [d]() { return d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); };
    const auto show = [box](const QString& text) {
        if (QLineEdit* edit = box()) {
            edit->setText(QDir::toNativeSeparators(text));
            edit->setCursorPosition(int(edit->text().size()));
        }
    };
    QObject::connect(d, &QFileDialog::directoryEntered, d, show);
    QObject::connect(d, &QFileDialog::currentChanged, d, [d, show](const QString& path) {
        const QString folder = d->directory().absolutePath();
        const QString name = QFileInfo(path).fileName();
        show(name.isEmpty() || name.contains(QLatin1Char('.')) ? folder : QDir(folder).filePath(name));
    });
    show(dialog->directory().absolutePath());
    return dialog;
}

QString ChosenDirectory(const QFileDialog& dialog) {
    if (const QLineEdit* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        const QString typed = edit->text().trimmed();
        if (!typed.isEmpty()) return QDir(dialog.directory()).absoluteFilePath(QDir::fromNativeSeparators(typed));
    }
    return dialog.selectedFiles().value(0);
}

CImportDlg::CImportDlg(CPrompter& prompter, QWidget* parent, Refresh refresh)
    : m_prompter(prompter), m_parent(parent), m_refresh(std::move(refresh)) {}

CImportDlg::~CImportDlg() = default;

QString CImportDlg::ChooseSourceLine() {
    CSourceSelectionDlg dlg(m_parent);
    if (m_prompter.ExecDialog(dlg) != QDialog::Accepted) return {};
    return dlg.Chosen();
}

QString CImportDlg::ChooseFolder() {
    auto dialog = MakeChooseDirectoryDialog(m_parent);
    if (m_prompter.ExecDialog(*dialog) != QDialog::Accepted) return {};
    return ChosenDirectory(*dialog);
}

bool CImportDlg::MapTables(CDatabaseImportMgr& mgr, std::array<QString, 4>& choices) {
    CTableMappingDlg dlg(mgr, m_parent);
    if (m_prompter.ExecDialog(dlg) != QDialog::Accepted) return false;
    choices = dlg.Choices();
    return true;
}

bool CImportDlg::MapEntries(CDatabaseImportMgr& mgr, int index, const QString& table, QStringList& destination) {
    CEntryMappingDlg dlg(CDatabaseImportMgr::Title(index), *mgr.GetPtrSourceEntryNamesAndTypesList(), destination,
                         mgr.FieldLimitNote(), m_parent);
    dlg.SetMapping(mgr.RememberedMapping(index, table, dlg.Mapping()));
    if (m_prompter.ExecDialog(dlg) != QDialog::Accepted) return false;
    destination = dlg.Mapping();
    return true;
}

IImportProgress* CImportDlg::Progress() {
    if (!m_progress) m_progress = std::make_unique<CImportProgressDlg>(m_parent);
    return m_progress.get();
}

void CImportDlg::RefreshLists(const std::array<bool, 4>& imported) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_refresh) m_refresh(imported);
    QApplication::restoreOverrideCursor();
}
