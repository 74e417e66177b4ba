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

// The variable takes a number within the bounds, which are inclusive; anything else leaves it
// and the field as they were, with the range box or the conversion error.
TEST(CheckRealEntry, TakesANumberWithinTheBoundsAndOtherwiseKeepsTheValue) {
    const std::string Range10 = "Invalid Parameter Value.  Must have -10.00 <= X <= 10.00";
    const std::string Conversion = "Conversion Error";
    const struct {
        const char* typed;
        double before;
        double max;
        NumberSeparators separators;
        std::string box;
        double after;
        const char* shown;
    } cases[] = {
        {"10", 1, 10, English, "", 10, "10"},
        {"10.0001", 0.5, 10, English, Range10, 0.5, "0.5"},
        {"1..2", 1000, 1e9, English, Conversion, 1000, "1000"},
        {"1,000.000", 1000, 1e9, English, Conversion, 1000, "1000"},
        {"-", 1000, 1e9, English, Conversion, 1000, "1000"},
        {".", 1000, 1e9, English, Conversion, 1000, "1000"},
        {"2,5", 1, 10, German, "", 2.5, "2,5"},
        {"12,5", 2.5, 10, German, "Invalid Parameter Value.  Must have -10,00 <= X <= 10,00", 2.5,
         "2,5"},
        {"", 3, 10, English, "", 3, ""},
    };
    for (const auto& c : cases) {
        ScriptedPrompts prompts;
        if (!c.box.empty()) {
            prompts.box(BoxType::Warning, c.box, Buttons::Ok);
        }
        Field field(c.typed);
        double variable = c.before;
        CheckRealEntry(prompts, field, variable, -10, c.max, c.separators);
        EXPECT_EQ(variable, c.after) << c.typed;
        EXPECT_EQ(field.text(), c.shown) << c.typed;
        EXPECT_TRUE(prompts.satisfied()) << c.typed << "\n" << prompts.report();
    }
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
