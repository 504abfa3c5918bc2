#pragma once

#include "listwin/columndefs.h"
#include "listwin/reportmodel.h"
#include "project/tableowner.h"

#include <QTimer>
#include <QTreeView>

class CQuorvaneDoc;

// The report list shared by the four list windows: columns from the display slots, rows that
// carry their record's ID, the selection and current-row rules, sorting by shown text, the
// column menu, header drag and width saving. Each list window is also the owner of its table.
class CListWindow : public QTreeView, public IListTableOwner {
    Q_OBJECT
public:
    CListWindow(CQuorvaneDoc* doc, const QString& className, db::TableDef def, const QString& countLabel,
                const ListColumnSet& columnSet, int group, QWidget* parent = nullptr);
    ~CListWindow() override;

    // ---- the table
    bool DefineDaoTable(db::Database& database) override;
    bool OpenDaoRecordset(db::Database& database) override;
    void CleanUp() override;
    bool CanProceed() const override { return m_table.CanProceed(); }
    db::Recordset* GetPtrRecordset() const { return m_table.GetPtrRecordset(); }
    virtual bool ActivateRecordInRecordset(int id);
    CRecordTable& Table() { return m_table; }

    // ---- columns
    void SetupDefaultColumns() override { m_columns.SetupDefaultColumns(); }
    void ActivateListCtrlColumns() override;
    void SaveColumnDefinitions() override;
    void LoadColumnDefinitions() override;
    CListColumns& Columns() { return m_columns; }
    virtual void OnContextSelection(int commandID);
    std::vector<ColumnMenuItem> ContextMenuItems() const;
    void EndColumnDrag(int fromSlot, int toSlot);

    // ---- rows
    void RefreshListCtrlFromRecordset() override;
    // Shows the main recordset's current row: appended, or in place of the row with its ID.
    void PutRecordToListCtrl(bool append);
    int FindCurrentRecordInListCtrl();
    // Appends the rows of these records (all members of the recordset) in one go.
    void AppendRecordsToListCtrl(const std::vector<int>& ids);
    int GetItemCount() const { return m_model->rowCount(); }
    int GetItemID(int row) const { return m_model->ID(row); }
    QString GetItemText(int row, int slot) const { return m_model->Cell(row, slot); }
    CReportModel* Model() const { return m_model; }
    // Removes the rows of these records at once; no row is current afterwards.
    void RemoveRowsWithIDs(const QSet<int>& ids);
    std::vector<int> GetSelectedIDs() const; // top to bottom

    // ---- selection and the current row
    int GetCurrentID();
    int GetCurrentRow() const { return m_currentRow; }
    void EnsureItemActive();
    int ClearSelected();
    bool CanEdit() { return GetCurrentID() != -1; }
    std::vector<int> GetSelectedRows() const; // top to bottom
    int GetSelectedCount() const;
    bool IsRowSelected(int row) const;
    int FocusedRow() const;
    // Selects the row alone, focuses it and makes it current.
    void SelectOnly(int row);
    void ClickRow(int row, Qt::KeyboardModifiers modifiers);
    void SortListByColumn(int slot);

    // ---- commands; each list gives its own
    virtual void OnEditAddItem() {}
    virtual void OnEditItem() {}
    virtual void OnEditDelItem() {}

    // The frame colour of every list window (the caption frame colour of the main frame).
    // The list's own background (white unless a list says otherwise); kept over refills.
    void SetBackgroundColor(const QColor& color);
    QColor BackgroundColor() const { return m_background; }

    static void SetFrameColor(unsigned rgb);
    static unsigned FrameColor();

    const QString& ClassName() const { return m_className; }

signals:
    void currentRecordChanged(int id);

protected:
    // The text of one column of the main recordset's current row.
    virtual QString CellText(int columnIndex) = 0;
    // The picture of the main recordset's current row, -1 for none.
    virtual int RowIcon() { return -1; }
    // Called when another row became current, after its record was activated.
    virtual void OnRowActivated(int /*id*/) {}
    virtual void AfterRefresh() {}
    // Told before the first row of a refill (done 0), after each row, and at the end
    // (done == total), for lists that show a progress dialog.
    virtual void RefillProgress(int /*done*/, int /*total*/) {}
    CQuorvaneDoc* Doc() const { return m_pDoc; }
    void Trace20(const char* operation) const;
    // The codes of the notifications traced by OnNotify, as the list controls number them.
    static constexpr int kNotifyDoubleClick = -3;
    static constexpr int kNotifyColumnClick = -108;
    static constexpr int kNotifyEndDrag = -311;
    static constexpr int kNotifyEndTrack = -326;
    // "  <class>::OnNotify wnd=..  ID=..  Code=.." for a notification from the list or its header.
    void TraceNotify(const QWidget* from, int code) const;
    QStringList RowCells();
    void ApplyFrameColor();

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

    int m_currentRow = -1;
    int m_currentID = -1;

private:
    void OnSectionResized(int logical, int oldSize, int newSize);
    void OnSectionMoved(int logical, int oldVisual, int newVisual);

    CQuorvaneDoc* m_pDoc;
    QString m_className;
    CRecordTable m_table;
    CListColumns m_columns;
    CReportModel* m_model;
    QTimer m_widthTimer;
    bool m_applyingColumns = false;
    bool m_sortDescending = false;
    QColor m_background = Qt::white;
};
