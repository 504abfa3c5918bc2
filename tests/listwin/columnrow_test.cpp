#include "listwin/columndefs.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

ColumnDef makeDef(const QString& title, const QString& description, int width, int format) {
    ColumnDef d;
    d.Title = title;
    d.Description = description;
    d.Width = width;
    d.Format = format;
    return d;
}

ColumnSlot makeSlot(int used, int columnIndex, int listColumn) {
    ColumnSlot s;
    s.Used = used;
    s.ColumnIndex = columnIndex;
    s.ListColumn = listColumn;
    return s;
}

struct Parsed {
    bool ok = false;
    int index = -1;
    ColumnDef def;
    ColumnSlot slot;
};

Parsed parse(const QString& row, int n) {
    Parsed p;
    p.ok = ParseColumnRow(row, n, p.index, p.def, p.slot);
    return p;
}

// A fixed-width row put together field by field, for writing damaged rows by hand.
QString rowOf(const QString& index, const QString& title, const QString& description,
              const QStringList& numbers) {
    QString row = index.rightJustified(4) + QLatin1Char(' ') + title.leftJustified(20) +
                  description.leftJustified(50);
    for (const QString& n : numbers)
        row += n.rightJustified(5);
    return row;
}

} // namespace

TEST(ColumnRow, KnownRowHasTheFixedLayout) {
    const QString row =
        FormatColumnRow(3, makeDef("Address", "Address line 2", 75, 0), makeSlot(1, 12, 4));
    EXPECT_EQ(row, QStringLiteral("   3 Address             Address line 2                    "
                                  "                   75    0    1   12    4"));
    ASSERT_EQ(row.size(), 100);
    EXPECT_EQ(row.mid(0, 4), QStringLiteral("   3"));
    EXPECT_EQ(row.at(4), QLatin1Char(' '));
    EXPECT_EQ(row.mid(5, 20).trimmed(), QStringLiteral("Address"));
    EXPECT_EQ(row.mid(25, 50).trimmed(), QStringLiteral("Address line 2"));
    EXPECT_EQ(row.mid(75, 5), QStringLiteral("   75"));
    EXPECT_EQ(row.mid(80, 5), QStringLiteral("    0"));
    EXPECT_EQ(row.mid(85, 5), QStringLiteral("    1"));
    EXPECT_EQ(row.mid(90, 5), QStringLiteral("   12"));
    EXPECT_EQ(row.mid(95, 5), QStringLiteral("    4"));

    const Parsed p = parse(row, 20);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.index, 3);
    EXPECT_EQ(p.def.Title, QStringLiteral("Address"));
    EXPECT_EQ(p.def.Description, QStringLiteral("Address line 2"));
    EXPECT_EQ(p.def.Width, 75);
    EXPECT_EQ(p.def.Format, 0);
    EXPECT_EQ(p.slot.Used, 1);
    EXPECT_EQ(p.slot.ColumnIndex, 12);
    EXPECT_EQ(p.slot.ListColumn, 4);
}

TEST(ColumnRow, LongTextIsCutAndLeavesTheNumbersInPlace) {
    const QString title = QStringLiteral("A title far longer than twenty");
    const QString description = QString(QStringLiteral("0123456789")).repeated(7);
    const QString row = FormatColumnRow(7, makeDef(title, description, 140, 2), makeSlot(1, 5, 2));
    ASSERT_EQ(row.size(), 100);

    const Parsed p = parse(row, 9);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.index, 7);
    EXPECT_EQ(p.def.Title, title.left(kColumnTitleWidth));
    EXPECT_EQ(p.def.Description, description.left(kColumnDescriptionWidth));
    EXPECT_EQ(p.def.Width, 140);
    EXPECT_EQ(p.def.Format, 2);
    EXPECT_EQ(p.slot.Used, 1);
    EXPECT_EQ(p.slot.ColumnIndex, 5);
    EXPECT_EQ(p.slot.ListColumn, 2);
}

