#include "dbtesthelpers.h"

#include <functional>
#include <limits>
#include <map>
#include <random>

using namespace dbtest;
using Ids = std::vector<int>;

namespace {

const QString kSelect = QStringLiteral("select * from [Item]");

class DbEditing : public DbFixture {};
class DbValues : public DbFixture {};

void ExpectDeleted(const std::function<void()>& action) {
    try {
        action();
        ADD_FAILURE() << "no error for a deleted row";
    } catch (const db::Error& e) {
        EXPECT_EQ(e.description(), QStringLiteral("Record is deleted."));
    }
}

} // namespace

TEST_F(DbValues, EveryTypeRoundTripsThroughTheFile) {
    {
        db::Recordset rs(database);
        rs.open(kSelect);
        rs.addNew();
        rs.setValue(QStringLiteral("ID"), 2147483647);
        rs.setValue(QStringLiteral("ItemName"), QStringLiteral("Ünïcödé — 19 chars!"));
        rs.setValue(QStringLiteral("Group"), -2147483647 - 1);
        rs.setValue(QStringLiteral("Qty"), -32768);
        rs.setValue(QStringLiteral("Price"), 1234.5625);
        rs.setValue(QStringLiteral("Active"), true);
        rs.setValue(QStringLiteral("Added"), 45292.75); // a day number with a time of day
        EXPECT_EQ(rs.value(QStringLiteral("Qty")).toInt(), -32768) << "the buffer reads back";
        rs.update();
        rs.addNew(); // every field left empty
        rs.update();
        rs.addNew(); // numbers given as text are converted
        rs.setValue(QStringLiteral("ID"), QStringLiteral(" 42 "));
        rs.setValue(QStringLiteral("Price"), QStringLiteral("0.1"));
        rs.setValue(QStringLiteral("Active"), QStringLiteral("No"));
        rs.setValue(QStringLiteral("Qty"), 2.5); // whole numbers round half to even
        rs.update();
    }
    database.close();
    database.open(path);
    db::Recordset rs(database);
    rs.open(kSelect);
    ASSERT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(rs.value(QStringLiteral("ID")), QVariant(2147483647));
    EXPECT_EQ(rs.value(QStringLiteral("ItemName")),
              QVariant(QStringLiteral("Ünïcödé — 19 chars!")));
    EXPECT_EQ(rs.value(QStringLiteral("Group")), QVariant(-2147483647 - 1));
    EXPECT_EQ(rs.value(QStringLiteral("Qty")), QVariant(-32768));
    EXPECT_EQ(rs.value(QStringLiteral("Price")), QVariant(1234.5625));
    EXPECT_EQ(rs.value(QStringLiteral("Active")), QVariant(1));
    EXPECT_EQ(rs.value(QStringLiteral("Added")), QVariant(45292.75));
    rs.moveNext();
    for (int i = 0; i < rs.fieldCount(); ++i) {
        SCOPED_TRACE(rs.fields()[size_t(i)].name.toStdString());
        EXPECT_TRUE(rs.value(i).isNull());
    }
    rs.moveNext();
    EXPECT_EQ(rs.value(QStringLiteral("ID")), QVariant(42));
    EXPECT_EQ(rs.value(QStringLiteral("Price")), QVariant(0.1));
    EXPECT_EQ(rs.value(QStringLiteral("Active")), QVariant(0));
    EXPECT_EQ(rs.value(QStringLiteral("Qty")), QVariant(2));
    EXPECT_THROW((void)rs.value(QStringLiteral("Nope")), db::Error);
    EXPECT_THROW((void)rs.value(rs.fieldCount()), db::Error);
}

