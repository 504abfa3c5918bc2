#pragma once

#include <QString>
#include <functional>
#include <vector>

class CDaoGroupedStringList;

// One column of a list's own column table, as built into the program.
struct ColumnTableEntry {
    const char* title;
    const char* description;
    int width;
    int format; // 0 left, 1 right, 2 centred
};

// The column definitions and default slots of one kind of list.
struct ListColumnSet {
    int count;                        // N
    const ColumnTableEntry* table;    // N entries
    std::vector<int> defaultColumns;  // column indexes of the default slots, slot 0 first
};

const ListColumnSet& CustomerColumnSet();    // 20 columns, group 0
const ListColumnSet& InvoiceColumnSet();     // 27 columns, group 1
const ListColumnSet& InvoiceItemColumnSet(); // 9 columns, group 2
const ListColumnSet& StoreItemColumnSet();   // 19 columns, group 10 + store ID

constexpr int kCustomerColumnGroup = 0;
constexpr int kInvoiceColumnGroup = 1;
constexpr int kInvoiceItemColumnGroup = 2;
inline int StoreItemColumnGroup(int storeID) { return 10 + storeID; }

constexpr int kColumnMenuFirstID = 45056; // + column index; + N is "Refresh"
constexpr int kColumnMenuLastID = 45156;

struct ColumnDef {
    int Active = 0;
    int Width = 0;
    int Format = 0;
    QString Title;       // at most 20 characters are stored
    QString Description; // at most 50 characters are stored
    int RowID = -1;
};

struct ColumnSlot {
    int Used = 0;
    int ColumnIndex = 0;
    int ListColumn = 0;
};

constexpr int kColumnTitleWidth = 20;
constexpr int kColumnDescriptionWidth = 50;

// Row i of a list's group: definition i and slot i in "%4d %-20s%-50s%5d%5d%5d%5d%5d".
// Longer titles and descriptions are cut so that every field stays at its fixed position.
QString FormatColumnRow(int index, const ColumnDef& def, const ColumnSlot& slot);

// Reads a stored row. False (and nothing changed) for a damaged row: an index outside
// 0..n-1, a text too short to hold every field, or a field that is not a number.
bool ParseColumnRow(const QString& row, int n, int& index, ColumnDef& def, ColumnSlot& slot);

struct ColumnMenuItem {
    QString text; // empty for the separator
    int id = 0;
    bool checked = false;
    bool separator = false;
};

// The column layout of one list window: definitions by column index, slots by display position.
// Everything here is independent of the window that shows it.
class CListColumns {
public:
    CListColumns(const ListColumnSet& columnSet, int group);

    int Count() const { return m_set->count; }
    int Group() const { return m_group; }
    void SetGroup(int group) { m_group = group; }
    const ListColumnSet& Table() const { return *m_set; }

    std::vector<ColumnDef>& Definitions() { return m_defs; }
    const std::vector<ColumnDef>& Definitions() const { return m_defs; }
    std::vector<ColumnSlot>& Slots() { return m_slots; }
    const std::vector<ColumnSlot>& Slots() const { return m_slots; }

    void InitializeColumnDefinitions();
    void SetupDefaultColumns();

    // Marks the definitions of used slots active (and the others not) and numbers the list
    // columns 0, 1, ... in slot order; calls insert(k, def) for each used slot k if given.
    void ApplyColumnSlots(const std::function<int(int slot, const ColumnDef&)>& insert = {});

    // Writes all N rows of the group; widthOf(listColumn) reads a shown column's width back.
    // Returns false when there is no list to write to.
    bool StoreColumnDefinitions(CDaoGroupedStringList* list,
                                const std::function<int(int listColumn)>& widthOf = {});
    // Returns the number of rows read.
    int ReadColumnDefinitions(CDaoGroupedStringList* list);
    // Initialize, read, and fall back to the defaults when nothing was read.
    void LoadColumnDefinitions(CDaoGroupedStringList* list);

    std::vector<ColumnMenuItem> BuildColumnMenu() const;
    // 1 when the columns must be re-applied, else 0.
    int ToggleColumnSlot(int commandID);
    // Moves the column of slot `from` to slot `to`, shifting the slots between; false when
    // nothing changed (equal or negative slots).
    bool MoveColumnSlot(int from, int to);
    // The slot under x (client coordinates plus horizontal scroll); the last used slot when
    // x is outside every column, -1 when no slot is used.
    int ColumnSlotAtX(int x, const std::function<int(int listColumn)>& widthOf) const;

    int UsedSlotCount() const;

private:
    const ListColumnSet* m_set;
    int m_group;
    std::vector<ColumnDef> m_defs;
    std::vector<ColumnSlot> m_slots;
};
