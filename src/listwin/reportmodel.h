#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QSet>
#include <QStringList>
#include <vector>

// The rows of a report list: each carries its record's ID and the text of every shown column.
// Lean on purpose: a list of 100,000 rows holds only these strings.
class CReportModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString title;
        int format = 0; // 0 left, 1 right, 2 centred
    };

    explicit CReportModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetColumns(std::vector<Column> columns); // removes every row
    const std::vector<Column>& Columns() const { return m_columns; }

    void Clear();
    // Bulk fill: BeginFill, AppendRow..., EndFill.
    void BeginFill(int expectedRows);
    void EndFill();
    // icon: index into the pictures given with SetIcons, -1 for none.
    int AppendRow(int id, QStringList cells, int icon = -1);
    // Appends many rows with one notice to the views.
    void AppendRows(std::vector<std::pair<int, QStringList>> rows);
    void SetRow(int row, QStringList cells, int icon = -1);
    // The small pictures rows show before their first column.
    void SetIcons(std::vector<QIcon> icons);
    int Icon(int row) const { return m_rows[size_t(row)].icon; }
    // Between these, rewritten rows reach the views as one notice at the end (a mass edit).
    void BeginChanges();
    void EndChanges();
    void RemoveRow(int row);
    // Removes every row whose ID is in the set, in one pass.
    void RemoveIDs(const QSet<int>& ids);

    int ID(int row) const { return m_rows[size_t(row)].id; }
    const QString& Cell(int row, int column) const;
    int RowOfID(int id) const; // -1 when no row carries it

    // Orders the rows by the text of one column, code unit by code unit.
    void SortByColumn(int column, bool descending);

private:
    struct Row {
        int id;
        QStringList cells;
        int icon = -1;
    };
    void Reindex() const;

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    std::vector<QIcon> m_icons;
    bool m_filling = false;
    int m_changeDepth = 0;
    int m_firstChanged = -1, m_lastChanged = -1; // rows rewritten inside BeginChanges
    mutable QHash<int, int> m_rowOfID;
    mutable bool m_indexDirty = true;
};
