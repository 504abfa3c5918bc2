#pragma once

#include <QDialog>
#include <array>

class CDatabaseImportMgr;
class QComboBox;
class QListWidget;

// "Import Table Mapping Dialog": which source table feeds each of the four destinations.
class CTableMappingDlg : public QDialog {
    Q_OBJECT
public:
    CTableMappingDlg(CDatabaseImportMgr& mgr, QWidget* parent = nullptr);
    // Store items, customers, invoices, invoice items: a table name or "<do not import>".
    std::array<QString, 4> Choices() const;

private:
    void OnViewTable(const QString& table);

    CDatabaseImportMgr& m_mgr;
    std::array<QComboBox*, 4> m_tables{};
    QComboBox* m_view;
    QListWidget* m_entries;
};
