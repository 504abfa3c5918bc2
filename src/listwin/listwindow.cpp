#include "listwindow.h"

#include "project/quorvanedoc.h"
#include "trace/tracesink.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>

namespace {
unsigned g_frameColor = 0x800000; // navy, as COLORREF (red in the low byte)

QColor ToQColor(unsigned rgb) { return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF)); }
} // namespace

CListWindow::CListWindow(CQuorvaneDoc* doc, const QString& className, db::TableDef def,
                         const QString& countLabel, const ListColumnSet& columnSet, int group, QWidget* parent)
    : QTreeView(parent), m_pDoc(doc), m_className(className), m_table(className, std::move(def), countLabel),
      m_columns(columnSet, group), m_model(new CReportModel(this)) {
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true); // keeps 100,000 rows quick
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setMouseTracking(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setSectionsMovable(true);
    // A tree view pins its first column; every column of a list can be dragged, and dropped first.
    header()->setFirstSectionMovable(true);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int slot) {
        TraceNotify(this, kNotifyColumnClick);
        SortListByColumn(slot);
    });
    connect(header(), &QHeaderView::sectionResized, this, &CListWindow::OnSectionResized);
    connect(header(), &QHeaderView::sectionMoved, this, &CListWindow::OnSectionMoved);
    m_widthTimer.setSingleShot(true);
    m_widthTimer.setInterval(200);
    connect(&m_widthTimer, &QTimer::timeout, this, [this] { SaveColumnDefinitions(); });
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(2);
    ApplyFrameColor();
}

CListWindow::~CListWindow() = default;

void CListWindow::SetFrameColor(unsigned rgb) { g_frameColor = rgb; }
unsigned CListWindow::FrameColor() { return g_frameColor; }

void CListWindow::ApplyFrameColor() {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, ToQColor(g_frameColor));
    p.setColor(QPalette::Base, m_background);
    setPalette(p);
}

void CListWindow::SetBackgroundColor(const QColor& color) {
    m_background = color;
    ApplyFrameColor();
    viewport()->update();
}

void CListWindow::Trace20(const char* operation) const {
    if (IsTraceActive()) Trace(20, m_className + QStringLiteral("::") + QLatin1String(operation) + QStringLiteral("()"));
}

void CListWindow::TraceNotify(const QWidget* from, int code) const {
    if (!IsTraceActive()) return;
    // The header has no number of its own; the list's number is its window identifier.
    const int id = from == this ? objectName().toInt() : 0;
    Trace(20, QStringLiteral("  %1::OnNotify wnd=%2  ID=%3  Code=%4\n")
                  .arg(m_className, QString::number(quintptr(from) & 0xFFFFFFFFu, 16), QString::number(id),
                       QString::number(unsigned(code), 16)));
}

// ---------------------------------------------------------------- the table

bool CListWindow::DefineDaoTable(db::Database& database) { return m_table.DefineDaoTable(database); }

bool CListWindow::OpenDaoRecordset(db::Database& database) { return m_table.OpenDaoRecordset(database); }

bool CListWindow::ActivateRecordInRecordset(int id) { return m_table.ActivateRecordInRecordset(id); }

void CListWindow::CleanUp() {
    Trace20("CleanUp");
    m_widthTimer.stop();
    SaveColumnDefinitions();
    m_model->Clear();
    m_currentRow = -1;
    m_currentID = -1;
    m_table.CloseRecordset();
}

// ---------------------------------------------------------------- columns

void CListWindow::ActivateListCtrlColumns() {
    Trace20("ActivateListCtrlColumns");
    m_applyingColumns = true;
    std::vector<CReportModel::Column> columns;
    std::vector<int> widths;
    m_columns.ApplyColumnSlots([&](int slot, const ColumnDef& def) {
        columns.push_back({def.Title, def.Format});
        widths.push_back(def.Width);
        return slot;
    });
    m_model->SetColumns(std::move(columns));
    for (int k = 0; k < int(widths.size()); ++k) header()->resizeSection(k, widths[size_t(k)]);
    m_currentRow = -1;
    m_applyingColumns = false;
}

void CListWindow::SaveColumnDefinitions() {
    Trace20("SaveColumnDefinitions");
    if (!CanProceed()) return;
    m_columns.StoreColumnDefinitions(m_pDoc->GetPtrColumnDefs(),
                                     [this](int listColumn) { return header()->sectionSize(listColumn); });
}

void CListWindow::LoadColumnDefinitions() {
    Trace20("LoadColumnDefinitions");
    m_columns.LoadColumnDefinitions(m_pDoc->GetPtrColumnDefs());
}

std::vector<ColumnMenuItem> CListWindow::ContextMenuItems() const { return m_columns.BuildColumnMenu(); }

void CListWindow::OnContextSelection(int commandID) {
    Trace20("OnContextSelection");
    if (m_columns.ToggleColumnSlot(commandID) != 1) return;
    ActivateListCtrlColumns();
    RefreshListCtrlFromRecordset();
    SaveColumnDefinitions();
}

