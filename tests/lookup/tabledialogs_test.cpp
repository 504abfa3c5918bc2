// The discount table and container list dialogs on a real new project, driven with the user's
// keys and clicks; every action is checked in the project's tables as well as on screen.
#include "lookup/containerslistdlg.h"
#include "lookup/discountlinerules.h"
#include "lookup/discounttabledlg.h"
#include "lookuptesthelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace lookuptest;

namespace {

const QString kDiscNames = QStringLiteral("DiscTableNamesList");
const QString kContainerNames = QStringLiteral("ContainerNamesList");
const QString kContainers = QStringLiteral("ContainerList");
const QString kExists = QStringLiteral("Name already exists!\nEnter a new name.");

// ---- the user's side

void Settle() { QCoreApplication::processEvents(); }

::testing::AssertionResult Open(QDialog& dlg) {
    dlg.show();
    dlg.activateWindow();
    if (!QTest::qWaitForWindowActive(&dlg)) return ::testing::AssertionFailure() << "dialog not active";
    Settle();
    return ::testing::AssertionSuccess();
}

void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, mods);
    Settle();
}

// Enters the field the way a user tabs into it, which selects its text, so typing replaces it.
void EnterAndType(QWidget* field, const QString& text) {
    field->setFocus(Qt::TabFocusReason);
    Settle();
    QTest::keyClicks(QApplication::focusWidget(), text);
    Settle();
}

void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    Settle();
}

void ClickLine(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    ASSERT_NE(item, nullptr) << row;
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualItemRect(item).center());
    Settle();
}

// Picks the entry below the shown one in the closed drop-down with the arrow key.
void ChooseBelow(QComboBox* combo) {
    combo->setFocus(Qt::TabFocusReason);
    Settle();
    Key(Qt::Key_Down);
}

template <class W> W* Find(QWidget& dlg, const char* name) {
    W* w = dlg.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QStringList Lines(const QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
}

std::vector<int> LineIDs(const QListWidget* list) {
    std::vector<int> ids;
    for (int i = 0; i < list->count(); ++i) ids.push_back(list->item(i)->data(Qt::UserRole).toInt());
    return ids;
}

QStringList Entries(const QComboBox* combo) {
    QStringList names;
    for (int i = 0; i < combo->count(); ++i) names << combo->itemText(i);
    return names;
}

void ExpectLookup(const std::vector<LookupRow>& actual, const std::vector<LookupRow>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual[i].id, expected[i].id);
        EXPECT_EQ(actual[i].category, expected[i].category);
        EXPECT_EQ(actual[i].name, expected[i].name);
        EXPECT_NEAR(actual[i].value, expected[i].value, 1e-12);
    }
}

// ---- the discount table dialog

class DiscountTableDlgTest : public NewProjectTest {
protected:
    void SetUp() override {
        NewProjectTest::SetUp();
        defaultTable = doc.GetDefaultDiscTableID();
        defaultEntry = LookupRows().front().id;
    }

    std::vector<LookupRow> LookupRows() { return ReadLookupRows(ProjectDb()); }
    std::vector<ListRow> NameRows() { return ReadListRows(ProjectDb(), kDiscNames); }

    // A second table made the way the program makes one, with entries of its own.
    int AddTable(const QString& name, const std::vector<std::pair<QString, double>>& entries) {
        const int id = doc.GetPtrDiscTableNamesList()->AddItem(0, name);
        for (const auto& [entry, value] : entries) doc.GetPtrLookupTable()->AddItem(id, entry, value);
        return id;
    }

    void ExpectNoMessages() {
        EXPECT_TRUE(prompter.m_shown.isEmpty()) << prompter.m_shown.join(QLatin1Char('|')).toStdString();
    }

    int defaultTable = -1;
    int defaultEntry = -1;
};

struct DiscountControls {
    explicit DiscountControls(QWidget& dlg)
        : combo(Find<QComboBox>(dlg, "comboTableName")), create(Find<QPushButton>(dlg, "buttonCreate")),
          rename(Find<QPushButton>(dlg, "buttonRename")), list(Find<QListWidget>(dlg, "listEntries")),
          name(Find<QLineEdit>(dlg, "editName")), percent(Find<QLineEdit>(dlg, "editPercent")),
          add(Find<QPushButton>(dlg, "buttonAdd")), remove(Find<QPushButton>(dlg, "buttonRemove")),
          close(Find<QPushButton>(dlg, "IDOK")) {}
    QComboBox* combo;
    QPushButton* create;
    QPushButton* rename;
    QListWidget* list;
    QLineEdit* name;
    QLineEdit* percent;
    QPushButton* add;
    QPushButton* remove;
    QPushButton* close;
};

} // namespace