TEST(ColumnRow, TitlesWithDigitsAndBlanksComeBackAsWritten) {
    struct Case {
        QString title;
        QString description;
    };
    const Case cases[] = {
        {"Qty 2 of 10  5", "12 34 56"},
        {"  Leading blanks", "   indented text"},
        {"12345678901234567890", "99999 starts with digits"}, // exactly full, digits both sides
        {"1", "2"},
        {"", ""},
        {"Prod Weight", QString(50, QLatin1Char('7'))},
    };
    int index = 0;
    for (const Case& c : cases) {
        const QString row =
            FormatColumnRow(index, makeDef(c.title, c.description, 9, 1), makeSlot(0, 0, 0));
        ASSERT_EQ(row.size(), 100) << c.title.toStdString();
        const Parsed p = parse(row, 20);
        ASSERT_TRUE(p.ok) << c.title.toStdString();
        EXPECT_EQ(p.index, index);
        EXPECT_EQ(p.def.Title, c.title);
        EXPECT_EQ(p.def.Description, c.description);
        EXPECT_EQ(p.def.Width, 9);
        EXPECT_EQ(p.def.Format, 1);
        ++index;
    }
}

TEST(ColumnRow, TrailingBlanksOfTextAreNotKept) {
    const Parsed p =
        parse(FormatColumnRow(0, makeDef("Code   ", "Item code  ", 40, 0), makeSlot(0, 0, 0)), 9);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.def.Title, QStringLiteral("Code"));
    EXPECT_EQ(p.def.Description, QStringLiteral("Item code"));
}

TEST(ColumnRow, ExtremeNumbersStayInsideTheirFields) {
    // Neighbouring numbers that fill their fields must not run into each other.
    const QString full = FormatColumnRow(1, makeDef("T", "D", 99999, 99999), makeSlot(1, 8, 99999));
    ASSERT_EQ(full.size(), 100);
    Parsed p = parse(full, 9);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.def.Width, 99999);
    EXPECT_EQ(p.def.Format, 99999);
    EXPECT_EQ(p.slot.ColumnIndex, 8);
    EXPECT_EQ(p.slot.ListColumn, 99999);

    const QString negative = FormatColumnRow(1, makeDef("T", "D", -5, -9999), makeSlot(0, 0, -1));
    p = parse(negative, 9);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.def.Width, -5);
    EXPECT_EQ(p.def.Format, -9999);
    EXPECT_EQ(p.slot.ListColumn, -1);

    // Too wide for the field: the layout wins over the value.
    const QString huge = FormatColumnRow(2, makeDef("T", "D", 1234567, -123456), makeSlot(1, 3, 4));
    ASSERT_EQ(huge.size(), 100);
    p = parse(huge, 9);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.index, 2);
    EXPECT_EQ(p.def.Width, 99999);
    EXPECT_EQ(p.def.Format, -9999);
    EXPECT_EQ(p.slot.Used, 1);
    EXPECT_EQ(p.slot.ColumnIndex, 3);
    EXPECT_EQ(p.slot.ListColumn, 4);
}

TEST(ColumnRow, NumbersAreReadUpToTheFirstNonDigit) {
    // Hand-written rows: blanks before, text after the digits of a field.
    const QString row = rowOf("  4x", "Title", "Desc", {"60ab", "  1 ", "1", "3zz", "0"});
    const Parsed p = parse(row, 9);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.index, 4);
    EXPECT_EQ(p.def.Width, 60);
    EXPECT_EQ(p.def.Format, 1);
    EXPECT_EQ(p.slot.Used, 1);
    EXPECT_EQ(p.slot.ColumnIndex, 3);
}

