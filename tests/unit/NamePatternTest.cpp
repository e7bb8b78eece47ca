#include "platform/NamePattern.h"

#include <gtest/gtest.h>

namespace fendralwin {
namespace {

TEST(NamePattern, MatchesStarsAndQuestionMarksIgnoringAsciiCase) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    // clang-format off
    const Case cases[] = {
        {"scan.tif", "*.tif", true},   {"SCAN.TIF", "*.tif", true},  {"scan.Tif", "*.TIF", true},
        {".tif", "*.tif", true},       {"scan.tiff", "*.tif", false}, {"scan.tif.bak", "*.tif", false},
        {"tif", "*.tif", false},       {"a.tif.tif", "*.tif", true},  {"", "*", true},
        {"", "*.tif", false},          {"abc", "a?c", true},          {"ac", "a?c", false},
        {"aXbXc", "a*b*c", true},      {"aXbX", "a*b*c", false},
        {"\xC3\x89T\xC3\x89.tif", "*.tif", true}, // ÉTÉ.tif
        {"x.t\xC3\xAF" "f", "*.tif", false},      // a dotted i is no i
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(matchesNamePattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
    }
}

} // namespace
} // namespace fendralwin
