#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

namespace {
const NumberSeparators English{'.', ","};
const NumberSeparators German{',', "."};
}  // namespace

TEST(ParseInteger, SignAndDigitsWithinTheThirtyTwoBitRange) {
    EXPECT_EQ(parseInteger("25"), 25);
    EXPECT_EQ(parseInteger("-0"), 0);
    EXPECT_EQ(parseInteger("007"), 7);
    EXPECT_EQ(parseInteger("+5"), 5);
    EXPECT_EQ(parseInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseInteger("-2147483648"), -2147483647 - 1);
    for (const char* invalid : {"", "-", "+", "+-1", "--1", "2147483648", "-2147483649", "1.5",
                                "1,000", "abc", " 1", "1 ", "12km", "0x10"}) {
        EXPECT_EQ(parseInteger(invalid), std::nullopt) << invalid;
    }
}

TEST(ParseFloat, NumbersWithTheLocalesDecimalSeparator) {
    EXPECT_EQ(parseFloat("10.5", '.'), 10.5);
    EXPECT_EQ(parseFloat("-3", '.'), -3.0);
    EXPECT_EQ(parseFloat("+.5", '.'), 0.5);
    EXPECT_EQ(parseFloat("5.", '.'), 5.0);
    EXPECT_EQ(parseFloat("1.5e3", '.'), 1500.0);
    EXPECT_EQ(parseFloat("2E-2", '.'), 0.02);
    EXPECT_EQ(parseFloat("  7  ", '.'), 7.0);
    EXPECT_EQ(parseFloat("10,5", ','), 10.5);
    EXPECT_EQ(parseFloat("0.1", '.'), 0.1);
    EXPECT_EQ(parseFloat("10.5", ','), std::nullopt);
    for (const char* invalid : {"", " ", ".", "-", "1..2", "1.2.3", "1e", "1e+", "e5", "1 2",
                                "1\t2", "\t1", "abc", "1,000", "nan", "inf", "0x1p3", "1.5x"}) {
        EXPECT_EQ(parseFloat(invalid, '.'), std::nullopt) << invalid;
    }
}

TEST(ParseFloat, OverflowIsRefusedAndUnderflowIsZero) {
    EXPECT_EQ(parseFloat("1e400", '.'), std::nullopt);
    EXPECT_EQ(parseFloat("-1e99999999999999999999", '.'), std::nullopt);
    EXPECT_EQ(parseFloat("1e-400", '.'), 0.0);
    EXPECT_TRUE(std::signbit(*parseFloat("-1e-99999999999", '.')));
    EXPECT_EQ(parseFloat("0.000e999999", '.'), 0.0);
    EXPECT_EQ(parseFloat(std::string(5000, '9'), '.'), std::nullopt);
    EXPECT_EQ(parseFloat("0." + std::string(5000, '0') + "1", '.'), 0.0);
}

TEST(FormatNumber, ThousandsSeparatorsAndFixedDecimals) {
    EXPECT_EQ(formatNumber(1, 3, English), "1.000");
    EXPECT_EQ(formatNumber(0, 3, English), "0.000");
    EXPECT_EQ(formatNumber(1000, 3, English), "1,000.000");
    EXPECT_EQ(formatNumber(1, 6, English), "1.000000");
    EXPECT_EQ(formatNumber(10000, 2, English), "10,000.00");
    EXPECT_EQ(formatNumber(10000, 1, English), "10,000.0");
    EXPECT_EQ(formatNumber(2147483646, 1, English), "2,147,483,646.0");
    EXPECT_EQ(formatNumber(1000000000, 3, English), "1,000,000,000.000");
    EXPECT_EQ(formatNumber(-1234.5, 1, English), "-1,234.5");
    EXPECT_EQ(formatNumber(999.9996, 3, English), "1,000.000");
    EXPECT_EQ(formatNumber(123456, 0, English), "123,456");
    EXPECT_EQ(formatNumber(10000, 2, German), "10.000,00");
    EXPECT_EQ(groupedInteger(999, English), "999");
    EXPECT_EQ(groupedInteger(-1234567, German), "-1.234.567");
    EXPECT_EQ(groupedInteger(INT64_MIN, English), "-9,223,372,036,854,775,808");
}

