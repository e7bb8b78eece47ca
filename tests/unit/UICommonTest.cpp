#include "common/UICommon.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// What the filter answers with a point allowed but no minus (the settings boxes), with both
// allowed, and with neither.
TEST(IsNumericText, AnswersForEachFlagCombination) {
    struct Case {
        const char* text;
        bool pointNoMinus;
        bool both;
        bool neither;
    };
    // clang-format off
    const Case cases[]{
        {"", 1, 1, 1},      {"12", 1, 1, 1},    {"007", 1, 1, 1},   {"1.5", 1, 1, 0},
        {".5", 1, 1, 0},    {"5.", 1, 1, 0},    {".", 1, 1, 0},     {"1.2.3", 0, 0, 0},
        {"1..2", 0, 0, 0},  {"-5", 0, 1, 0},    {"-", 0, 1, 0},     {"-.5", 0, 1, 0},
        {"-.", 0, 1, 0},    {"5-", 0, 0, 0},    {"--5", 0, 0, 0},   {"1-2", 0, 0, 0},
        {"1e5", 0, 0, 0},   {"+5", 0, 0, 0},    {"1,000", 0, 0, 0}, {"1 5", 0, 0, 0},
        {" 5", 0, 0, 0},    {"12a", 0, 0, 0},
        // Full-width five, Arabic-Indic five, full-width point, typographic minus.
        {"\xEF\xBC\x95", 0, 0, 0}, {"\xD9\xA5", 0, 0, 0}, {"1\xEF\xBC\x8E" "5", 0, 0, 0},
        {"\xE2\x88\x92" "5", 0, 0, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(UICommon::IsNumericText(c.text, true, false), c.pointNoMinus) << c.text;
        EXPECT_EQ(UICommon::IsNumericText(c.text, true, true), c.both) << c.text;
        EXPECT_EQ(UICommon::IsNumericText(c.text, false, false), c.neither) << c.text;
    }
    EXPECT_TRUE(UICommon::IsNumericText("-12", false, true));
    EXPECT_FALSE(UICommon::IsNumericText("-1.2", false, true));
}

TEST(IsNumericText, RefusesEveryAsciiCharacterButDigitsPointAndMinus) {
    for (int c = 0; c < 128; ++c) {
        const std::string text(1, static_cast<char>(c));
        const bool expected = (c >= '0' && c <= '9') || c == '.' || c == '-';
        EXPECT_EQ(UICommon::IsNumericText(text, true, true), expected) << "character " << c;
    }
}

} // namespace
