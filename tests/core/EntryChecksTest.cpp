#include "modify/EntryChecks.h"

#include <gtest/gtest.h>

#include "tests/support/ScriptedPrompts.h"

namespace {

class Field : public EntryField {
public:
    explicit Field(std::string text) : m_text(std::move(text)) {}
    std::string text() const override { return m_text; }
    void setText(const std::string& text) override { m_text = text; }

private:
    std::string m_text;
};

const NumberSeparators English{'.', ","};
const NumberSeparators German{',', "."};
const std::string Range1To25 = "Invalid Parameter Value.  Must have 1 <= X <= 25";
const std::string ConversionWarning =
    "Specified value did not convert correctly... Warning\rDefault value used and shown";

struct IntegerCase {
    std::string typed;
    int32_t before;
    int32_t after;
    std::string shown;
    bool conversionWarning;
    bool rangeBox;
};

class IntegerEntry : public ::testing::TestWithParam<IntegerCase> {};

}  // namespace

TEST_P(IntegerEntry, ConvertsChecksAndRestores) {
    const IntegerCase& c = GetParam();
    ScriptedPrompts prompts;
    if (c.conversionWarning) {
        prompts.beep(InformationBeep).box(BoxType::Warning, ConversionWarning, Buttons::Ok);
    }
    if (c.rangeBox) {
        prompts.box(BoxType::Warning, Range1To25, Buttons::Ok);
    }
    Field field(c.typed);
    int32_t variable = c.before;
    CheckIntegerEntry(prompts, field, variable, 1, 25);
    EXPECT_EQ(variable, c.after);
    EXPECT_EQ(field.text(), c.shown);
    EXPECT_TRUE(prompts.satisfied()) << prompts.report();
}

INSTANTIATE_TEST_SUITE_P(Cases, IntegerEntry,
                         ::testing::Values(IntegerCase{"", -1, -1, "", false, false},
                                           IntegerCase{"25", -1, 25, "25", false, false},
                                           IntegerCase{"1", 5, 1, "1", false, false},
                                           IntegerCase{"26", -1, -1, "-1", false, true},
                                           IntegerCase{"0", -1, -1, "-1", false, true},
                                           IntegerCase{"007", -1, 7, "7", true, false},
                                           IntegerCase{"1.5", -1, -1, "-1", true, true},
                                           IntegerCase{"1.5", 4, 4, "4", true, false},
                                           IntegerCase{"-0", -1, -1, "-1", true, true},
                                           IntegerCase{"abc", -1, -1, "-1", true, true},
                                           IntegerCase{"99999999999", 3, 3, "3", true, false},
                                           IntegerCase{"10,000.00", 10, 10, "10", true, false}));

TEST(CheckIntegerEntry, MinusZeroBecomesZeroWithTheWarning) {
    ScriptedPrompts prompts;
    prompts.beep(InformationBeep).box(BoxType::Warning, ConversionWarning, Buttons::Ok);
    Field field("-0");
    int32_t variable = 5;
    CheckIntegerEntry(prompts, field, variable, 0, 10);
    EXPECT_EQ(variable, 0);
    EXPECT_EQ(field.text(), "0");
    EXPECT_TRUE(prompts.satisfied()) << prompts.report();
}

TEST(CheckRealEntry, BoundsAreInclusive) {
    ScriptedPrompts prompts;
    Field field("10");
    double variable = 1;
    CheckRealEntry(prompts, field, variable, -10, 10, English);
    EXPECT_EQ(variable, 10);
    EXPECT_EQ(field.text(), "10");
    EXPECT_TRUE(prompts.satisfied()) << prompts.report();
}

TEST(CheckRealEntry, OutOfRangeShowsTheBoundsWithTwoDecimals) {
    ScriptedPrompts prompts;
    prompts.box(BoxType::Warning, "Invalid Parameter Value.  Must have -10.00 <= X <= 10.00",
                Buttons::Ok);
    Field field("10.0001");
    double variable = 0.5;
    CheckRealEntry(prompts, field, variable, -10, 10, English);
    EXPECT_EQ(variable, 0.5);
    EXPECT_EQ(field.text(), "0.5");
    EXPECT_TRUE(prompts.satisfied()) << prompts.report();
}

TEST(CheckRealEntry, TextThatIsNotANumberIsAConversionError) {
    for (const char* typed : {"1..2", "1,000.000", "-", "."}) {
        ScriptedPrompts prompts;
        prompts.box(BoxType::Warning, "Conversion Error", Buttons::Ok);
        Field field(typed);
        double variable = 1000;
        CheckRealEntry(prompts, field, variable, 0, 1000000000, English);
        EXPECT_EQ(variable, 1000) << typed;
        EXPECT_EQ(field.text(), "1000") << typed;
        EXPECT_TRUE(prompts.satisfied()) << typed << "\n" << prompts.report();
    }
}

TEST(CheckRealEntry, CommaDecimalLocale) {
    ScriptedPrompts prompts;
    Field accepted("2,5");
    double variable = 1;
    CheckRealEntry(prompts, accepted, variable, -10, 10, German);
    EXPECT_EQ(variable, 2.5);
    prompts.box(BoxType::Warning, "Invalid Parameter Value.  Must have -10,00 <= X <= 10,00",
                Buttons::Ok);
    Field refused("12,5");
    CheckRealEntry(prompts, refused, variable, -10, 10, German);
    EXPECT_EQ(variable, 2.5);
    EXPECT_EQ(refused.text(), "2,5");
    EXPECT_TRUE(prompts.satisfied()) << prompts.report();
}

TEST(CheckRealEntry, EmptyFieldChangesNothing) {
    ScriptedPrompts prompts;
    Field field("");
    double variable = 3;
    CheckRealEntry(prompts, field, variable, 0, 1, English);
    EXPECT_EQ(variable, 3);
    EXPECT_EQ(field.text(), "");
    EXPECT_TRUE(prompts.satisfied()) << prompts.report();
}

TEST(CheckCoverageEntry, AnyThirtyTwoBitValueElseTen) {
    ScriptedPrompts prompts;
    int32_t coverage = 0;
    Field negative("-250");
    EXPECT_TRUE(checkCoverageEntry(prompts, negative, coverage));
    EXPECT_EQ(coverage, -250);
    for (const char* typed : {"12.5", "-", "--3", "99999999999"}) {
        prompts.beep(InformationBeep).box(BoxType::Warning, ConversionWarning, Buttons::Ok);
        Field field(typed);
        EXPECT_TRUE(checkCoverageEntry(prompts, field, coverage));
        EXPECT_EQ(coverage, 10) << typed;
        EXPECT_EQ(field.text(), "10");
    }
    Field empty("");
    EXPECT_FALSE(checkCoverageEntry(prompts, empty, coverage));
    EXPECT_EQ(coverage, 10);
    EXPECT_TRUE(prompts.satisfied()) << prompts.report();
}

TEST(NumericEntryKey, DigitsBackspaceDecimalSeparatorsAndMinusOnly) {
    for (const char decimal : {'.', ','}) {
        for (char32_t key : {U'0', U'9', U'\b', U'.', U'-', char32_t(decimal)}) {
            EXPECT_TRUE(isNumericEntryKey(key, decimal)) << decimal;
        }
        for (char32_t key : {U'a', U'\r', U' ', U'+', U'e', U'\x16', U'\x1b', U'٣', U'\'', U';'}) {
            EXPECT_FALSE(isNumericEntryKey(key, decimal)) << decimal;
        }
    }
    EXPECT_FALSE(isNumericEntryKey(U',', '.'));
}
