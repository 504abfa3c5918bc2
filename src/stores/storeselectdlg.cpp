#include "storeselectdlg.h"

#include <QComboBox>
#include "ui/formwidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CStoreSelectDlg::CStoreSelectDlg(const QStringList& tabNames, int selectedIndex, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Store Select Dialog"));
    setObjectName(QStringLiteral("StoreSelectDlg"));

    auto* text = new QLabel(QStringLiteral("Select a store."), this);
    m_comboStore = new QComboBox(this);
    m_comboStore->setObjectName(QStringLiteral("comboStore"));
    text->setBuddy(m_comboStore);
    QHBoxLayout* buttons = MakeOkCancelRow(this);
    auto* top = new QVBoxLayout(this);
    top->addWidget(text);
    top->addWidget(m_comboStore);
    top->addLayout(buttons);

    // Stores are told apart by their tab names, so a namesake of the current store is left out too.
    const bool haveSelected = selectedIndex >= 0 && selectedIndex < tabNames.size();
    for (int i = 0; i < tabNames.size(); ++i)
        if (!haveSelected || tabNames[i] != tabNames[selectedIndex]) m_comboStore->addItem(tabNames[i], i);
    m_comboStore->setCurrentIndex(m_comboStore->count() > 0 ? 0 : -1);
    m_comboStore->setFocus();
}

int CStoreSelectDlg::ChosenIndex() const {
    return m_comboStore->currentIndex() < 0 ? -1 : m_comboStore->currentData().toInt();
}