TEST(DiscountEntryLine, Columns) {
    EXPECT_EQ(DiscountEntryLine(QStringLiteral("default"), 0.0), QStringLiteral("default                     0.00%"));
    EXPECT_EQ(DiscountEntryLine(QStringLiteral("Senior Citizen"), 0.125),
              QStringLiteral("Senior Citizen             12.50%"));
    EXPECT_EQ(DiscountEntryLine(QStringLiteral("x"), 1.5), QStringLiteral("x                          150.00%"));
    EXPECT_EQ(DiscountEntryLine(QStringLiteral("abcdefghijklmnopqrstuvwxyz1234"), 0.07),
              QStringLiteral("abcdefghijklmnopqrstuvwxyz1234   7.00%"));

    EXPECT_EQ(RemoveTrailingBlanks(QStringLiteral(" a b \t ")), QStringLiteral(" a b"));
    EXPECT_EQ(RemoveTrailingBlanks(QStringLiteral("   ")), QString());
}

TEST_F(DiscountTableDlgTest, OpensOnTheCurrentTable) {
    const int wholesale = AddTable(QStringLiteral("Wholesale"), {{QStringLiteral("default"), 0.1},
                                                                 {QStringLiteral("Dealer"), 0.25}});
    const std::vector<LookupRow> before = LookupRows();
    CDiscountTableDlg dlg(&doc, wholesale, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Discount Table Dialog"));
    EXPECT_TRUE(c.combo->isEditable());
    EXPECT_EQ(Entries(c.combo), (QStringList{"Default", "Wholesale"}));
    EXPECT_EQ(c.combo->currentText(), QStringLiteral("Wholesale"));
    EXPECT_EQ(Lines(c.list), (QStringList{"default                    10.00%", "Dealer                     25.00%"}));
    EXPECT_EQ(LineIDs(c.list), (std::vector<int>{before[1].id, before[2].id}));
    EXPECT_TRUE(c.name->text().isEmpty());
    EXPECT_TRUE(c.percent->text().isEmpty());
    EXPECT_EQ(c.name->maxLength(), 50);
    EXPECT_FALSE(dlg.Changed());
    EXPECT_EQ(dlg.CurrentTableID(), wholesale);

    // The default table on another opening.
    CDiscountTableDlg other(&doc, defaultTable, nullptr);
    DiscountControls o(other);
    EXPECT_EQ(o.combo->currentText(), QStringLiteral("Default"));
    EXPECT_EQ(Lines(o.list), (QStringList{"default                     0.00%"}));
    EXPECT_EQ(LineIDs(o.list), (std::vector<int>{defaultEntry}));
    ExpectLookup(LookupRows(), before);
    ExpectNoMessages();
}

TEST_F(DiscountTableDlgTest, EnterAloneNeitherAddsNorClosesButCtrlEnterCloses) {
    CDiscountTableDlg dlg(&doc, defaultTable, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);
    EnterAndType(c.name, QStringLiteral("Retail"));
    EnterAndType(c.percent, QStringLiteral("5"));
    Key(Qt::Key_Return);
    EnterAndType(c.combo, QStringLiteral("Outlet"));
    Key(Qt::Key_Return);
    Key(Qt::Key_Enter);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 0);
    EXPECT_EQ(Entries(c.combo), (QStringList{"Default"}));
    EXPECT_EQ(c.list->count(), 1);
    EXPECT_EQ(NameRows().size(), 1u);
    EXPECT_EQ(LookupRows().size(), 1u);

    c.name->setFocus(Qt::TabFocusReason);
    Settle();
    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.isVisible());

    CDiscountTableDlg again(&doc, defaultTable, nullptr);
    ASSERT_TRUE(Open(again));
    Click(Find<QPushButton>(again, "IDOK"));
    EXPECT_EQ(again.result(), QDialog::Accepted);
    EXPECT_EQ(Find<QPushButton>(again, "IDOK")->text(), QStringLiteral("Close"));
    ExpectNoMessages();
}