TEST_F(DbValues, WrongKindsOfValueAreRefused) {
    db::Recordset rs(database);
    rs.open(kSelect);
    rs.addNew();
    EXPECT_THROW(rs.setValue(QStringLiteral("ID"), QStringLiteral("twelve")), db::Error);
    EXPECT_THROW(rs.setValue(QStringLiteral("Price"), QStringLiteral("cheap")), db::Error);
    EXPECT_THROW(rs.setValue(QStringLiteral("Active"), QStringLiteral("maybe")), db::Error);
    EXPECT_THROW(rs.setValue(QStringLiteral("Added"), std::numeric_limits<double>::infinity()),
                 db::Error);
    EXPECT_THROW(rs.setValue(QStringLiteral("Nope"), 1), db::Error);
    EXPECT_THROW(rs.setValue(99, 1), db::Error);
    rs.setValue(QStringLiteral("ID"), 5);
    rs.update();
    rs.moveFirst();
    EXPECT_EQ(CurrentId(rs), 5);
    EXPECT_TRUE(rs.value(QStringLiteral("Price")).isNull()) << "a refused value is not stored";
}

TEST_F(DbValues, IntegerAndLongOverflowIsRefused) {
    Seed({1});
    db::Recordset rs(database);
    rs.open(kSelect);
    rs.edit();
    rs.setValue(QStringLiteral("Qty"), 32767);
    EXPECT_THROW(rs.setValue(QStringLiteral("Qty"), 32768), db::Error);
    EXPECT_THROW(rs.setValue(QStringLiteral("Qty"), -32769), db::Error);
    EXPECT_THROW(rs.setValue(QStringLiteral("Qty"), QStringLiteral("40000")), db::Error);
    EXPECT_THROW(rs.setValue(QStringLiteral("Qty"), 1e300), db::Error);
    EXPECT_THROW(rs.setValue(QStringLiteral("ID"), qint64(2147483648LL)), db::Error);
    EXPECT_THROW(rs.setValue(QStringLiteral("ID"), -2147483649.0), db::Error);
    try {
        rs.setValue(QStringLiteral("Qty"), 70000);
        ADD_FAILURE() << "70000 fitted a 16-bit field";
    } catch (const db::Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("Qty"))) << e.what();
    }
    EXPECT_EQ(rs.value(QStringLiteral("Qty")), QVariant(32767)) << "the last good value stays";
    rs.update();
    EXPECT_EQ(RawQuery(path, "SELECT Qty FROM Item"),
              std::vector<QString>({QStringLiteral("32767")}));
    EXPECT_EQ(RawQuery(path, "SELECT ID FROM Item"), std::vector<QString>({QStringLiteral("1")}));
}

TEST_F(DbValues, TextLongerThanItsFieldIsRefusedAndNotWritten) {
    Seed({1});
    const QString fits(20, QChar(0x00e9)); // size counts characters, not bytes
    const QString tooLong = QStringLiteral("x").repeated(21);
    db::Recordset rs(database);
    rs.open(kSelect);

    rs.addNew();
    rs.setValue(QStringLiteral("ID"), 2);
    try {
        rs.setValue(QStringLiteral("ItemName"), tooLong);
        ADD_FAILURE() << "21 characters fitted a 20-character field";
    } catch (const db::Error& e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("ItemName"))) << e.what();
    }
    rs.cancelUpdate();
    EXPECT_EQ(RawCount(path, QStringLiteral("Item")), 1);

    // Editing: the refused text never reaches the file, the accepted field does.
    rs.moveFirst();
    rs.edit();
    EXPECT_THROW(rs.setValue(QStringLiteral("ItemName"), tooLong), db::Error);
    rs.setValue(QStringLiteral("Group"), 8);
    rs.update();
    EXPECT_EQ(rs.textValue(QStringLiteral("ItemName")), QStringLiteral("item1"));
    EXPECT_EQ(rs.intValue(QStringLiteral("Group")), 8);
    EXPECT_EQ(RawQuery(path, "SELECT ItemName FROM Item"),
              std::vector<QString>({QStringLiteral("item1")}));

    rs.edit();
    rs.setValue(QStringLiteral("ItemName"), fits);
    rs.update();
    EXPECT_EQ(rs.textValue(QStringLiteral("ItemName")), fits);
    EXPECT_EQ(RawQuery(path, "SELECT ItemName FROM Item"), std::vector<QString>({fits}));
}