void CListWindow::EndColumnDrag(int fromSlot, int toSlot) {
    Trace20("EndColumnDrag");
    if (!m_columns.MoveColumnSlot(fromSlot, toSlot)) return;
    ActivateListCtrlColumns();
    RefreshListCtrlFromRecordset();
}

void CListWindow::OnSectionResized(int, int, int) {
    if (m_applyingColumns) return;
    TraceNotify(header(), kNotifyEndTrack);
    m_widthTimer.start(); // a run of changes saves once
}

void CListWindow::OnSectionMoved(int, int oldVisual, int newVisual) {
    if (m_applyingColumns) return;
    TraceNotify(header(), kNotifyEndDrag);
    // The slots decide the order: put the header back and move the slot instead.
    m_applyingColumns = true;
    header()->moveSection(newVisual, oldVisual);
    m_applyingColumns = false;
    QTimer::singleShot(0, this, [this, oldVisual, newVisual] { EndColumnDrag(oldVisual, newVisual); });
}

void CListWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    for (const ColumnMenuItem& item : ContextMenuItems()) {
        if (item.separator) {
            menu.addSeparator();
            continue;
        }
        QAction* a = menu.addAction(item.text);
        a->setData(item.id);
        a->setCheckable(item.id != kColumnMenuFirstID + m_columns.Count());
        a->setChecked(item.checked);
        if (!a->isCheckable()) a->setEnabled(GetItemCount() > 0);
    }
    if (QAction* chosen = menu.exec(event->globalPos())) OnContextSelection(chosen->data().toInt());
}

// ---------------------------------------------------------------- rows

QStringList CListWindow::RowCells() {
    QStringList cells;
    for (const ColumnSlot& slot : m_columns.Slots()) {
        if (!slot.Used) break;
        cells << CellText(slot.ColumnIndex);
    }
    return cells;
}

void CListWindow::RefreshListCtrlFromRecordset() {
    Trace20("RefreshListCtrlFromRecordset");
    if (!CanProceed()) return;
    ApplyFrameColor();
    db::Recordset& rs = *GetPtrRecordset();
    m_currentRow = -1;
    try {
        const int total = int(rs.recordCount());
        m_model->BeginFill(total);
        if (total > 0) {
            RefillProgress(0, total);
            int done = 0;
            for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
                m_model->AppendRow(rs.intValue(QStringLiteral("ID")), RowCells(), RowIcon());
                RefillProgress(++done, total);
            }
            if (done != total) RefillProgress(total, total);
        }
        m_model->EndFill();
    } catch (const db::Error& e) {
        m_model->EndFill();
        Trace(10, m_className + QStringLiteral("::RefreshListCtrlFromRecordset()"));
        Trace(10, e.description());
    }
    AfterRefresh();
    EnsureItemActive();
}

void CListWindow::PutRecordToListCtrl(bool append) {
    if (!CanProceed()) return;
    try {
        const int id = GetPtrRecordset()->intValue(QStringLiteral("ID"));
        if (append) {
            m_model->AppendRow(id, RowCells(), RowIcon());
        } else {
            const int row = m_model->RowOfID(id);
            if (row >= 0) m_model->SetRow(row, RowCells(), RowIcon());
        }
    } catch (const db::Error& e) {
        Trace(10, m_className + QStringLiteral("::PutRecordToListCtrl()"));
        Trace(10, e.description());
    }
}

void CListWindow::AppendRecordsToListCtrl(const std::vector<int>& ids) {
    if (!CanProceed()) return;
    std::vector<std::pair<int, QStringList>> rows;
    rows.reserve(ids.size());
    for (int id : ids)
        if (ActivateRecordInRecordset(id)) rows.emplace_back(id, RowCells());
    m_model->AppendRows(std::move(rows));
}

int CListWindow::FindCurrentRecordInListCtrl() {
    if (GetItemCount() == 0 || !CanProceed()) return -1;
    // Only finds the row: the current record changes when that row is made current.
    try {
        return m_model->RowOfID(GetPtrRecordset()->intValue(QStringLiteral("ID")));
    } catch (const db::Error&) {
        return -1;
    }
}

// ---------------------------------------------------------------- selection