TEST_F(DiscountTableDlgTest, PercentFieldIsRewrittenWhenLeftAfterTyping) {
    CDiscountTableDlg dlg(&doc, defaultTable, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {{"5", " 5.00%"},      {"12.5", "12.50%"}, {"0.25", "25.00%"}, {"1", " 1.00%"},
                 {"150", "150.00%"},   {"-3", " 0.00%"},   {"abc", " 0.00%"},  {"7.5% off", " 7.50%"},
                 {"0.999", "99.90%"}};
    for (const auto& t : cases) {
        EnterAndType(c.percent, QString::fromLatin1(t.typed));
        c.name->setFocus(Qt::TabFocusReason);
        Settle();
        EXPECT_EQ(c.percent->text(), QString::fromLatin1(t.shown)) << t.typed;
    }
    // Passing through without typing leaves the text as it is.
    c.percent->setText(QStringLiteral("0.5"));
    c.percent->setFocus(Qt::TabFocusReason);
    Settle();
    c.name->setFocus(Qt::TabFocusReason);
    Settle();
    EXPECT_EQ(c.percent->text(), QStringLiteral("0.5"));
    EXPECT_EQ(LookupRows().size(), 1u);
}

TEST_F(DiscountTableDlgTest, AddingDefaultInAnyCaseRewritesTheDefaultEntry) {
    CDiscountTableDlg dlg(&doc, defaultTable, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);
    EnterAndType(c.name, QStringLiteral("DEFAULT"));
    EnterAndType(c.percent, QStringLiteral("5"));
    Click(c.add);
    ExpectLookup(LookupRows(), {{defaultEntry, defaultTable, QStringLiteral("default"), 0.05}});
    EXPECT_EQ(Lines(c.list), (QStringList{"default                     5.00%"}));
    EXPECT_EQ(LineIDs(c.list), (std::vector<int>{defaultEntry}));
    EXPECT_TRUE(dlg.Changed());
    ExpectNoMessages();
}

TEST_F(DiscountTableDlgTest, AddingANewNameAppendsItWithoutMarkingAChange) {
    CDiscountTableDlg dlg(&doc, defaultTable, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);
    const int next = doc.GetHighWaterLookupItemID();
    EnterAndType(c.name, QStringLiteral("Retail"));
    EnterAndType(c.percent, QStringLiteral("12.5"));
    Click(c.add);
    ExpectLookup(LookupRows(), {{defaultEntry, defaultTable, QStringLiteral("default"), 0.0},
                                {next, defaultTable, QStringLiteral("Retail"), 0.125}});
    EXPECT_EQ(Lines(c.list), (QStringList{"default                     0.00%", "Retail                     12.50%"}));
    EXPECT_EQ(LineIDs(c.list), (std::vector<int>{defaultEntry, next}));
    EXPECT_EQ(c.list->currentRow(), 1);
    EXPECT_TRUE(c.list->item(1)->isSelected());
    EXPECT_FALSE(dlg.Changed());

    // A fraction typed below 1 is taken as the rate itself.
    EnterAndType(c.name, QStringLiteral("Staff"));
    EnterAndType(c.percent, QStringLiteral("0.3"));
    Click(c.add);
    ExpectLookup(LookupRows(), {{defaultEntry, defaultTable, QStringLiteral("default"), 0.0},
                                {next, defaultTable, QStringLiteral("Retail"), 0.125},
                                {next + 1, defaultTable, QStringLiteral("Staff"), 0.3}});
    EXPECT_EQ(c.list->currentRow(), 2);
    EXPECT_FALSE(dlg.Changed());

    // No name, or only blanks: nothing is added.
    EnterAndType(c.name, QStringLiteral("   "));
    EnterAndType(c.percent, QStringLiteral("4"));
    Click(c.add);
    EXPECT_EQ(LookupRows().size(), 3u);
    EXPECT_EQ(c.list->count(), 3);
    EXPECT_FALSE(dlg.Changed());
    ExpectNoMessages();
}

TEST_F(DiscountTableDlgTest, AddingAnExistingNameWithBlanksChangesItsValue) {
    CDiscountTableDlg dlg(&doc, defaultTable, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);
    const int next = doc.GetHighWaterLookupItemID();
    EnterAndType(c.name, QStringLiteral("Senior Citizen"));
    EnterAndType(c.percent, QStringLiteral("10"));
    Click(c.add);
    EnterAndType(c.name, QStringLiteral("Retail"));
    EnterAndType(c.percent, QStringLiteral("3"));
    Click(c.add);
    ASSERT_FALSE(dlg.Changed());

    EnterAndType(c.name, QStringLiteral("Senior Citizen  "));
    EnterAndType(c.percent, QStringLiteral("15"));
    Click(c.add);
    ExpectLookup(LookupRows(), {{defaultEntry, defaultTable, QStringLiteral("default"), 0.0},
                                {next, defaultTable, QStringLiteral("Senior Citizen"), 0.15},
                                {next + 1, defaultTable, QStringLiteral("Retail"), 0.03}});
    EXPECT_EQ(Lines(c.list), (QStringList{"default                     0.00%", "Senior Citizen             15.00%",
                                          "Retail                      3.00%"}));
    EXPECT_EQ(LineIDs(c.list), (std::vector<int>{defaultEntry, next, next + 1}));
    EXPECT_TRUE(dlg.Changed());
    ExpectNoMessages();
}

TEST_F(DiscountTableDlgTest, SelectingALineFillsTheFields) {
    const int table = AddTable(QStringLiteral("Club"), {{QStringLiteral("default"), 0.02},
                                                        {QStringLiteral("Gold Member"), 0.175}});
    CDiscountTableDlg dlg(&doc, table, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);
    ClickLine(c.list, 1);
    EXPECT_EQ(c.name->text(), QStringLiteral("Gold Member"));
    EXPECT_EQ(c.percent->text(), QStringLiteral("17.50%"));
    ClickLine(c.list, 0);
    EXPECT_EQ(c.name->text(), QStringLiteral("default"));
    EXPECT_EQ(c.percent->text(), QStringLiteral(" 2.00%"));

    // The fields as filled add back to the same entry and value.
    const std::vector<LookupRow> before = LookupRows();
    ClickLine(c.list, 1);
    Click(c.add);
    ExpectLookup(LookupRows(), before);
    EXPECT_EQ(c.list->count(), 2);
    ExpectNoMessages();
}

TEST_F(DiscountTableDlgTest, RemoveAsksAndKeepsTheDefaultEntry) {
    const int table = AddTable(QStringLiteral("Club"), {{QStringLiteral("default"), 0.0},
                                                        {QStringLiteral("Silver"), 0.05},
                                                        {QStringLiteral("Gold"), 0.1}});
    std::vector<LookupRow> rows = LookupRows();
    CDiscountTableDlg dlg(&doc, table, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);

    // Nothing selected: nothing to ask.
    Click(c.remove);
    ExpectNoMessages();

    ClickLine(c.list, 1);
    prompter.Expect(QStringLiteral("Delete item Silver?"), CPrompter::Answer::No);
    Click(c.remove);
    EXPECT_EQ(prompter.m_shown, (QStringList{"Delete item Silver?"}));
    EXPECT_EQ(prompter.m_buttons.back(), CPrompter::Buttons::YesNo);
    ExpectLookup(LookupRows(), rows);
    EXPECT_EQ(c.list->count(), 3);
    EXPECT_FALSE(dlg.Changed());

    prompter.Expect(QStringLiteral("Delete item Silver?"), CPrompter::Answer::Yes);
    Click(c.remove);
    rows.erase(rows.begin() + 2);
    ExpectLookup(LookupRows(), rows);
    EXPECT_EQ(Lines(c.list), (QStringList{"default                     0.00%", "Gold                       10.00%"}));
    EXPECT_TRUE(dlg.Changed());
    EXPECT_TRUE(c.list->selectedItems().isEmpty());
    EXPECT_TRUE(prompter.AllAnswered());

    // The entry every table falls back on cannot go: no question, no change.
    prompter.m_shown.clear();
    ClickLine(c.list, 0);
    Click(c.remove);
    ExpectNoMessages();
    ExpectLookup(LookupRows(), rows);
    EXPECT_EQ(c.list->count(), 2);
    EXPECT_TRUE(prompter.m_unexpected.isEmpty());
}

TEST_F(DiscountTableDlgTest, CreateMakesATableWithItsDefaultEntry) {
    CDiscountTableDlg dlg(&doc, defaultTable, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);
    const int nextName = doc.GetHighWaterDaoStringListID();
    const int nextEntry = doc.GetHighWaterLookupItemID();
    EnterAndType(c.combo, QStringLiteral("Retail Prices"));
    Click(c.create);
    EXPECT_EQ(NameRows(), (std::vector<ListRow>{{defaultTable, 0, QStringLiteral("Default")},
                                                {nextName, 0, QStringLiteral("Retail Prices")}}));
    ExpectLookup(LookupRows(), {{defaultEntry, defaultTable, QStringLiteral("default"), 0.0},
                                {nextEntry, nextName, QStringLiteral("default"), 0.0}});
    EXPECT_EQ(Entries(c.combo), (QStringList{"Default", "Retail Prices"}));
    EXPECT_EQ(c.combo->currentText(), QStringLiteral("Retail Prices"));
    EXPECT_EQ(dlg.CurrentTableID(), nextName);
    EXPECT_EQ(Lines(c.list), (QStringList{"default                     0.00%"}));
    EXPECT_EQ(LineIDs(c.list), (std::vector<int>{nextEntry}));

    // New entries go to the new table.
    EnterAndType(c.name, QStringLiteral("Walk-in"));
    EnterAndType(c.percent, QStringLiteral("2"));
    Click(c.add);
    ExpectLookup(LookupRows(), {{defaultEntry, defaultTable, QStringLiteral("default"), 0.0},
                                {nextEntry, nextName, QStringLiteral("default"), 0.0},
                                {nextEntry + 1, nextName, QStringLiteral("Walk-in"), 0.02}});
    EXPECT_FALSE(dlg.Changed());
    ExpectNoMessages();
}

TEST_F(DiscountTableDlgTest, CreateRefusesAnExistingNameButNotAnotherLetterCase) {
    CDiscountTableDlg dlg(&doc, defaultTable, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);
    const std::vector<ListRow> names = NameRows();
    const std::vector<LookupRow> rows = LookupRows();

    EnterAndType(c.combo, QStringLiteral("Default"));
    prompter.Expect(kExists);
    Click(c.create);
    EXPECT_EQ(prompter.m_shown, (QStringList{kExists}));
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_EQ(NameRows(), names);
    ExpectLookup(LookupRows(), rows);
    EXPECT_EQ(Entries(c.combo), (QStringList{"Default"}));
    EXPECT_EQ(dlg.CurrentTableID(), defaultTable);

    // An empty name does nothing at all.
    c.combo->setFocus(Qt::TabFocusReason);
    Settle();
    Key(Qt::Key_Delete);
    ASSERT_TRUE(c.combo->currentText().isEmpty());
    Click(c.create);
    EXPECT_EQ(prompter.m_shown.size(), 1);
    EXPECT_EQ(NameRows(), names);

    const int nextName = doc.GetHighWaterDaoStringListID();
    EnterAndType(c.combo, QStringLiteral("DEFAULT"));
    Click(c.create);
    EXPECT_EQ(prompter.m_shown.size(), 1);
    EXPECT_EQ(NameRows().back(), (ListRow{nextName, 0, QStringLiteral("DEFAULT")}));
    EXPECT_EQ(NameRows().size(), names.size() + 1);
    EXPECT_EQ(LookupRows().back().category, nextName);
    EXPECT_EQ(Entries(c.combo), (QStringList{"Default", "DEFAULT"}));
    EXPECT_EQ(c.combo->currentText(), QStringLiteral("DEFAULT"));
}

TEST_F(DiscountTableDlgTest, RenameChangesTheCurrentTablesName) {
    const int wholesale = AddTable(QStringLiteral("Wholesale"), {{QStringLiteral("default"), 0.1}});
    CDiscountTableDlg dlg(&doc, wholesale, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);
    const std::vector<LookupRow> rows = LookupRows();

    EnterAndType(c.combo, QStringLiteral("Trade Prices"));
    Click(c.rename);
    EXPECT_EQ(NameRows(), (std::vector<ListRow>{{defaultTable, 0, QStringLiteral("Default")},
                                                {wholesale, 0, QStringLiteral("Trade Prices")}}));
    EXPECT_EQ(Entries(c.combo), (QStringList{"Default", "Trade Prices"}));
    EXPECT_EQ(c.combo->currentText(), QStringLiteral("Trade Prices"));
    EXPECT_EQ(dlg.CurrentTableID(), wholesale);
    ExpectLookup(LookupRows(), rows);

    // To a name in use, its own included: refused.
    for (const QString& taken : {QStringLiteral("Default"), QStringLiteral("Trade Prices")}) {
        EnterAndType(c.combo, taken);
        prompter.Expect(kExists);
        Click(c.rename);
    }
    EXPECT_EQ(prompter.m_shown, (QStringList{kExists, kExists}));
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_EQ(NameRows()[1].text, QStringLiteral("Trade Prices"));
    EXPECT_EQ(Entries(c.combo), (QStringList{"Default", "Trade Prices"}));

    // Another letter case is a new name.
    EnterAndType(c.combo, QStringLiteral("TRADE PRICES"));
    Click(c.rename);
    EXPECT_EQ(NameRows()[1], (ListRow{wholesale, 0, QStringLiteral("TRADE PRICES")}));
    EXPECT_EQ(NameRows()[0], (ListRow{defaultTable, 0, QStringLiteral("Default")}));
    EXPECT_EQ(prompter.m_shown.size(), 2);
}

TEST_F(DiscountTableDlgTest, ChoosingAnotherTableShowsItsEntries) {
    const int wholesale = AddTable(QStringLiteral("Wholesale"), {{QStringLiteral("default"), 0.1},
                                                                 {QStringLiteral("Dealer"), 0.2}});
    std::vector<LookupRow> rows = LookupRows();
    CDiscountTableDlg dlg(&doc, defaultTable, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);
    ClickLine(c.list, 0);
    ASSERT_EQ(c.name->text(), QStringLiteral("default"));

    ChooseBelow(c.combo);
    EXPECT_EQ(c.combo->currentText(), QStringLiteral("Wholesale"));
    EXPECT_EQ(dlg.CurrentTableID(), wholesale);
    EXPECT_EQ(Lines(c.list), (QStringList{"default                    10.00%", "Dealer                     20.00%"}));
    EXPECT_EQ(LineIDs(c.list), (std::vector<int>{rows[1].id, rows[2].id}));
    EXPECT_TRUE(c.name->text().isEmpty());
    EXPECT_TRUE(c.percent->text().isEmpty());

    // Editing now changes the chosen table only.
    EnterAndType(c.name, QStringLiteral("default"));
    EnterAndType(c.percent, QStringLiteral("4"));
    Click(c.add);
    rows[1].value = 0.04;
    ExpectLookup(LookupRows(), rows);

    // Typing another table's name, Enter and leaving the field choose nothing: only a pick does.
    EnterAndType(c.combo, QStringLiteral("DEFAULT"));
    Key(Qt::Key_Return);
    c.name->setFocus(Qt::TabFocusReason);
    Settle();
    EXPECT_EQ(dlg.CurrentTableID(), wholesale);
    EXPECT_EQ(c.combo->currentText(), QStringLiteral("DEFAULT"));
    EXPECT_EQ(c.list->count(), 2);

    c.combo->setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Up);
    EXPECT_EQ(dlg.CurrentTableID(), defaultTable);
    EXPECT_EQ(Lines(c.list), (QStringList{"default                     0.00%"}));
    ExpectNoMessages();
}

