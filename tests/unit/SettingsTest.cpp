#include "Fakes.h"
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

TEST(ScrollHandlers, WriteTheBarValueIntoItsBox) {
    Harness h;
    h.hscrlRadius.position = 37;
    h.form->hscrlRadius_Scroll();
    EXPECT_EQ(h.txtRadius.value, "3.7");
    h.hscrlRadius.position = 100;
    h.form->hscrlRadius_Scroll();
    EXPECT_EQ(h.txtRadius.value, "10");

    h.hscrlMaxDiff.position = 50;
    h.form->hscrlMaxDiff_Scroll();
    EXPECT_EQ(h.txtMaxDiff.value, "50");
    h.hscrlMaxDiff.position = 0;
    h.form->hscrlMaxDiff_Scroll();
    EXPECT_EQ(h.txtMaxDiff.value, "0");
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST(SettingBoxes, AcceptEveryTextOfANumberTypedFromTheLeft) {
    Harness h;
    h.txtRadius.setText("");
    h.txtRadius.type("1.5");
    h.txtMaxDiff.setText("");
    h.txtMaxDiff.type("12.5");
    EXPECT_TRUE(h.boxes.shown.empty());
    EXPECT_EQ(h.txtRadius.value, "1.5");
    EXPECT_EQ(h.txtMaxDiff.value, "12.5");
}

struct RefusalCase {
    std::string box;
    std::string before;
    std::string typed;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.box << " " << testing::PrintToString(c.before) << " + "
         << testing::PrintToString(c.typed);
}

class RefusedTextTest : public testing::TestWithParam<RefusalCase> {};

TEST_P(RefusedTextTest, ShowsOneMessageThenEmptiesAndFocusesTheBox) {
    Harness h;
    const bool radius = GetParam().box == "txtRadius";
    FakeTextBox& box = radius ? h.txtRadius : h.txtMaxDiff;
    const std::string message = radius ? "Only numeric values are valid for the Radius setting."
                                       : "Only numeric values are valid for the MaxDiff setting.";
    std::string heldWhileShown;
    h.boxes.whileShown = [&] {
        heldWhileShown = box.value;
    };
    box.setText(GetParam().before);
    h.log.clear();

    box.type(GetParam().typed);

    ASSERT_EQ(h.boxes.shown.size(), 1U);
    EXPECT_EQ(h.boxes.shown[0], (ShownMessage{MessageKind::Plain, "FendralWin", message}));
    EXPECT_EQ(heldWhileShown, GetParam().before + GetParam().typed);
    EXPECT_EQ(box.value, "");
    EXPECT_EQ(h.log, Log{"focus " + GetParam().box});
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusedTextTest,
    testing::Values(RefusalCase{"txtRadius", "12", "-"}, RefusalCase{"txtMaxDiff", "12", "-"},
                    RefusalCase{"txtRadius", "", "-"}, RefusalCase{"txtMaxDiff", "", "-"},
                    RefusalCase{"txtMaxDiff", "12", "a"}, RefusalCase{"txtRadius", "12", " "},
                    RefusalCase{"txtRadius", "12", ","}));

TEST(SettingBoxes, APastedTextWithTwoPointsIsRefusedWhole) {
    Harness h;
    h.txtRadius.setText("1.2.3");
    ASSERT_EQ(h.boxes.shown.size(), 1U);
    EXPECT_EQ(h.txtRadius.value, "");
}

TEST(SettingBoxes, TypingNeverTouchesTheRunButtonOrLabels) {
    Harness h;
    h.log.clear();
    h.txtRadius.type("5");
    h.txtMaxDiff.type("x");
    EXPECT_EQ(h.log, Log{"focus txtMaxDiff"});
}

} // namespace
} // namespace fendralwin::test
