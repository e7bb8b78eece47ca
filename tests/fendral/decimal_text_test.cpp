#include "decimal_text.h"

#include <gtest/gtest.h>

namespace fendral {
namespace {

TEST(ParseDecimal, ReadsTheWindowsNumberTexts) {
    const std::pair<const char*, double> accepted[] = {
        {"1", 1}, {"1.5", 1.5}, {"5.", 5}, {".5", 0.5}, {"10", 10}, {"0", 0}, {"007.250", 7.25}};
    for (const auto& [text, value] : accepted) {
        EXPECT_EQ(parseDecimal(text), value) << text;
    }
}

TEST(ParseDecimal, RefusesAnythingElse) {
    for (const char* text :
         {".", "", "-1", "+1", "1e5", "abc", "1.2.3", " 1", "1 ", "1,5", "inf", "nan", "0x10"}) {
        EXPECT_EQ(parseDecimal(text), std::nullopt) << '"' << text << '"';
    }
}

} // namespace
} // namespace fendral
