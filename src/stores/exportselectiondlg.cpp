#include "exportselectiondlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CExportSelectionDlg::CExportSelectionDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Export Selection Dialog"));
    setObjectName(QStringLiteral("ExportSelectionDlg"));
    m_radioStore = new QRadioButton(QStringLiteral("Export Current Store As A Database"), this);
    m_radioStore->setObjectName(QStringLiteral("radioExportStore"));
    m_radioStore->setChecked(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* top = new QVBoxLayout(this);
    top->addWidget(m_radioStore);
    top->addLayout(buttons);
}

bool CExportSelectionDlg::StoreChosen() const { return m_radioStore->isChecked(); }