TEST(FormatNumber, ScientificFromTheFirstMagnitudeADoubleCannotShowWhole) {
    EXPECT_EQ(formatNumber(999999999999999, 0, English), "999,999,999,999,999");
    EXPECT_EQ(formatNumber(1e15, 2, English), "1.000e+15");
    EXPECT_EQ(formatNumber(-2e300, 0, German), "-2,000e+300");
    EXPECT_EQ(formatNumber(1e-10, 2, English), "0.00");
}

TEST(FormatNumber, HalvesRoundAwayFromZeroAndZeroHasNoSign) {
    EXPECT_EQ(formatNumber(0.0625, 3, English), "0.063");
    EXPECT_EQ(formatNumber(-0.0625, 3, English), "-0.063");
    EXPECT_EQ(formatNumber(2.5, 0, English), "3");
    EXPECT_EQ(formatNumber(999999.5, 0, English), "1,000,000");
    EXPECT_EQ(formatNumber(9.9999996, 6, English), "10.000000");
    EXPECT_EQ(formatNumber(-1e-7, 6, English), "0.000000");
    EXPECT_EQ(formatNumber(-0.0, 1, English), "0.0");
    EXPECT_EQ(formatFixed(0.125, 2, '.'), "0.13");
    EXPECT_EQ(formatFixed(-0.001, 2, '.'), "0.00");
}

TEST(FormatNumber, FixedGeneralAndShortestForms) {
    EXPECT_EQ(formatFixed(-10, 2, '.'), "-10.00");
    EXPECT_EQ(formatFixed(1000000000, 2, '.'), "1000000000.00");
    EXPECT_EQ(formatFixed(10, 2, ','), "10,00");
    EXPECT_EQ(formatGeneral(1, '.'), "1");
    EXPECT_EQ(formatGeneral(0.5, ','), "0,5");
    EXPECT_EQ(formatGeneral(1000000000, '.'), "1000000000");
    EXPECT_EQ(formatGeneral(0.1, '.'), "0.1");
    EXPECT_EQ(formatGeneral(1e-7, '.'), "1E-7");
    EXPECT_EQ(formatGeneral(-2.5, '.'), "-2.5");
    EXPECT_EQ(formatGeneral(1.5e20, '.'), "1.5E20");
    EXPECT_EQ(formatGeneral(-1e-300, '.'), "-1E-300");
    EXPECT_EQ(formatGeneral(123456789012345678.0, '.'), "1.23456789012346E17");
    EXPECT_EQ(formatShortest(0.37, '.'), "0.37");
    EXPECT_EQ(formatShortest(1, '.'), "1");
    EXPECT_EQ(formatShortest(0.07, ','), "0,07");
    EXPECT_EQ(formatShortest(-1e6, '.'), "-1000000");
    EXPECT_EQ(formatShortest(1.5e-7, ','), "0,00000015");
    EXPECT_EQ(formatShortest(1e21, '.'), "1e+21");
}

// The C library's number functions follow the process locale; none of these may.
class CommaDecimalProcessLocale : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved = std::setlocale(LC_ALL, nullptr);
        ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
            << "the de_DE.UTF-8 locale is not installed (tools/setup generates it)";
    }
    void TearDown() override { std::setlocale(LC_ALL, m_saved.c_str()); }

private:
    std::string m_saved;
};

TEST_F(CommaDecimalProcessLocale, LeavesEveryFormatAndParseAsInTheCLocale) {
    EXPECT_EQ(formatNumber(10000, 2, English), "10,000.00");
    EXPECT_EQ(formatNumber(1, 6, English), "1.000000");
    EXPECT_EQ(formatNumber(0.0625, 3, English), "0.063");
    EXPECT_EQ(formatNumber(1000, 3, German), "1.000,000");
    EXPECT_EQ(formatFixed(-10, 2, '.'), "-10.00");
    EXPECT_EQ(formatGeneral(2.5, '.'), "2.5");
    EXPECT_EQ(formatGeneral(1e-7, ','), "1E-7");
    EXPECT_EQ(formatShortest(0.37, '.'), "0.37");
    EXPECT_EQ(parseFloat("1.5", '.'), 1.5);
    EXPECT_EQ(parseFloat("1,5", ','), 1.5);
}
