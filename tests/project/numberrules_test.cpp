// Reading typed numbers and rates, rounding to cents and the printf-style display texts.
#include "project/numberrules.h"

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <gtest/gtest.h>

TEST(ReadLeadingNumber, ReadsThePlainNumberAtTheStart) {
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("5")), 5.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("5%")), 5.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("7.5")), 7.5);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("  -3.5x")), -3.5);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("\t+2.25 dollars")), 2.25);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("5.")), 5.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("1.2.3")), 1.2);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("12,345")), 12.0);
}

TEST(ReadLeadingNumber, TextWithoutALeadingNumberReadsZero) {
    EXPECT_EQ(ReadLeadingNumber(QString()), 0.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("abc")), 0.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("$3")), 0.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("-")), 0.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral(".")), 0.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("- 3")), 0.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("   ")), 0.0);
    // Words printf would understand are not numbers here.
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("inf")), 0.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("nan")), 0.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("0x10")), 0.0);
}

TEST(ReadLeadingNumber, TakesAnExponentOnlyWhenItHasDigits) {
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("1e3")), 1000.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("2.5E-2")), 0.025);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("1e+2x")), 100.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("4e")), 4.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("4e-")), 4.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("4ex")), 4.0);
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("4 e2")), 4.0);
}

TEST(ReadLeadingNumber, NumbersBeyondADoubleReadZeroAndAreNeverInfinite) {
    for (const char* text : {"1e400", "-1e400", "1e-400", "9e99999"}) {
        const double value = ReadLeadingNumber(QString::fromLatin1(text));
        EXPECT_TRUE(std::isfinite(value)) << text;
        EXPECT_EQ(value, 0.0) << text;
    }
    EXPECT_EQ(ReadLeadingNumber(QStringLiteral("1e308")), 1e308);
}

TEST(ReadLeadingNumber, MinusZeroIsShownAsZero) {
    EXPECT_EQ(FormatC("%.2f", ReadLeadingNumber(QStringLiteral("-0"))), QStringLiteral("0.00"));
    EXPECT_EQ(FormatC("%.2f", ReadLeadingNumber(QStringLiteral("-0.0"))), QStringLiteral("0.00"));
}

TEST(ReadLeadingNumber, IgnoresTheProcessLocale) {
    // A desktop with a comma decimal point must not change how "7.5" is read or shown.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no comma-decimal locale installed";
    const double value = ReadLeadingNumber(QStringLiteral("7.5"));
    const QString shown = FormatC("%4.2f", 7.5);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(value, 7.5);
    EXPECT_EQ(shown, QStringLiteral("7.50"));
}

TEST(ReadWholeNumber, AcceptsOnlyWholeNumbersInThe32BitRange) {
    EXPECT_EQ(ReadWholeNumber(QStringLiteral("42")), 42);
    EXPECT_EQ(ReadWholeNumber(QStringLiteral("  -7 ")), -7);
    EXPECT_EQ(ReadWholeNumber(QStringLiteral("+15")), 15);
    EXPECT_EQ(ReadWholeNumber(QStringLiteral("2147483647")), INT_MAX);
    EXPECT_EQ(ReadWholeNumber(QStringLiteral("-2147483648")), INT_MIN);

    for (const char* text : {"", "   ", "-", "+", "12a", "1.0", "1.5", "1e3", "abc", "1 2", "0x1F",
                             "2147483648", "-2147483649", "99999999999999999999999"})
        EXPECT_FALSE(ReadWholeNumber(QString::fromLatin1(text)).has_value()) << '"' << text << '"';
}

TEST(RateFromTyped, OneOrMoreIsAPercentageBelowOneAFraction) {
    EXPECT_DOUBLE_EQ(RateFromTyped(5), 0.05);
    EXPECT_DOUBLE_EQ(RateFromTyped(0.05), 0.05);
    EXPECT_DOUBLE_EQ(RateFromTyped(7.5), 0.075);
    EXPECT_DOUBLE_EQ(RateFromTyped(0.5), 0.5);
    EXPECT_DOUBLE_EQ(RateFromTyped(1), 0.01);
    EXPECT_DOUBLE_EQ(RateFromTyped(0.999), 0.999);
    EXPECT_DOUBLE_EQ(RateFromTyped(100), 1.0);
    EXPECT_DOUBLE_EQ(RateFromTyped(250), 2.5);
}

TEST(RateFromTyped, NeverNegative) {
    EXPECT_EQ(RateFromTyped(0), 0.0);
    EXPECT_EQ(RateFromTyped(-3), 0.0);
    EXPECT_EQ(RateFromTyped(-0.5), 0.0);
    EXPECT_EQ(FormatRate("%3.1f%%", RateFromTyped(-0.0)), QStringLiteral("0.0%"));
    EXPECT_EQ(RateFromTyped(std::nan("")), 0.0);
}