TEST_F(DiscountTableDlgTest, AddChangesOnlyTheValueOfTheEntryWithExactlyThatName) {
    CDiscountTableDlg dlg(&doc, defaultTable, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);
    // Names alike in their first 25 characters or apart from letter case are different entries.
    const QString one = QStringLiteral("abcdefghijklmnopqrstuvwxy one");
    const QString two = QStringLiteral("abcdefghijklmnopqrstuvwxy two");
    const int next = doc.GetHighWaterLookupItemID();
    const std::pair<QString, const char*> added[] = {
        {one, "7"}, {two, "8"}, {QStringLiteral("Retail"), "3"}, {QStringLiteral("RETAIL"), "4"}};
    for (const auto& [name, percent] : added) {
        EnterAndType(c.name, name);
        EnterAndType(c.percent, QString::fromLatin1(percent));
        Click(c.add);
    }
    std::vector<LookupRow> rows = {{defaultEntry, defaultTable, QStringLiteral("default"), 0.0},
                                   {next, defaultTable, one, 0.07},
                                   {next + 1, defaultTable, two, 0.08},
                                   {next + 2, defaultTable, QStringLiteral("Retail"), 0.03},
                                   {next + 3, defaultTable, QStringLiteral("RETAIL"), 0.04}};
    ExpectLookup(LookupRows(), rows);
    EXPECT_EQ(c.list->item(1)->text(), QStringLiteral("abcdefghijklmnopqrstuvwxy one   7.00%"));
    EXPECT_FALSE(dlg.Changed());

    // A selected line fills in its whole name; added back, only its value changes.
    ClickLine(c.list, 2);
    EXPECT_EQ(c.name->text(), two);
    EXPECT_EQ(c.percent->text(), QStringLiteral(" 8.00%"));
    EnterAndType(c.percent, QStringLiteral("9"));
    Click(c.add);
    rows[2].value = 0.09;
    ExpectLookup(LookupRows(), rows);
    EXPECT_TRUE(dlg.Changed());
    EXPECT_EQ(Lines(c.list)[2], QStringLiteral("abcdefghijklmnopqrstuvwxy two   9.00%"));

    // No more than the stored width can be typed.
    EnterAndType(c.name, QString(60, QLatin1Char('n')));
    EXPECT_EQ(c.name->text(), QString(50, QLatin1Char('n')));
    ExpectNoMessages();
}