TEST(ColumnRow, DamagedRowsAreRefusedAndChangeNothing) {
    const int n = 20;
    const QString good = FormatColumnRow(5, makeDef("Zip", "Zip code", 60, 0), makeSlot(1, 6, 3));
    ASSERT_TRUE(parse(good, n).ok);

    const QStringList damaged = {
        rowOf("-1", "Zip", "Zip code", {"60", "0", "1", "6", "3"}),               // index below 0
        rowOf(QString::number(n), "Zip", "Zip code", {"60", "0", "1", "6", "3"}), // index N
        rowOf("9999", "Zip", "Zip code", {"60", "0", "1", "6", "3"}),
        good.left(99), // truncated
        good.left(50),
        good.left(4),
        QString(),
        QStringLiteral("garbage"),
        QString(100, QLatin1Char('x')),
        QString(100, QLatin1Char(' ')),
        QString(100, QLatin1Char('9')),                          // index 9999
        QStringLiteral("   1 ") + QString(95, QLatin1Char('9')), // column index 99999
        QString(QStringLiteral("99999999999999999999")).repeated(5),
        rowOf("  ", "Zip", "Zip code", {"60", "0", "1", "6", "3"}), // no index at all
        rowOf("-", "Zip", "Zip code", {"60", "0", "1", "6", "3"}),
        rowOf("5", "Zip", "Zip code", {"abcde", "0", "1", "6", "3"}), // width not a number
        rowOf("5", "Zip", "Zip code", {"60", "-", "1", "6", "3"}),
        rowOf("5", "Zip", "Zip code", {"60", "0", "", "6", "3"}),
        rowOf("5", "Zip", "Zip code", {"60", "0", "1", "", "3"}),
        rowOf("5", "Zip", "Zip code", {"60", "0", "1", "6", "x"}),
        rowOf("5", "Zip", "Zip code", {"60", "0", "1", QString::number(n), "3"}), // used, index N
        rowOf("5", "Zip", "Zip code", {"60", "0", "1", "-1", "3"}),
        rowOf("5", "Zip", "Zip code", {"60", "0", "1", "99999", "3"}),
    };
    for (const QString& row : damaged) {
        int index = -77;
        ColumnDef def = makeDef("keep", "untouched", 11, 2);
        def.RowID = 42;
        ColumnSlot slot = makeSlot(1, 2, 3);
        EXPECT_FALSE(ParseColumnRow(row, n, index, def, slot)) << row.toStdString();
        EXPECT_EQ(index, -77);
        EXPECT_EQ(def.Title, QStringLiteral("keep"));
        EXPECT_EQ(def.Description, QStringLiteral("untouched"));
        EXPECT_EQ(def.Width, 11);
        EXPECT_EQ(def.Format, 2);
        EXPECT_EQ(def.RowID, 42);
        EXPECT_EQ(slot.Used, 1);
        EXPECT_EQ(slot.ColumnIndex, 2);
        EXPECT_EQ(slot.ListColumn, 3);
    }
}

TEST(ColumnRow, UnusedSlotMayCarryAnyColumnIndex) {
    // Only a shown column must name a definition; an unused slot's index is never looked up.
    const Parsed p = parse(rowOf("5", "Zip", "Zip code", {"60", "0", "0", "777", "0"}), 20);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.slot.Used, 0);
    EXPECT_GE(p.slot.ColumnIndex, 0);
    EXPECT_LT(p.slot.ColumnIndex, 20);
}

TEST(ColumnRow, LongerRowsAndOddUsedValues) {
    // Extra text after the last field is ignored; any non-zero Used means shown.
    const QString row =
        rowOf("2", "Qty", "Quantity", {"40", "1", "7", "3", "1"}) + QStringLiteral("trailing");
    const Parsed p = parse(row, 9);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.slot.Used, 1);
    EXPECT_EQ(p.slot.ColumnIndex, 3);
}

TEST(ColumnRow, EveryBuiltInDefinitionSurvivesTheRow) {
    for (const ListColumnSet* columnSet : {&CustomerColumnSet(), &InvoiceColumnSet(),
                                       &InvoiceItemColumnSet(), &StoreItemColumnSet()}) {
        CListColumns columns(*columnSet, 0);
        columns.SetupDefaultColumns();
        for (int i = 0; i < columns.Count(); ++i) {
            const ColumnDef& d = columns.Definitions()[size_t(i)];
            const ColumnSlot& s = columns.Slots()[size_t(i)];
            const Parsed p = parse(FormatColumnRow(i, d, s), columns.Count());
            ASSERT_TRUE(p.ok) << d.Title.toStdString();
            EXPECT_EQ(p.index, i);
            // Built-in text must fit its field, or a stored layout would lose part of it.
            EXPECT_EQ(p.def.Title, d.Title);
            EXPECT_EQ(p.def.Description, d.Description);
            EXPECT_EQ(p.def.Width, d.Width);
            EXPECT_EQ(p.def.Format, d.Format);
            EXPECT_EQ(p.slot.Used, s.Used);
            EXPECT_EQ(p.slot.ColumnIndex, s.ColumnIndex);
        }
    }
}
