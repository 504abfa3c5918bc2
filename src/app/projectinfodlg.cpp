#include "projectinfodlg.h"

#include "project/quorvanedoc.h"
#include "ui/prompter.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CProjectInfoDlg::CProjectInfoDlg(CPrompter& prompter, Mode mode, QWidget* parent)
    : CEditDialog(parent), m_prompter(prompter), m_mode(mode) {
    setWindowTitle(QStringLiteral("Project Info Dialog"));
    setObjectName(QStringLiteral("ProjectInfoDlg"));

    m_editProject = new QLineEdit(this);
    m_editProject->setObjectName(QStringLiteral("editProjectFile"));
    m_browseProject = new QPushButton(QStringLiteral("Browse..."), this);
    m_browseProject->setObjectName(QStringLiteral("buttonBrowseProject"));
    m_checkShare = new QCheckBox(QStringLiteral("Share Existing Project"), this);
    m_checkShare->setObjectName(QStringLiteral("checkShare"));
    m_editShared = new QLineEdit(this);
    m_editShared->setObjectName(QStringLiteral("editSharedFile"));
    m_labelShared = new QLabel(QStringLiteral("Filename:"), this);
    m_labelShared->setObjectName(QStringLiteral("labelSharedFile"));
    m_labelShared->setBuddy(m_editShared);
    m_browseShared = new QPushButton(QStringLiteral("Browse..."), this);
    m_browseShared->setObjectName(QStringLiteral("buttonBrowseShared"));
    m_editDescription = new QPlainTextEdit(this);
    m_editDescription->setObjectName(QStringLiteral("editDescription"));
    m_editDescription->setTabChangesFocus(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));

    auto* projectLabel = new QLabel(QStringLiteral("Project File:"), this);
    projectLabel->setBuddy(m_editProject);
    auto* descriptionLabel = new QLabel(QStringLiteral("Description:"), this);
    descriptionLabel->setBuddy(m_editDescription);

    auto* grid = new QGridLayout;
    grid->addWidget(projectLabel, 0, 0);
    grid->addWidget(m_editProject, 0, 1);
    grid->addWidget(m_browseProject, 0, 2);
    grid->addWidget(m_checkShare, 1, 1, 1, 2);
    grid->addWidget(m_labelShared, 2, 0);
    grid->addWidget(m_editShared, 2, 1);
    grid->addWidget(m_browseShared, 2, 2);
    grid->addWidget(descriptionLabel, 3, 0, Qt::AlignTop);
    grid->addWidget(m_editDescription, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(buttons);
    resize(480, 260);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_checkShare, &QCheckBox::toggled, this, &CProjectInfoDlg::OnShareToggled);
    connect(m_browseProject, &QPushButton::clicked, this, &CProjectInfoDlg::OnBrowseProject);
    connect(m_browseShared, &QPushButton::clicked, this, &CProjectInfoDlg::OnBrowseShared);

    ApplyConventions();
    OnShareToggled(false);
    ApplyMode();
}

void CProjectInfoDlg::ApplyMode() {
    const bool info = m_mode == Mode::Information;
    m_editProject->setReadOnly(info);
    m_editProject->setEnabled(!info);
    m_browseProject->setEnabled(!info);
    m_checkShare->setEnabled(!info);
    if (info) {
        // The shared file is shown but cannot be changed once the project exists.
        m_editShared->setReadOnly(true);
        m_browseShared->setEnabled(false);
        m_editDescription->setFocus();
    } else {
        m_editProject->setFocus();
    }
}

void CProjectInfoDlg::OnShareToggled(bool on) {
    if (!on) m_editShared->clear();
    m_editShared->setReadOnly(!on);
    m_editShared->setEnabled(on);
    m_labelShared->setEnabled(on);
    m_browseShared->setEnabled(on && m_mode == Mode::NewProject);
}

void CProjectInfoDlg::OnBrowseProject() {
    CPrompter::FileRequest request;
    request.title = QStringLiteral("Project File");
    request.filter = QString::fromLatin1(CQuorvaneDoc::ProjectFileFilter());
    request.defaultExt = QStringLiteral("qvp");
    request.initialPath = m_editProject->text();
    request.confirmOverwrite = true;
    const QString path = m_prompter.GetSaveFileName(request);
    if (!path.isEmpty()) m_editProject->setText(path);
}

void CProjectInfoDlg::OnBrowseShared() {
    CPrompter::FileRequest request;
    request.title = QStringLiteral("Shared Project File");
    request.filter = QString::fromLatin1(CQuorvaneDoc::ProjectFileFilter());
    request.defaultExt = QStringLiteral("qvp");
    request.initialPath = m_editShared->text();
    const QString path = m_prompter.GetOpenFileName(request);
    if (!path.isEmpty()) m_editShared->setText(path);
}

void CProjectInfoDlg::SetProjectPath(const QString& path) { m_editProject->setText(path); }

void CProjectInfoDlg::SetShared(bool shared, const QString& sharedPath) {
    // In information mode the box is disabled, but it still shows the project's state.
    m_checkShare->setChecked(shared);
    OnShareToggled(shared);
    if (shared) m_editShared->setText(sharedPath);
    if (m_mode == Mode::Information) m_editShared->setReadOnly(true);
}

void CProjectInfoDlg::SetDescription(const QString& text) { m_editDescription->setPlainText(text); }

QString CProjectInfoDlg::ProjectPath() const { return m_editProject->text().trimmed(); }
bool CProjectInfoDlg::IsShared() const { return m_checkShare->isChecked(); }
QString CProjectInfoDlg::SharedPath() const { return m_checkShare->isChecked() ? m_editShared->text().trimmed() : QString(); }
QString CProjectInfoDlg::Description() const { return m_editDescription->toPlainText(); }