// ---- the container list dialog

namespace {

class ContainersListDlgTest : public NewProjectTest {
protected:
    void SetUp() override {
        NewProjectTest::SetUp();
        defaultList = doc.GetDefaultContainerID();
    }

    std::vector<ListRow> ContainerRows() { return ReadListRows(ProjectDb(), kContainers); }
    std::vector<ListRow> NameRows() { return ReadListRows(ProjectDb(), kContainerNames); }

    int AddList(const QString& name, const QStringList& containers) {
        const int id = doc.GetPtrContainerNamesList()->AddItem(0, name);
        for (const QString& c : containers) doc.GetPtrContainers()->AddItem(id, c);
        return id;
    }

    std::vector<ListRow> RowsOf(int group) {
        std::vector<ListRow> rows;
        for (const ListRow& r : ContainerRows())
            if (r.group == group) rows.push_back(r);
        return rows;
    }

    void ExpectNoMessages() {
        EXPECT_TRUE(prompter.m_shown.isEmpty()) << prompter.m_shown.join(QLatin1Char('|')).toStdString();
    }

    int defaultList = -1;
};

struct ContainerControls {
    explicit ContainerControls(QWidget& dlg)
        : combo(Find<QComboBox>(dlg, "comboTableName")), create(Find<QPushButton>(dlg, "buttonCreate")),
          rename(Find<QPushButton>(dlg, "buttonRename")), list(Find<QListWidget>(dlg, "listEntries")),
          name(Find<QLineEdit>(dlg, "editName")), add(Find<QPushButton>(dlg, "buttonAdd")),
          remove(Find<QPushButton>(dlg, "buttonRemove")) {}
    QComboBox* combo;
    QPushButton* create;
    QPushButton* rename;
    QListWidget* list;
    QLineEdit* name;
    QPushButton* add;
    QPushButton* remove;
};

QStringList Texts(const std::vector<ListRow>& rows) {
    QStringList texts;
    for (const ListRow& r : rows) texts << r.text;
    return texts;
}

std::vector<int> IDs(const std::vector<ListRow>& rows) {
    std::vector<int> ids;
    for (const ListRow& r : rows) ids.push_back(r.id);
    return ids;
}

} // namespace