TEST(RoundToCents, RoundsHalfUpToWholeCents) {
    EXPECT_NEAR(RoundToCents(1.234), 1.23, 1e-9);
    EXPECT_NEAR(RoundToCents(1.235), 1.24, 1e-9);
    EXPECT_NEAR(RoundToCents(2.999), 3.00, 1e-9);
    EXPECT_NEAR(RoundToCents(10.0), 10.0, 1e-9);
    EXPECT_NEAR(RoundToCents(0.004), 0.0, 1e-9);
    EXPECT_NEAR(RoundToCents(0.005), 0.01, 1e-9);
}

TEST(RoundToCents, RoundsNegativesAsTheNegativeOfTheirSize) {
    EXPECT_NEAR(RoundToCents(-1.234), -1.23, 1e-9);
    EXPECT_NEAR(RoundToCents(-1.0), -1.0, 1e-9);
    EXPECT_NEAR(RoundToCents(-0.004), 0.0, 1e-9);
}

TEST(RoundToCents, LargeValuesRoundThroughSixtyFourBits) {
    const struct {
        double value, rounded;
    } cases[] = {
        {21474836.47, 21474836.47}, // the old 32-bit limit itself
        {21474836.48, 21474836.48}, // just above it
        {50000000.0, 50000000.0},
        {123456789.994, 123456789.99},
        {-50000000.0, -50000000.0},
        {-123456789.994, -123456789.99},
        {1e12 + 0.125, 1e12 + 0.13},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(RoundToCents(c.value), c.rounded) << c.value;
    // Beyond 64 bits of cents a double holds whole dollars only: it comes back unchanged.
    EXPECT_EQ(RoundToCents(1e20), 1e20);
    EXPECT_EQ(RoundToCents(-DBL_MAX), -DBL_MAX);
    EXPECT_EQ(RoundToCents(INFINITY), INFINITY);
    EXPECT_EQ(RoundToCents(std::nan("")), 0.0);
}

TEST(FormatC, ShowsTheDialogFormats) {
    EXPECT_EQ(FormatC(kFormatMoney7, 3.5), QStringLiteral("$    3.50"));
    EXPECT_EQ(FormatC(kFormatBalance, 1234.567), QStringLiteral("$   1234.57"));
    EXPECT_EQ(FormatC(kFormatShipping, 0.0), QStringLiteral("$ 0.00"));
    EXPECT_EQ(FormatC(kFormatShipping, 12.5), QStringLiteral("$12.50"));
    EXPECT_EQ(FormatC(kFormatCount, 17), QStringLiteral("17"));
    EXPECT_EQ(FormatRate(kFormatTaxRate, 0.075), QStringLiteral("7.50%"));
    EXPECT_EQ(FormatRate(kFormatTaxRate, 0.125), QStringLiteral("12.50%"));
    EXPECT_EQ(FormatRate(kFormatDiscountRate, 0.0), QStringLiteral("0.0%"));
    EXPECT_EQ(FormatRate(kFormatDiscountRate, 0.15), QStringLiteral("15.0%"));
    EXPECT_EQ(FormatRate(kFormatRate, 0.0), QStringLiteral(" 0.00%"));
    EXPECT_EQ(FormatRate(kFormatRate, 0.5), QStringLiteral("50.00%"));
}

TEST(FormatC, ShownRatesReadBackToTheSameRate) {
    // What a rate edit shows must give the same rate when the user leaves it as it is.
    for (double rate : {0.01, 0.05, 0.075, 0.0825, 0.5, 0.99}) {
        const QString shown = FormatRate(kFormatTaxRate, rate);
        EXPECT_NEAR(RateFromTyped(ReadLeadingNumber(shown)), rate, 1e-12) << shown.toStdString();
    }
}

// The fast path must show every number exactly as printf-style formatting does, halves included.
TEST(FormatC, MatchesPrintfFormattingForEveryFormatTheProgramUses) {
    const char* doubleFormats[] = {kFormatMoney7, kFormatBalance, kFormatShipping, kFormatTaxRate,
                                   kFormatDiscountRate, kFormatRate, "%5.2f", "%5.1f lb", "%5.1f Oz", "%.3f"};
    const double values[] = {0.0, -0.0, 0.005, 0.015, 0.125, 1.125, 2.675, 1.0049999, -3.335, 99.995,
                             1234567.891, -0.004, 1e15, 21474836.475, 50000000.0, 7.0 / 3.0};
    for (const char* format : doubleFormats)
        for (double v : values)
            EXPECT_EQ(FormatC(format, v), QString::asprintf(format, v)) << format << " " << v;
    for (const char* format : {kFormatCount, "%5d", "Store %d"})
        for (int v : {0, -7, 42, 2147483647, -2147483647 - 1})
            EXPECT_EQ(FormatC(format, v), QString::asprintf(format, v)) << format << " " << v;
}
