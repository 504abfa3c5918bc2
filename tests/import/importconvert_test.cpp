#include "import/importconvert.h"

#include <QDateTime>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using import::ConvertValue;
using import::FieldType;

namespace {

struct Case {
    const char* what;
    QVariant value;
    FieldType from;
    FieldType to;
    int size;
    QVariant expected; // invalid: the field keeps its default
};

const QDateTime kNoon(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC);

TEST(ImportConvert, ConvertsByTypeOrKeepsTheDefault) {
    const QVariant keep;
    const Case cases[] = {
        {"leading number onto Double", QStringLiteral("12.5abc"), FieldType::Text, FieldType::Double, 0, 12.5},
        {"no leading number", QStringLiteral("Nancy"), FieldType::Text, FieldType::Double, 0, keep},
        {"Infant is no infinity", QStringLiteral("Infant"), FieldType::Text, FieldType::Double, 0, keep},
        {"1e999 is no number", QStringLiteral("1e999"), FieldType::Text, FieldType::Double, 0, keep},
        {"exponent", QStringLiteral("-2.5e2 kg"), FieldType::Text, FieldType::Double, 0, -250.0},
        {"text onto Long", QStringLiteral(" 42 pcs"), FieldType::Text, FieldType::Long, 0, 42},
        {"text 3e9 onto Long", QStringLiteral("3000000000"), FieldType::Text, FieldType::Long, 0, keep},
        {"text onto Integer beyond 32767", QStringLiteral("40000"), FieldType::Text, FieldType::Integer, 0, keep},
        {"(null)", QStringLiteral("(null)"), FieldType::Text, FieldType::Text, 50, QStringLiteral(" ")},
        {"empty text", QString(), FieldType::Text, FieldType::Text, 50, QStringLiteral(" ")},
        {"null text", QVariant(), FieldType::Text, FieldType::Text, 50, QStringLiteral(" ")},
        {"trailing blanks", QStringLiteral("Olive oil  \t"), FieldType::Text, FieldType::Text, 50, QStringLiteral("Olive oil")},
        {"a question mark stays", QStringLiteral("Is it fresh?"), FieldType::Text, FieldType::Text, 50, QStringLiteral("Is it fresh?")},
        {"accents stay", QStringLiteral("Crème brûlée"), FieldType::Text, FieldType::Text, 50, QStringLiteral("Crème brûlée")},
        {"cut to the field size", QStringLiteral("abcdefgh"), FieldType::Text, FieldType::Text, 5, QStringLiteral("abcde")},
        {"memo as text", QStringLiteral("note "), FieldType::Memo, FieldType::Text, 50, QStringLiteral("note")},
        {"Boolean onto Text", true, FieldType::Boolean, FieldType::Text, 50, QStringLiteral("True")},
        {"Date onto Text", kNoon, FieldType::Date, FieldType::Text, 50, QStringLiteral("3/1/2024 12:00:00 PM")},
        {"Text onto Date keeps the default", QStringLiteral("2024-03-01"), FieldType::Text, FieldType::Date, 0, keep},
        {"Text onto Boolean keeps the default", QStringLiteral("yes"), FieldType::Text, FieldType::Boolean, 0, keep},
        {"Currency onto Double", 19.99, FieldType::Currency, FieldType::Double, 0, 19.99},
        {"Currency onto Text", 19.99, FieldType::Currency, FieldType::Text, 50, QStringLiteral("19.99")},
        {"Long onto Integer beyond 32767", 40000, FieldType::Long, FieldType::Integer, 0, keep},
        {"Long onto Integer", -32768, FieldType::Long, FieldType::Integer, 0, -32768},
        {"Double onto Long rounds", 2.5, FieldType::Double, FieldType::Long, 0, 2},
        {"Double 3e9 onto Long", 3e9, FieldType::Double, FieldType::Long, 0, keep},
        {"NaN onto Double", std::numeric_limits<double>::quiet_NaN(), FieldType::Double, FieldType::Double, 0, keep},
        {"Integer onto Double", 7, FieldType::Integer, FieldType::Double, 0, 7.0},
        {"Double onto Single", 0.1, FieldType::Double, FieldType::Single, 0, double(0.1f)},
        {"Boolean onto Boolean", true, FieldType::Boolean, FieldType::Boolean, 0, 1},
        {"Date onto Date", kNoon, FieldType::Date, FieldType::Date, 0, 45352.5},
        {"Date before 1753", QDateTime(QDate(1700, 1, 1), QTime(0, 0), Qt::UTC), FieldType::Date, FieldType::Date, 0, keep},
        {"Date onto Double keeps the default", kNoon, FieldType::Date, FieldType::Double, 0, keep},
        {"null Long keeps the default", QVariant(), FieldType::Long, FieldType::Long, 0, keep},
        {"Binary onto Text keeps the default", QByteArray("ab"), FieldType::LongBinary, FieldType::Text, 50, keep},
    };
    for (const Case& c : cases) {
        const auto got = ConvertValue(c.value, c.from, c.to, c.size);
        if (!c.expected.isValid()) {
            EXPECT_FALSE(got.has_value()) << c.what << ": " << got->toString().toStdString();
            continue;
        }
        ASSERT_TRUE(got.has_value()) << c.what;
        if (c.expected.typeId() == QMetaType::Double)
            EXPECT_DOUBLE_EQ(got->toDouble(), c.expected.toDouble()) << c.what;
        else
            EXPECT_EQ(got->toString(), c.expected.toString()) << c.what;
    }
}

TEST(ImportConvert, TypeTexts) {
    EXPECT_EQ(import::TypeText(1), QStringLiteral("TRUE, FALSE"));
    EXPECT_EQ(import::TypeText(4), QStringLiteral("Integer"));
    EXPECT_EQ(import::TypeText(5), QStringLiteral("Dollar amount"));
    EXPECT_EQ(import::TypeText(7), QStringLiteral("Decimal number"));
    EXPECT_EQ(import::TypeText(12), QStringLiteral("Text"));
    EXPECT_EQ(import::TypeText(15), QStringLiteral("Unique"));
    EXPECT_EQ(import::TypeText(9), QStringLiteral("<unknown>"));
}

TEST(ImportConvert, DatesBeforeTheEpochCountDaysBackAndTimeForward) {
    const auto d = import::EngineDateOf(QDateTime(QDate(1899, 12, 29), QTime(6, 0), Qt::UTC));
    ASSERT_TRUE(d.has_value());
    EXPECT_DOUBLE_EQ(*d, -1.25);
}

} // namespace