TEST_F(ContainersListDlgTest, OpensOnTheCurrentList) {
    const int bulk = AddList(QStringLiteral("Bulk"), {QStringLiteral("drum"), QStringLiteral("tote")});
    CContainersListDlg dlg(&doc, bulk, nullptr);
    ASSERT_TRUE(Open(dlg));
    ContainerControls c(dlg);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Containers List Dialog"));
    EXPECT_EQ(Entries(c.combo), (QStringList{"Default", "Bulk"}));
    EXPECT_EQ(c.combo->currentText(), QStringLiteral("Bulk"));
    EXPECT_EQ(Lines(c.list), (QStringList{"drum", "tote"}));
    EXPECT_EQ(LineIDs(c.list), IDs(RowsOf(bulk)));
    EXPECT_TRUE(c.name->text().isEmpty());
    EXPECT_EQ(c.name->maxLength(), 50); // the width of a store item's container name
    EXPECT_EQ(dlg.findChild<QLineEdit*>(QStringLiteral("editPercent")), nullptr);
    EXPECT_FALSE(dlg.Changed());

    ClickLine(c.list, 1);
    EXPECT_EQ(c.name->text(), QStringLiteral("tote"));

    ChooseBelow(c.combo); // already the last: stays
    c.combo->setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Up);
    EXPECT_EQ(c.combo->currentText(), QStringLiteral("Default"));
    EXPECT_EQ(dlg.CurrentListID(), defaultList);
    EXPECT_EQ(Lines(c.list), Texts(RowsOf(defaultList)));
    EXPECT_EQ(LineIDs(c.list), IDs(RowsOf(defaultList)));
    EXPECT_TRUE(c.name->text().isEmpty());

    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ExpectNoMessages();
}

