#include "exportselectiondlg.h"

#include "ui/formwidgets.h"

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
    QHBoxLayout* buttons = MakeOkCancelRow(this);
    auto* top = new QVBoxLayout(this);
    top->addWidget(m_radioStore);
    top->addLayout(buttons);
}

bool CExportSelectionDlg::StoreChosen() const { return m_radioStore->isChecked(); }
