#include "import/entrymappingdlg.h"

#include "import/databaseimportmgr.h"
#include "ui/formwidgets.h"
#include "ui/tabstopdelegate.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

CEntryMappingDlg::CEntryMappingDlg(const QString& title, const QStringList& sourceEntries, const QStringList& destination,
                                   const QString& note, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Entry Mapping Dialog"));
    setObjectName(QStringLiteral("EntryMappingDlg"));
    auto* top = new QVBoxLayout(this);
    auto* caption = new QLabel(title, this);
    caption->setObjectName(QStringLiteral("labelTitle"));
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    top->addWidget(caption);
    top->addWidget(new QLabel(QStringLiteral("Each entry in the source table you want to import needs to be mapped to an entry in the destination table."), this));
    top->addWidget(new QLabel(QStringLiteral("Select an item in the left list, then select an appropriate match from the right list."), this));
    top->addWidget(new QLabel(QStringLiteral("Conversion between text and number will be done as needed."), this));
    auto* grid = new QGridLayout;
    m_source = new QListWidget(this);
    m_source->setObjectName(QStringLiteral("listSource"));
    m_destination = new QListWidget(this);
    m_destination->setObjectName(QStringLiteral("listDestination"));
    SetTabStop(m_source, 80);
    SetTabStop(m_destination, 80);
    grid->addWidget(new QLabel(QStringLiteral("SOURCE Table Entry Names"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("DESTINATION Table Entry Names"), this), 0, 1);
    grid->addWidget(m_source, 1, 0);
    grid->addWidget(m_destination, 1, 1);
    top->addLayout(grid);
    if (!note.isEmpty()) {
        auto* noteLabel = new QLabel(note, this);
        noteLabel->setObjectName(QStringLiteral("labelNote"));
        top->addWidget(noteLabel);
    }
    top->addLayout(MakeOkCancelRow(this));

    resize(900, 520);
    QStringList left = sourceEntries;
    left << CDatabaseImportMgr::kNoMatch;
    m_source->addItems(left);
    m_mapping = CDatabaseImportMgr::MatchEntries(destination, left);
    Fill();
    // A selected line, not merely the current one that the focus gives the list.
    connect(m_source, &QListWidget::itemSelectionChanged, this, [this]() {
        const auto selected = m_source->selectedItems();
        if (!selected.isEmpty()) m_currentSource = selected.first()->text();
    });
    connect(m_destination, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { OnDestinationClicked(m_destination->row(item)); });
}

void CEntryMappingDlg::SetMapping(const QStringList& mapping) {
    if (mapping.size() != m_mapping.size()) return;
    m_mapping = mapping;
    Fill();
}

void CEntryMappingDlg::Fill() {
    m_destination->clear();
    m_shownEntry.clear();
    for (int i = 0; i < m_mapping.size(); ++i) {
        if (m_mapping[i].contains(QLatin1String("ID"))) continue;
        m_destination->addItem(m_mapping[i]);
        m_shownEntry.push_back(i);
    }
}

void CEntryMappingDlg::OnDestinationClicked(int row) {
    if (row < 0 || row >= int(m_shownEntry.size()) || m_currentSource.isEmpty()) return;
    QString& line = m_mapping[m_shownEntry[size_t(row)]];
    line = line.left(line.indexOf(QLatin1String("= ")) + 2) + m_currentSource;
    m_destination->item(row)->setText(line);
    m_destination->setCurrentRow(row);
}