TEST_F(ContainersListDlgTest, AddingANameInAnotherCaseRewritesIt) {
    CContainersListDlg dlg(&doc, defaultList, nullptr);
    ASSERT_TRUE(Open(dlg));
    ContainerControls c(dlg);
    std::vector<ListRow> rows = ContainerRows();
    ASSERT_EQ(rows.front().text, QStringLiteral("box"));

    EnterAndType(c.name, QStringLiteral("BOX"));
    Click(c.add);
    rows.front().text = QStringLiteral("BOX");
    EXPECT_EQ(ContainerRows(), rows);
    EXPECT_EQ(c.list->item(0)->text(), QStringLiteral("BOX"));
    EXPECT_EQ(c.list->count(), int(rows.size()));
    EXPECT_TRUE(dlg.Changed());
    ExpectNoMessages();
}

TEST_F(ContainersListDlgTest, AddingANewNameAppendsItWithoutMarkingAChange) {
    CContainersListDlg dlg(&doc, defaultList, nullptr);
    ASSERT_TRUE(Open(dlg));
    ContainerControls c(dlg);
    std::vector<ListRow> rows = ContainerRows();
    const int next = doc.GetHighWaterDaoStringListID();

    EnterAndType(c.name, QStringLiteral("wooden crate  "));
    Click(c.add);
    rows.push_back({next, defaultList, QStringLiteral("wooden crate")});
    EXPECT_EQ(ContainerRows(), rows);
    EXPECT_EQ(Lines(c.list).back(), QStringLiteral("wooden crate"));
    EXPECT_EQ(LineIDs(c.list).back(), next);
    EXPECT_EQ(c.list->currentRow(), c.list->count() - 1);
    EXPECT_FALSE(dlg.Changed());

    // Blanks alone add nothing; a longer name that merely starts like one is new.
    EnterAndType(c.name, QStringLiteral("  "));
    Click(c.add);
    EnterAndType(c.name, QStringLiteral("boxes"));
    Click(c.add);
    rows.push_back({next + 1, defaultList, QStringLiteral("boxes")});
    EXPECT_EQ(ContainerRows(), rows);
    EXPECT_FALSE(dlg.Changed());

    EnterAndType(c.name, QString(300, QLatin1Char('z')));
    EXPECT_EQ(c.name->text().size(), 50);
    ExpectNoMessages();
}