int CListWindow::FocusedRow() const {
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

bool CListWindow::IsRowSelected(int row) const {
    return row >= 0 && selectionModel()->isRowSelected(row, QModelIndex());
}

std::vector<int> CListWindow::GetSelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::vector<int> CListWindow::GetSelectedIDs() const {
    std::vector<int> ids;
    for (int row : GetSelectedRows()) ids.push_back(m_model->ID(row));
    return ids;
}

void CListWindow::RemoveRowsWithIDs(const QSet<int>& ids) {
    m_model->RemoveIDs(ids);
    m_currentRow = -1;
}

int CListWindow::GetSelectedCount() const { return int(selectionModel()->selectedRows().size()); }

int CListWindow::ClearSelected() {
    selectionModel()->clear();
    return GetItemCount();
}

void CListWindow::SelectOnly(int row) {
    if (row < 0 || row >= GetItemCount()) return;
    selectionModel()->clear();
    const QModelIndex i = m_model->index(row, 0);
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EnsureItemActive();
}

void CListWindow::EnsureItemActive() {
    if (IsTraceActive()) Trace(2, m_className + QStringLiteral("::EnsureItemActive()"));
    const int count = GetItemCount();
    if (count == 0) return;
    // Without columns no row can be selected or focused: the current record stays current.
    const bool noColumns = m_model->columnCount() == 0;
    int row = FocusedRow();
    if (row < 0) {
        const std::vector<int> selected = GetSelectedRows();
        if (!selected.empty()) row = selected.front();
    }
    if (row < 0 && noColumns && m_currentRow >= 0) row = m_model->RowOfID(m_currentID);
    if (row < 0) row = indexAt(QPoint(1, 1)).row();
    if (row < 0) row = 0; // nothing laid out yet: the top row is the topmost visible one
    const bool wasMarked = noColumns || IsRowSelected(row) || FocusedRow() == row;
    const QModelIndex i = m_model->index(row, 0);
    if (i.isValid()) selectionModel()->setCurrentIndex(i, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const int id = m_model->ID(row);
    // The current row is known by its record: rows move under sorts and removals.
    if (m_currentRow >= 0 && id == m_currentID && wasMarked) {
        m_currentRow = row;
        return;
    }
    m_currentRow = row;
    if (i.isValid()) scrollTo(i);
    m_currentID = id;
    ActivateRecordInRecordset(m_currentID);
    OnRowActivated(m_currentID);
    emit currentRecordChanged(m_currentID);
}

int CListWindow::GetCurrentID() {
    if (GetItemCount() == 0) return -1;
    EnsureItemActive();
    return m_currentRow >= 0 ? m_currentID : -1;
}

void CListWindow::ClickRow(int row, Qt::KeyboardModifiers modifiers) {
    if (row < 0) row = m_currentRow;
    if (row < 0 || row >= GetItemCount()) return;
    QItemSelectionModel* sm = selectionModel();
    const QModelIndex clicked = m_model->index(row, 0);
    if (modifiers & Qt::ShiftModifier) {
        const int from = std::min(std::max(m_currentRow, 0), row);
        const int to = std::max(std::max(m_currentRow, 0), row);
        QItemSelection range(m_model->index(from, 0), m_model->index(to, m_model->columnCount() - 1));
        sm->select(range, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        sm->setCurrentIndex(clicked, QItemSelectionModel::NoUpdate);
    } else if (modifiers & Qt::ControlModifier) {
        if (!IsRowSelected(row)) {
            sm->setCurrentIndex(clicked, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        } else if (GetSelectedCount() >= 2) {
            sm->select(clicked, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
            if (FocusedRow() == row) {
                // The focus moves to a row that stays selected.
                const std::vector<int> rest = GetSelectedRows();
                sm->setCurrentIndex(m_model->index(rest.front(), 0), QItemSelectionModel::NoUpdate);
            }
        }
    } else {
        sm->clear();
        sm->setCurrentIndex(clicked, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    EnsureItemActive();
}

void CListWindow::SortListByColumn(int slot) {
    Trace20("SortListByColumn");
    const int count = GetItemCount();
    if (count == 0 || slot < 0 || slot >= m_model->columnCount()) return;
    // Descending exactly when the list now runs ascending in that column.
    m_sortDescending = QString::compare(m_model->Cell(0, slot), m_model->Cell(count - 1, slot)) < 0;
    m_model->SortByColumn(slot, m_sortDescending);
    if (m_currentID != -1) {
        m_currentRow = m_model->RowOfID(m_currentID);
        if (m_currentRow >= 0) scrollTo(m_model->index(m_currentRow, 0));
    }
}

// ---------------------------------------------------------------- mouse and keys

void CListWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QTreeView::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    ClickRow(indexAt(event->position().toPoint()).row(), event->modifiers());
}

void CListWindow::mouseMoveEvent(QMouseEvent* event) {
    if (IsTraceActive()) Trace(1, m_className + QStringLiteral("::OnMouseMove()"));
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    EnsureItemActive();
    if (event->buttons() == Qt::NoButton) QTreeView::mouseMoveEvent(event);
}

void CListWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    TraceNotify(this, kNotifyDoubleClick);
    if (CanEdit()) OnEditItem();
}

void CListWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        OnEditDelItem();
        return;
    }
    QTreeView::keyPressEvent(event);
    // Arrow keys move the focus; the focused row becomes current.
    if (GetItemCount() > 0 && FocusedRow() != m_currentRow) EnsureItemActive();
}
