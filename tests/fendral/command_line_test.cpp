#include "command_line.hpp"
#include "decimal_text.hpp"
#include "failure.hpp"

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

TEST(ParseCommandLine, TakesExactlyFourArgumentsWithABoundedRadius) {
    const std::vector<const char*> good{"2.5", "10", "in.tif", "out.tif"};
    const Options options = parseCommandLine(good);
    EXPECT_EQ(options.radius, 2.5);
    EXPECT_EQ(options.maxDiff, 10);
    EXPECT_EQ(options.output, "out.tif");
    const std::vector<std::vector<const char*>> bad{{"1", "10", "in.tif"},
                                                    {"1", "10", "in.tif", "out.tif", "x"},
                                                    {"101", "10", "a", "b"},
                                                    {"1", "10", "", "b"}};
    for (const auto& args : bad) {
        EXPECT_THROW(parseCommandLine(args), UsageError) << args.size() << " arguments";
    }
}

} // namespace
} // namespace fendral
