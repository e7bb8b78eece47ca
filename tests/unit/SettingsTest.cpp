#include "app/SettingText.h"

#include <clocale>
#include <gtest/gtest.h>
#include <optional>
#include <tuple>

namespace fendralwin::test {
namespace {

// Under a locale that writes a decimal comma (scripts/install-deps.sh makes it) as under any.
TEST(SettingText, IsTheShortestDecimalFormOfTheStepsWithAPointWhateverTheLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    const std::vector<std::pair<int, std::string>> tenths{
        {0, "0"},    {5, "0.5"},  {10, "1"},    {11, "1.1"}, {15, "1.5"},      {37, "3.7"},
        {99, "9.9"}, {100, "10"}, {-5, "-0.5"}, {-10, "-1"}, {32767, "3276.7"}};
    for (const auto& [steps, text] : tenths) {
        EXPECT_EQ(SettingText(steps, 10), text) << steps;
    }
    EXPECT_EQ(SettingText(12, 1), "12");
    std::setlocale(LC_ALL, before.c_str());
}

TEST(BarPosition, IsWhereTheBarShowsATypedSettingExactly) {
    const std::vector<std::tuple<const char*, int, std::optional<int>>> cases{
        {"1", 10, 10},          {"1.", 10, 10},   {"1.5", 10, 15}, {".5", 10, 5},
        {"1.50", 10, 15},       {"09.9", 10, 99}, {"0", 10, 0},    {"1.55", 10, {}},
        {"10.1", 10, {}},       {"11", 10, {}},   {"", 10, {}},    {".", 10, {}},
        {"3.0", 1, 3},          {"50", 1, 50},    {"12.5", 1, {}}, {"51", 1, {}},
        {"99999999999", 1, {}}, {"-1", 1, {}},    {"1e1", 10, {}}};
    for (const auto& [text, stepsPerUnit, position] : cases) {
        const int maximum = stepsPerUnit == 10 ? 100 : 50;
        EXPECT_EQ(barPositionOf(text, stepsPerUnit, maximum), position) << text;
    }
}

} // namespace
} // namespace fendralwin::test