// Another program may store True as -1 (or any non-zero number); it always reads back as 1.
TEST_F(DbValues, BooleanWrittenByAnotherProgramReadsAsZeroOrOne) {
    database.close();
    RawQuery(path,
             "INSERT INTO Item (ID, Active) VALUES (1, -1), (2, 0), (3, 7), (4, 0.5), (5, NULL)");
    database.open(path);
    db::Recordset rs(database);
    rs.open(kSelect);
    std::vector<QVariant> seen;
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
        seen.push_back(rs.value(QStringLiteral("Active")));
    EXPECT_EQ(seen, std::vector<QVariant>(
                        {QVariant(1), QVariant(0), QVariant(1), QVariant(1), QVariant()}));

    // The same holds for a value written while the recordset is open.
    RawQuery(path, "UPDATE Item SET Active = -1 WHERE ID = 2");
    rs.requery();
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 2")));
    EXPECT_EQ(rs.value(QStringLiteral("Active")), QVariant(1));

    // Values this engine writes are stored as 0/1 whatever the caller passed.
    rs.edit();
    rs.setValue(QStringLiteral("Active"), -1);
    rs.update();
    EXPECT_EQ(RawQuery(path, "SELECT Active FROM Item WHERE ID = 2"),
              std::vector<QString>({QStringLiteral("1")}));
}

TEST_F(DbEditing, EditAndCancelUpdate) {
    Seed({1, 2});
    db::Recordset rs(database);
    rs.open(kSelect);
    EXPECT_THROW(rs.update(), db::Error) << "update without edit or addNew";
    EXPECT_THROW(rs.setValue(QStringLiteral("ItemName"), QStringLiteral("x")), db::Error);

    rs.edit();
    EXPECT_EQ(rs.editMode(), db::Recordset::Editing);
    rs.setValue(QStringLiteral("ItemName"), QStringLiteral("changed"));
    EXPECT_EQ(rs.textValue(QStringLiteral("ItemName")), QStringLiteral("changed"));
    rs.cancelUpdate();
    EXPECT_EQ(rs.editMode(), db::Recordset::NoEdit);
    EXPECT_EQ(rs.textValue(QStringLiteral("ItemName")), QStringLiteral("item1"));
    EXPECT_THROW(rs.update(), db::Error) << "nothing to update after cancel";

    rs.addNew();
    EXPECT_EQ(rs.editMode(), db::Recordset::AddingNew);
    rs.setValue(QStringLiteral("ID"), 3);
    rs.cancelUpdate();
    EXPECT_EQ(rs.recordCount(), 2);
    EXPECT_EQ(CurrentId(rs), 1);

    // Moving abandons a pending edit.
    rs.edit();
    rs.setValue(QStringLiteral("ItemName"), QStringLiteral("abandoned"));
    rs.moveNext();
    EXPECT_THROW(rs.update(), db::Error);
    rs.movePrev();
    EXPECT_EQ(rs.textValue(QStringLiteral("ItemName")), QStringLiteral("item1"));

    rs.edit();
    rs.setValue(QStringLiteral("ItemName"), QStringLiteral("kept"));
    rs.update();
    EXPECT_EQ(CurrentId(rs), 1) << "update keeps the current row";
    EXPECT_EQ(RawCount(path, QStringLiteral("Item")), 2);
    EXPECT_EQ(RawQuery(path, "SELECT ItemName FROM Item ORDER BY ID"),
              std::vector<QString>({QStringLiteral("kept"), QStringLiteral("item2")}));
}

