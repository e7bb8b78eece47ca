#include "app/RadiusText.h"

#include <clocale>
#include <gtest/gtest.h>

namespace fendralwin::test {
namespace {

TEST(RadiusText, IsTheShortestDecimalFormOfTenths) {
    const std::vector<std::pair<int, std::string>> cases{
        {0, "0"},    {5, "0.5"},  {10, "1"},    {11, "1.1"}, {15, "1.5"},      {37, "3.7"},
        {99, "9.9"}, {100, "10"}, {-5, "-0.5"}, {-10, "-1"}, {32767, "3276.7"}};
    for (const auto& [tenths, text] : cases) {
        EXPECT_EQ(RadiusText(tenths), text) << tenths;
    }
}

TEST(RadiusText, UsesAPointUnderACommaLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    }
    const std::string text = RadiusText(15);
    std::setlocale(LC_ALL, before.c_str());
    EXPECT_EQ(text, "1.5");
}

} // namespace
} // namespace fendralwin::test