TEST_F(ContainersListDlgTest, RemoveAsksForAnyName) {
    CContainersListDlg dlg(&doc, defaultList, nullptr);
    ASSERT_TRUE(Open(dlg));
    ContainerControls c(dlg);
    std::vector<ListRow> rows = ContainerRows();

    ClickLine(c.list, 0);
    prompter.Expect(QStringLiteral("Delete item box?"), CPrompter::Answer::No);
    Click(c.remove);
    EXPECT_EQ(ContainerRows(), rows);
    EXPECT_EQ(c.list->count(), int(rows.size()));
    EXPECT_FALSE(dlg.Changed());

    ClickLine(c.list, 7);
    prompter.Expect(QStringLiteral("Delete item other?"), CPrompter::Answer::Yes);
    Click(c.remove);
    rows.pop_back();
    EXPECT_EQ(ContainerRows(), rows);
    EXPECT_EQ(Lines(c.list), Texts(rows));
    EXPECT_TRUE(dlg.Changed());

    ClickLine(c.list, 0);
    prompter.Expect(QStringLiteral("Delete item box?"), CPrompter::Answer::Yes);
    Click(c.remove);
    rows.erase(rows.begin());
    EXPECT_EQ(ContainerRows(), rows);
    EXPECT_EQ(Lines(c.list), Texts(rows));
    EXPECT_EQ(LineIDs(c.list), IDs(rows));
    EXPECT_TRUE(c.name->text().isEmpty());

    EXPECT_EQ(prompter.m_shown,
              (QStringList{"Delete item box?", "Delete item other?", "Delete item box?"}));
    EXPECT_TRUE(prompter.AllAnswered());
    EXPECT_TRUE(prompter.m_unexpected.isEmpty());

    // Nothing selected after a removal: a second click asks nothing.
    Click(c.remove);
    EXPECT_EQ(prompter.m_shown.size(), 3);
    EXPECT_EQ(ContainerRows(), rows);
}

TEST_F(ContainersListDlgTest, CreateAndRenameLists) {
    CContainersListDlg dlg(&doc, defaultList, nullptr);
    ASSERT_TRUE(Open(dlg));
    ContainerControls c(dlg);
    const std::vector<ListRow> containers = ContainerRows();
    const int next = doc.GetHighWaterDaoStringListID();

    EnterAndType(c.combo, QStringLiteral("Bulk Goods"));
    Click(c.create);
    EXPECT_EQ(NameRows(), (std::vector<ListRow>{{defaultList, 0, QStringLiteral("Default")},
                                                {next, 0, QStringLiteral("Bulk Goods")}}));
    EXPECT_EQ(ContainerRows(), containers); // a new list starts empty
    EXPECT_EQ(c.list->count(), 0);
    EXPECT_EQ(dlg.CurrentListID(), next);
    EXPECT_EQ(c.combo->currentText(), QStringLiteral("Bulk Goods"));

    EnterAndType(c.name, QStringLiteral("drum"));
    Click(c.add);
    EXPECT_EQ(RowsOf(next), (std::vector<ListRow>{{next + 1, next, QStringLiteral("drum")}}));
    EXPECT_EQ(Lines(c.list), (QStringList{"drum"}));

    EnterAndType(c.combo, QStringLiteral("Default"));
    prompter.Expect(kExists);
    Click(c.create);
    EnterAndType(c.combo, QStringLiteral("Default"));
    prompter.Expect(kExists);
    Click(c.rename);
    EXPECT_EQ(prompter.m_shown, (QStringList{kExists, kExists}));
    EXPECT_EQ(NameRows().size(), 2u);
    EXPECT_EQ(NameRows()[1].text, QStringLiteral("Bulk Goods"));

    EnterAndType(c.combo, QStringLiteral("default"));
    Click(c.rename);
    EXPECT_EQ(NameRows(), (std::vector<ListRow>{{defaultList, 0, QStringLiteral("Default")},
                                                {next, 0, QStringLiteral("default")}}));
    EXPECT_EQ(Entries(c.combo), (QStringList{"Default", "default"}));
    EXPECT_EQ(c.combo->currentText(), QStringLiteral("default"));
    EXPECT_EQ(dlg.CurrentListID(), next);
    EXPECT_EQ(Lines(c.list), (QStringList{"drum"}));
    EXPECT_EQ(prompter.m_shown.size(), 2);
    EXPECT_FALSE(dlg.Changed());
}

namespace {

TEST_F(DiscountTableDlgTest, TablesWhoseNamesDifferOnlyInCaseOpenTheirOwnEntries) {
    const int upper = AddTable(QStringLiteral("Wholesale"), {{QStringLiteral("default"), 0.1}});
    const int lower = AddTable(QStringLiteral("wholesale"), {{QStringLiteral("default"), 0.3}});
    ASSERT_NE(upper, lower);
    CDiscountTableDlg dlg(&doc, defaultTable, nullptr);
    ASSERT_TRUE(Open(dlg));
    DiscountControls c(dlg);
    ChooseBelow(c.combo);
    ChooseBelow(c.combo);
    EXPECT_EQ(c.combo->currentText(), QStringLiteral("wholesale"));
    EXPECT_EQ(dlg.CurrentTableID(), lower);
    EXPECT_EQ(Lines(c.list), QStringList{QStringLiteral("default                    30.00%")});
}

} // namespace