// Editing a row another recordset deleted fails whichever step meets the deletion, and the row
// is not brought back.
TEST_F(DbEditing, RowDeletedByAnotherRecordset) {
    Seed({1, 2, 3, 4});
    db::Recordset rs(database), other(database);
    rs.open(kSelect);
    other.open(kSelect);
    auto deleteElsewhere = [&](int id) {
        ASSERT_TRUE(other.findFirst(QStringLiteral("ID = %1").arg(id)));
        other.remove();
    };

    // Deleted before edit.
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 1")));
    (void)rs.value(QStringLiteral("ID")); // fills the read cache
    deleteElsewhere(1);
    ExpectDeleted([&] { rs.edit(); });
    ExpectDeleted([&] { (void)rs.value(QStringLiteral("ItemName")); });
    ExpectDeleted([&] { rs.remove(); });

    // Deleted between edit and update.
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 2")));
    rs.edit();
    rs.setValue(QStringLiteral("ItemName"), QStringLiteral("lost"));
    deleteElsewhere(2);
    ExpectDeleted([&] { rs.update(); });
    EXPECT_EQ(rs.editMode(), db::Recordset::NoEdit);

    // Deleted between edit and an update that changes nothing.
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 3")));
    rs.edit();
    deleteElsewhere(3);
    ExpectDeleted([&] { rs.update(); });

    // Deleted between edit and cancel: cancelling is fine, the row is still gone.
    ASSERT_TRUE(rs.findFirst(QStringLiteral("ID = 4")));
    rs.edit();
    rs.setValue(QStringLiteral("ItemName"), QStringLiteral("never"));
    deleteElsewhere(4);
    rs.cancelUpdate();
    ExpectDeleted([&] { (void)rs.value(QStringLiteral("ItemName")); });
    ExpectDeleted([&] { rs.edit(); });

    EXPECT_EQ(RawCount(path, QStringLiteral("Item")), 0);
    rs.requery();
    EXPECT_EQ(rs.recordCount(), 0);
}

// A recordset's read-ahead holds many rows; a change made through another recordset must
// show the next time any of them is read.
TEST_F(DbEditing, StaleReadAheadShowsChangesFromAnotherRecordset) {
    std::vector<int> ids;
    for (int i = 1; i <= 200; ++i)
        ids.push_back(i);
    Seed(ids);
    db::Recordset reader(database), writer(database);
    reader.open(kSelect);
    writer.open(kSelect);
    EXPECT_EQ(reader.textValue(QStringLiteral("ItemName")), QStringLiteral("item1"));

    ASSERT_TRUE(writer.findFirst(QStringLiteral("ID = 5")));
    writer.edit();
    writer.setValue(QStringLiteral("ItemName"), QStringLiteral("fresh"));
    writer.setValue(QStringLiteral("Price"), 7.5);
    writer.update();
    ASSERT_TRUE(writer.findFirst(QStringLiteral("ID = 6")));
    writer.remove();

    for (int i = 0; i < 4; ++i)
        reader.moveNext();
    EXPECT_EQ(CurrentId(reader), 5);
    EXPECT_EQ(reader.textValue(QStringLiteral("ItemName")), QStringLiteral("fresh"));
    EXPECT_EQ(reader.doubleValue(QStringLiteral("Price")), 7.5);
    reader.moveNext();
    EXPECT_THROW((void)reader.value(QStringLiteral("ID")), db::Error);
    reader.moveNext();
    EXPECT_EQ(CurrentId(reader), 7);

    // The reader's own edit, then another edit of the same row elsewhere.
    reader.edit();
    reader.setValue(QStringLiteral("ItemName"), QStringLiteral("mine"));
    reader.update();
    ASSERT_TRUE(writer.findFirst(QStringLiteral("ID = 7")));
    EXPECT_EQ(writer.textValue(QStringLiteral("ItemName")), QStringLiteral("mine"));
    writer.edit();
    writer.setValue(QStringLiteral("Qty"), 3);
    writer.update();
    EXPECT_EQ(reader.intValue(QStringLiteral("Qty")), 3);
    EXPECT_EQ(reader.textValue(QStringLiteral("ItemName")), QStringLiteral("mine"));

    // Two edits overlapping: the later update must not make the earlier one's change vanish.
    reader.edit();
    writer.edit();
    writer.setValue(QStringLiteral("Group"), 77);
    writer.update();
    reader.setValue(QStringLiteral("Price"), 1.5);
    reader.update();
    EXPECT_EQ(reader.doubleValue(QStringLiteral("Price")), 1.5);
    EXPECT_EQ(RawQuery(path, "SELECT Price FROM Item WHERE ID = 7"),
              std::vector<QString>({QStringLiteral("1.5")}));
    EXPECT_EQ(reader.intValue(QStringLiteral("Group")), 77);
    EXPECT_EQ(RawQuery(path, "SELECT \"Group\" FROM Item WHERE ID = 7"),
              std::vector<QString>({QStringLiteral("77")}));

    // Far along the table, outside the first read-ahead.
    ASSERT_TRUE(writer.findFirst(QStringLiteral("ID = 190")));
    writer.edit();
    writer.setValue(QStringLiteral("ItemName"), QStringLiteral("far"));
    writer.update();
    reader.moveLast();
    for (int i = 0; i < 10; ++i)
        reader.movePrev();
    EXPECT_EQ(CurrentId(reader), 190);
    EXPECT_EQ(reader.textValue(QStringLiteral("ItemName")), QStringLiteral("far"));
}

