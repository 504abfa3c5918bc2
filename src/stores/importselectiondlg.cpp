#include "importselectiondlg.h"

#include "ui/formwidgets.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CImportSelectionDlg::CImportSelectionDlg(bool otherDatabases, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Import Selection Dialog"));
    setObjectName(QStringLiteral("ImportSelectionDlg"));
    m_radioStore = new QRadioButton(QStringLiteral("Import Store Previously Exported"), this);
    m_radioStore->setObjectName(QStringLiteral("radioImportStore"));
    m_radioStore->setChecked(true);
    m_radioOther = new QRadioButton(QStringLiteral("Import Other Database File(s)"), this);
    m_radioOther->setObjectName(QStringLiteral("radioImportOther"));
    m_radioOther->setEnabled(otherDatabases);
    QHBoxLayout* buttons = MakeOkCancelRow(this);
    auto* top = new QVBoxLayout(this);
    top->addWidget(m_radioStore);
    top->addWidget(m_radioOther);
    top->addLayout(buttons);
}

CImportSelectionDlg::Choice CImportSelectionDlg::Chosen() const {
    return m_radioOther->isChecked() ? Choice::OtherDatabaseFiles : Choice::StorePreviouslyExported;
}
