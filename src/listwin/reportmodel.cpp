#include "reportmodel.h"

#include <algorithm>

CReportModel::CReportModel(QObject* parent) : QAbstractTableModel(parent) {}

int CReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

const QString& CReportModel::Cell(int row, int column) const {
    static const QString empty;
    const QStringList& cells = m_rows[size_t(row)].cells;
    return column >= 0 && column < cells.size() ? cells[column] : empty;
}

QVariant CReportModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(m_rows.size())) return {};
    if (role == Qt::DisplayRole) return Cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() < int(m_columns.size())) {
        switch (m_columns[size_t(index.column())].format) {
        case 1: return int(Qt::AlignRight | Qt::AlignVCenter);
        case 2: return int(Qt::AlignHCenter | Qt::AlignVCenter);
        default: return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    if (role == Qt::DecorationRole && index.column() == 0) {
        const int icon = m_rows[size_t(index.row())].icon;
        if (icon >= 0 && icon < int(m_icons.size())) return m_icons[size_t(icon)];
        return {};
    }
    if (role == Qt::UserRole) return ID(index.row());
    return {};
}

QVariant CReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_columns.size())) return {};
    if (role == Qt::DisplayRole) return m_columns[size_t(section)].title;
    if (role == Qt::TextAlignmentRole) {
        switch (m_columns[size_t(section)].format) {
        case 1: return int(Qt::AlignRight | Qt::AlignVCenter);
        case 2: return int(Qt::AlignHCenter | Qt::AlignVCenter);
        default: return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    return {};
}

void CReportModel::SetColumns(std::vector<Column> columns) {
    beginResetModel();
    m_columns = std::move(columns);
    m_rows.clear();
    m_indexDirty = true;
    endResetModel();
}

void CReportModel::Clear() {
    beginResetModel();
    m_rows.clear();
    m_indexDirty = true;
    endResetModel();
}

void CReportModel::BeginFill(int expectedRows) {
    beginResetModel();
    m_filling = true;
    m_rows.clear();
    m_rows.reserve(size_t(std::max(0, expectedRows)));
}

void CReportModel::EndFill() {
    m_filling = false;
    m_indexDirty = true;
    endResetModel();
}

int CReportModel::AppendRow(int id, QStringList cells, int icon) {
    const int row = int(m_rows.size());
    if (!m_filling) beginInsertRows(QModelIndex(), row, row);
    m_rows.push_back({id, std::move(cells), icon});
    if (!m_indexDirty) m_rowOfID.insert(id, row);
    if (!m_filling) endInsertRows();
    return row;
}

void CReportModel::AppendRows(std::vector<std::pair<int, QStringList>> rows) {
    if (rows.empty()) return;
    const int first = int(m_rows.size());
    beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
    for (auto& [id, cells] : rows) {
        if (!m_indexDirty) m_rowOfID.insert(id, int(m_rows.size()));
        m_rows.push_back({id, std::move(cells), -1});
    }
    endInsertRows();
}

void CReportModel::SetRow(int row, QStringList cells, int icon) {
    if (row < 0 || row >= int(m_rows.size())) return;
    m_rows[size_t(row)].cells = std::move(cells);
    m_rows[size_t(row)].icon = icon;
    if (m_changeDepth > 0) {
        m_firstChanged = m_firstChanged < 0 ? row : std::min(m_firstChanged, row);
        m_lastChanged = std::max(m_lastChanged, row);
        return;
    }
    emit dataChanged(index(row, 0), index(row, std::max(0, int(m_columns.size()) - 1)));
}

void CReportModel::SetIcons(std::vector<QIcon> icons) {
    m_icons = std::move(icons);
    if (!m_rows.empty()) emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, 0));
}

void CReportModel::BeginChanges() { ++m_changeDepth; }

void CReportModel::EndChanges() {
    if (m_changeDepth == 0 || --m_changeDepth > 0) return;
    const int last = std::min(m_lastChanged, int(m_rows.size()) - 1);
    if (m_firstChanged >= 0 && m_firstChanged <= last)
        emit dataChanged(index(m_firstChanged, 0), index(last, std::max(0, int(m_columns.size()) - 1)));
    m_firstChanged = m_lastChanged = -1;
}

void CReportModel::RemoveRow(int row) {
    if (row < 0 || row >= int(m_rows.size())) return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    m_indexDirty = true;
    endRemoveRows();
}

void CReportModel::RemoveIDs(const QSet<int>& ids) {
    if (ids.isEmpty()) return;
    beginResetModel();
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(), [&](const Row& r) { return ids.contains(r.id); }),
                 m_rows.end());
    m_indexDirty = true;
    endResetModel();
}

void CReportModel::Reindex() const {
    m_rowOfID.clear();
    m_rowOfID.reserve(qsizetype(m_rows.size()));
    // The first row carrying an ID wins, as a search from the top would find it.
    for (int r = int(m_rows.size()) - 1; r >= 0; --r) m_rowOfID.insert(m_rows[size_t(r)].id, r);
    m_indexDirty = false;
}

int CReportModel::RowOfID(int id) const {
    if (m_indexDirty) Reindex();
    return m_rowOfID.value(id, -1);
}

void CReportModel::SortByColumn(int column, bool descending) {
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<int> ids;
    ids.reserve(size_t(before.size()));
    for (const QModelIndex& i : before) ids.push_back(m_rows[size_t(i.row())].id);
    static const QString none;
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const Row& a, const Row& b) {
        const QString& ta = column < a.cells.size() ? a.cells[column] : none;
        const QString& tb = column < b.cells.size() ? b.cells[column] : none;
        const int c = QString::compare(ta, tb, Qt::CaseSensitive);
        return descending ? c > 0 : c < 0;
    });
    m_indexDirty = true;
    QModelIndexList after;
    for (int k = 0; k < before.size(); ++k)
        after << index(RowOfID(ids[size_t(k)]), before[k].column());
    changePersistentIndexList(before, after);
    emit layoutChanged();
}