// The read cache against a plain model of the table: fields read in any order and any
// direction, edits of fields never read before, edits from a second recordset, and gaps left
// by deletes, always give what is stored.
TEST_F(DbValues, ReadsInAnyOrderMatchAModelOfTheTable) {
    const int fieldCount = int(ItemTable().fields.size());
    std::map<int, std::vector<QVariant>> model; // by ID
    {
        db::Recordset rs(database);
        rs.open(kSelect);
        database.beginTrans();
        for (int id = 1; id <= 400; ++id) {
            std::vector<QVariant> row = {id,          QStringLiteral("n%1-\u00e9").arg(id),
                                         id * 3,      id % 17 ? QVariant(id % 100) : QVariant(),
                                         id * 0.25,   id % 2,
                                         40000.5 + id};
            rs.addNew();
            for (int f = 0; f < fieldCount; ++f)
                rs.setValue(f, row[size_t(f)]);
            rs.update();
            model[id] = row;
        }
        database.commitTrans();
    }
    db::Recordset rs(database), other(database);
    rs.open(kSelect);
    other.open(kSelect);
    auto expectField = [&](db::Recordset& r, int f) {
        const int id = r.intValue(QStringLiteral("ID"));
        EXPECT_EQ(r.value(f), model.at(id)[size_t(f)]) << "ID " << id << " field " << f;
    };

    std::vector<int> forward;
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext())
        forward.push_back(CurrentId(rs));
    EXPECT_EQ(forward.size(), model.size());
    for (rs.moveLast(); !rs.isBOF(); rs.movePrev()) {
        expectField(rs, 4);
        expectField(rs, 1);
    }

    std::mt19937 rng(12345);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int step = 0; step < 300; ++step) {
        const int id = pick(1, 400);
        db::Recordset& r = step % 3 ? rs : other;
        ASSERT_TRUE(r.findFirst(QStringLiteral("ID = %1").arg(id)));
        expectField(r, pick(1, fieldCount - 1));
        if (step % 4 == 0) {
            const int f = pick(1, fieldCount - 1);
            const std::vector<QVariant> fresh = {0,
                                                 QStringLiteral("e%1").arg(step),
                                                 step,
                                                 step % 50,
                                                 step + 0.125,
                                                 step % 2,
                                                 50000.25 + step};
            r.edit();
            r.setValue(f, fresh[size_t(f)]);
            r.update();
            model[id][size_t(f)] = fresh[size_t(f)];
        }
        // The neighbours, which sit in the same read-ahead block.
        for (int n = 0; n < 3 && !r.isEOF(); ++n, r.moveNext())
            for (int f = 0; f < fieldCount; ++f)
                expectField(r, f);
    }

    // Gaps wider than a read-ahead block, then the whole table once more.
    for (int id = 100; id <= 399; ++id) {
        if (id > 250 && id % 3)
            continue;
        ASSERT_TRUE(other.findFirst(QStringLiteral("ID = %1").arg(id)));
        other.remove();
        model.erase(id);
    }
    rs.requery();
    std::vector<int> left;
    for (rs.moveFirst(); !rs.isEOF(); rs.moveNext()) {
        left.push_back(CurrentId(rs));
        for (int f = 0; f < fieldCount; ++f)
            expectField(rs, f);
    }
    std::vector<int> expected;
    for (const auto& [id, row] : model)
        expected.push_back(id);
    EXPECT_EQ(left, expected);
}
