#include "import/sourceselectiondlg.h"

#include "import/databaseimportmgr.h"
#include "ui/formwidgets.h"
#include "ui/tabstopdelegate.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CSourceSelectionDlg::CSourceSelectionDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Database Source Selection Dialog"));
    setObjectName(QStringLiteral("SourceSelectionDlg"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("listSources"));
    SetTabStop(m_list, 30);
    m_list->addItems(CDatabaseImportMgr::SourceLines().split(QLatin1Char('\n')));
    auto* label = new QLabel(QStringLiteral("Select a source file type:"), this);
    label->setBuddy(m_list);
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this]() {
        const auto selected = m_list->selectedItems();
        m_chosen = selected.isEmpty() ? QString() : selected.first()->text();
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_chosen = item->text();
        accept();
    });
    auto* top = new QVBoxLayout(this);
    top->addWidget(label);
    top->addWidget(m_list);
    top->addLayout(MakeOkCancelRow(this));
}
