#pragma once

#include "ui/editdialog.h"

class CPrompter;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Project Info Dialog": the file of a new project and whether it shares another project's
// data, or, for the open project, its file and the description, which alone can be changed.
class CProjectInfoDlg : public CEditDialog {
    Q_OBJECT
public:
    enum class Mode { NewProject, Information };

    CProjectInfoDlg(CPrompter& prompter, Mode mode, QWidget* parent = nullptr);

    void SetProjectPath(const QString& path);
    void SetShared(bool shared, const QString& sharedPath);
    void SetDescription(const QString& text);

    Mode GetMode() const { return m_mode; }
    QString ProjectPath() const;
    bool IsShared() const;
    QString SharedPath() const;
    QString Description() const;

    QLineEdit* ProjectEdit() const { return m_editProject; }
    QPushButton* ProjectBrowse() const { return m_browseProject; }
    QCheckBox* ShareBox() const { return m_checkShare; }
    QLabel* SharedLabel() const { return m_labelShared; }
    QLineEdit* SharedEdit() const { return m_editShared; }
    QPushButton* SharedBrowse() const { return m_browseShared; }
    QPlainTextEdit* DescriptionEdit() const { return m_editDescription; }

private:
    void OnShareToggled(bool on);
    void OnBrowseProject();
    void OnBrowseShared();
    void ApplyMode();

    CPrompter& m_prompter;
    Mode m_mode;
    QLineEdit* m_editProject;
    QPushButton* m_browseProject;
    QCheckBox* m_checkShare;
    QLabel* m_labelShared;
    QLineEdit* m_editShared;
    QPushButton* m_browseShared;
    QPlainTextEdit* m_editDescription;
};
