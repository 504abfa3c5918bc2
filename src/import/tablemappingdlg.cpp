#include "import/tablemappingdlg.h"

#include "import/databaseimportmgr.h"
#include "ui/formwidgets.h"
#include "ui/tabstopdelegate.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CTableMappingDlg::CTableMappingDlg(CDatabaseImportMgr& mgr, QWidget* parent) : QDialog(parent), m_mgr(mgr) {
    setWindowTitle(QStringLiteral("Import Table Mapping Dialog"));
    setObjectName(QStringLiteral("TableMappingDlg"));
    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel(QStringLiteral("Select a table name (from the drop lists) for each table you want to import."), this));
    static const char* const labels[] = {"1) For the STORE ITEMS, use this table:", "2) For the CUSTOMERS, use this table:",
                                         "3) For the INVOICES, use this table:", "4) For the INVOICE ITEMS, use this table:"};
    static const char* const names[] = {"comboStoreItems", "comboCustomers", "comboInvoices", "comboInvoiceItems"};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        m_tables[size_t(i)] = new QComboBox(this);
        m_tables[size_t(i)]->setObjectName(QLatin1String(names[i]));
        m_tables[size_t(i)]->addItem(CDatabaseImportMgr::kDoNotImport);
        m_tables[size_t(i)]->addItems(mgr.SourceTableNames());
        auto* label = new QLabel(QLatin1String(labels[i]), this);
        label->setBuddy(m_tables[size_t(i)]);
        grid->addWidget(label, i, 0);
        grid->addWidget(m_tables[size_t(i)], i, 1);
    }
    top->addLayout(grid);
    top->addWidget(new QLabel(QStringLiteral("Imported data will be stored in the following four tables."), this));
    top->addWidget(new QLabel(QStringLiteral("The 'drop-list' boxes contain all of the 'source' table names."), this));
    top->addWidget(new QLabel(QStringLiteral("If you are unsure which table to select, the view box below may help."), this));
    auto* box = new QGroupBox(QStringLiteral("View Box"), this);
    auto* boxLayout = new QGridLayout(box);
    m_view = new QComboBox(box);
    m_view->setObjectName(QStringLiteral("comboView"));
    m_view->addItems(mgr.SourceTableNames());
    m_view->setCurrentIndex(-1);
    auto* viewLabel = new QLabel(QStringLiteral("View 'entry' names for\ntable:"), box);
    viewLabel->setBuddy(m_view);
    m_entries = new QListWidget(box);
    m_entries->setObjectName(QStringLiteral("listViewEntries"));
    SetTabStop(m_entries, 80);
    boxLayout->addWidget(viewLabel, 0, 0);
    boxLayout->addWidget(m_view, 0, 1);
    boxLayout->addWidget(m_entries, 1, 0, 1, 2);
    top->addWidget(box);
    top->addLayout(MakeOkCancelRow(this));
    connect(m_view, &QComboBox::textActivated, this, &CTableMappingDlg::OnViewTable);
}

void CTableMappingDlg::OnViewTable(const QString& table) {
    m_entries->clear();
    if (m_mgr.LoadSourceTableEntryNames(table)) m_entries->addItems(*m_mgr.GetPtrSourceEntryNamesAndTypesList());
}

std::array<QString, 4> CTableMappingDlg::Choices() const {
    std::array<QString, 4> out;
    for (size_t i = 0; i < 4; ++i) out[i] = m_tables[i]->currentText();
    return out;
}
