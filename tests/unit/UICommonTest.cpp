#include "common/UICommon.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct FilterCase {
    std::string text;
    bool pointAllowedMinusNot;
    bool bothAllowed;
    bool neitherAllowed;
};

void PrintTo(const FilterCase& c, std::ostream* out) {
    *out << testing::PrintToString(c.text);
}

class IsNumericTextTest : public testing::TestWithParam<FilterCase> {};

TEST_P(IsNumericTextTest, AnswersForEachFlagCombination) {
    const FilterCase& c = GetParam();
    EXPECT_EQ(UICommon::IsNumericText(c.text, true, false), c.pointAllowedMinusNot);
    EXPECT_EQ(UICommon::IsNumericText(c.text, true, true), c.bothAllowed);
    EXPECT_EQ(UICommon::IsNumericText(c.text, false, false), c.neitherAllowed);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IsNumericTextTest,
    testing::Values(FilterCase{"", true, true, true}, FilterCase{"12", true, true, true},
                    FilterCase{"007", true, true, true}, FilterCase{"1.5", true, true, false},
                    FilterCase{".5", true, true, false}, FilterCase{"5.", true, true, false},
                    FilterCase{".", true, true, false}, FilterCase{"1.2.3", false, false, false},
                    FilterCase{"1..2", false, false, false}, FilterCase{"-5", false, true, false},
                    FilterCase{"-", false, true, false}, FilterCase{"-.5", false, true, false},
                    FilterCase{"-.", false, true, false}, FilterCase{"5-", false, false, false},
                    FilterCase{"--5", false, false, false}, FilterCase{"1-2", false, false, false},
                    FilterCase{"1e5", false, false, false}, FilterCase{"+5", false, false, false},
                    FilterCase{"1,000", false, false, false},
                    FilterCase{"1 5", false, false, false}, FilterCase{" 5", false, false, false},
                    FilterCase{"12a", false, false, false}));

TEST(IsNumericText, MinusAllowedOnlyWithoutPointFlagStillRefusesPoints) {
    EXPECT_TRUE(UICommon::IsNumericText("-12", false, true));
    EXPECT_FALSE(UICommon::IsNumericText("-1.2", false, true));
}

TEST(IsNumericText, RefusesDigitsOfOtherScriptsAndLookalikes) {
    // Full-width five, Arabic-Indic five, full-width point, typographic minus.
    for (const char* text : {"\xEF\xBC\x95", "\xD9\xA5",
                             "1\xEF\xBC\x8E"
                             "5",
                             "\xE2\x88\x92"
                             "5"}) {
        EXPECT_FALSE(UICommon::IsNumericText(text, true, true)) << text;
    }
}

TEST(IsNumericText, RefusesEveryAsciiCharacterButDigitsPointAndMinus) {
    for (int c = 0; c < 128; ++c) {
        const std::string text(1, static_cast<char>(c));
        const bool expected = (c >= '0' && c <= '9') || c == '.' || c == '-';
        EXPECT_EQ(UICommon::IsNumericText(text, true, true), expected) << "character " << c;
    }
}

} // namespace
