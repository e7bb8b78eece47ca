#include "BehaviourSuite.h"

#include "job/Script.h"

#include <cmath>

namespace fendralwin::test {

namespace {

Action openIn(std::string folder) {
    return {Act::OpenIn, std::move(folder)};
}
Action openOut(std::string folder) {
    return {Act::OpenOut, std::move(folder)};
}
Action clickFile(std::string name) {
    return {Act::ClickFile, std::move(name)};
}
Action type(std::string box, std::string text) {
    return {Act::Type, std::move(box), std::move(text)};
}
Action paste(std::string box, std::string text) {
    return {Act::Paste, std::move(box), std::move(text)};
}
Action drag(std::string bar, int position) {
    return {Act::Drag, std::move(bar), {}, position};
}
Action stepRight(std::string bar) {
    return {Act::StepRight, std::move(bar)};
}
Action press(std::string button) {
    return {Act::Press, std::move(button)};
}
Action removeFile(std::string file) {
    return {Act::RemoveFile, std::move(file)};
}

const ShownMessage kBadExtension{MessageKind::Plain, "FendralWin",
                                 "The output file must have a \".TIF\" extension."};
const ShownMessage kSameFile{MessageKind::Warning, "Output File Error",
                             "The input and output files need to be either\r"
                             "different names or in different directories."};

std::vector<std::string> job(std::string radius, std::string maxDiff, std::string input,
                             std::string output) {
    return {std::move(radius), std::move(maxDiff), std::move(input), std::move(output)};
}

// Ready to run: scan1.tif chosen, the output folder Out, the name typed.
std::vector<Action> readyWith(const std::string& name) {
    return {clickFile("scan1.tif"), openOut("Out"), type("txtOutputFile", name)};
}

template <typename... More>
std::vector<Action> then(std::vector<Action> actions, More... more) {
    (actions.push_back(std::move(more)), ...);
    return actions;
}

void addChoosers(std::vector<Scenario>& s) {
    s.push_back({"StartsWithNothingChosen",
                 {},
                 {.texts = {{"lblInputFile", "Input File:"},
                            {"lblOutputFile", "Output File:"},
                            {"txtOutputFile", ""},
                            {"txtRadius", "1"},
                            {"txtMaxDiff", "10"}},
                  .runEnabled = false,
                  .bars = {{"hscrlRadius", 10}, {"hscrlMaxDiff", 10}}}});
    s.push_back({"AChosenFileShowsItsPath",
                 {clickFile("Scan2.TIF")},
                 {.texts = {{"lblInputFile", "Input File: {Scan2.TIF}"}}, .runEnabled = false}});
    s.push_back({"FilesOfAnOpenedFolderAreChosenThere",
                 {openIn("Images"), clickFile("photo.tif")},
                 {.texts = {{"lblInputFile", "Input File: {Images/photo.tif}"}}}});
    s.push_back({"AnAncestorFolderOpensAgain",
                 {openIn("Images"), openIn(""), clickFile("scan1.tif")},
                 {.texts = {{"lblInputFile", "Input File: {scan1.tif}"}}}});
    s.push_back({"ANewInputFolderTakesBackTheChoiceButKeepsTheName",
                 {type("txtOutputFile", "clean.tif"), clickFile("scan1.tif"), openIn("Images")},
                 {.texts = {{"lblInputFile", "Input File:"},
                            {"txtOutputFile", "clean.tif"},
                            {"lblOutputFile", "Output File: {clean.tif}"}},
                  .runEnabled = false}});
    s.push_back({"AnOutputFolderShowsBeforeAnyName",
                 {openOut("Out")},
                 {.texts = {{"lblOutputFile", "Output File: {Out/}"}}}});
    s.push_back({"TheOutputPathFollowsEachTypedKey",
                 {openOut("Out"), type("txtOutputFile", "cl")},
                 {.texts = {{"lblOutputFile", "Output File: {Out/cl}"}}, .runEnabled = false}});
    s.push_back({"AFileAndOneTypedKeyMakeTheJobReady",
                 {clickFile("scan1.tif"), type("txtOutputFile", "c")},
                 {.runEnabled = true}});
    s.push_back(
        {"EmptyingTheNameTakesReadinessBack",
         {clickFile("scan1.tif"), type("txtOutputFile", "clean.tif"), paste("txtOutputFile", "")},
         {.texts = {{"lblOutputFile", "Output File: {}"}}, .runEnabled = false}});
    s.push_back({"ANewOutputFolderKeepsTheTypedName",
                 {type("txtOutputFile", "clean.tif"), openOut("Out")},
                 {.texts = {{"lblOutputFile", "Output File: {Out/clean.tif}"},
                            {"txtOutputFile", "clean.tif"}}}});
    s.push_back({"TheInputSideNeverChangesTheOutputSide",
                 {openOut("Out"), type("txtOutputFile", "x.tif"), openIn("Images")},
                 {.texts = {{"lblOutputFile", "Output File: {Out/x.tif}"}}}});
    s.push_back({"ANameThatIsOnlyCopiesOfTheOutputFolderIsNoName",
                 {clickFile("scan1.tif"), openOut("Out"), paste("txtOutputFile", "{Out/}{Out/}")},
                 {.runEnabled = false}});
    s.push_back({"TheOutputFolderInFrontOfANameLeavesAName",
                 then(readyWith("x"), paste("txtOutputFile", "{Out/}clean.tif")),
                 {.runEnabled = true}});
}

void addSettings(std::vector<Scenario>& s) {
    s.push_back({"DraggingASliderWritesItsSetting",
                 {drag("hscrlRadius", 37), drag("hscrlMaxDiff", 50)},
                 {.texts = {{"txtRadius", "3.7"}, {"txtMaxDiff", "50"}},
                  .bars = {{"hscrlRadius", 37}, {"hscrlMaxDiff", 50}}}});
    s.push_back({"DraggingToTheEndsWritesWholeNumbers",
                 {drag("hscrlRadius", 100), drag("hscrlMaxDiff", 0)},
                 {.texts = {{"txtRadius", "10"}, {"txtMaxDiff", "0"}}}});
    s.push_back({"AnArrowKeyMovesTheSliderWithoutWritingTheSetting",
                 {stepRight("hscrlRadius"), stepRight("hscrlMaxDiff")},
                 {.texts = {{"txtRadius", "1"}, {"txtMaxDiff", "10"}},
                  .bars = {{"hscrlRadius", 11}, {"hscrlMaxDiff", 11}}}});
    s.push_back({"NumbersTypedIntoEmptyBoxesStay",
                 {paste("txtRadius", ""), type("txtRadius", "1.5"), paste("txtMaxDiff", ""),
                  type("txtMaxDiff", "12.5")},
                 {.texts = {{"txtRadius", "1.5"},
                            {"txtMaxDiff", "12.5"},
                            {"lblOutputFile", "Output File:"}},
                  .runEnabled = false}});
    struct Refusal {
        const char* name;
        const char* box;
        const char* before;
        const char* typed;
    };
    const Refusal refusals[]{
        {"RadiusMinus", "txtRadius", "12", "-"},
        {"MaxDiffMinus", "txtMaxDiff", "12", "-"},
        {"MinusIntoEmptyRadius", "txtRadius", "", "-"},
        {"MinusIntoEmptyMaxDiff", "txtMaxDiff", "", "-"},
        {"MaxDiffLetter", "txtMaxDiff", "12", "a"},
        {"RadiusBlank", "txtRadius", "12", " "},
        {"RadiusComma", "txtRadius", "12", ","},
        {"RadiusSecondPoint", "txtRadius", "1.", "."},
    };
    for (const Refusal& r : refusals) {
        const bool radius = std::string_view(r.box) == "txtRadius";
        s.push_back({std::string("ARefusedKeyEmptiesTheBox") + r.name,
                     {paste(r.box, r.before), type(r.box, r.typed)},
                     {.texts = {{r.box, ""}},
                      .focus = r.box,
                      .messages = {{MessageKind::Plain, "FendralWin",
                                    radius ? "Only numeric values are valid for the Radius setting."
                                           : "Only numeric values are valid for the MaxDiff "
                                             "setting."}}}});
    }
    s.push_back({"APastedTextWithTwoPointsIsRefusedWhole",
                 {paste("txtMaxDiff", "1.2.3")},
                 {.texts = {{"txtMaxDiff", ""}},
                  .messages = {{MessageKind::Plain, "FendralWin",
                                "Only numeric values are valid for the MaxDiff setting."}}}});
}

void addRunCommand(std::vector<Scenario>& s) {
    const std::string in = "{scan1.tif}";
    s.push_back({"RunStartsTheJobAndStaysReady",
                 then(readyWith("clean.tif"), press("cmdRunFendral")),
                 {.runEnabled = true, .jobs = {job("1", "10", in, "{Out/clean.tif}")}}});
    s.push_back(
        {"EveryRunStartsAJobOfItsOwn",
         then(readyWith("clean.tif"), press("cmdRunFendral"), press("cmdRunFendral")),
         {.jobs = {job("1", "10", in, "{Out/clean.tif}"), job("1", "10", in, "{Out/clean.tif}")}}});
    for (const auto& [what, name] :
         {std::pair{"Upper", "CLEAN.TIF"}, {"Mixed", "clean.Tif"}, {"Alone", ".tif"}}) {
        s.push_back({std::string("AnyLetterCaseOfTifPasses") + what,
                     then(readyWith(name), press("cmdRunFendral")),
                     {.jobs = {job("1", "10", in, "{Out/" + std::string(name) + "}")}}});
    }
    for (const auto& [what, name] : {std::pair{"Tiff", "clean.tiff"},
                                     {"Tf", "clean.tf"},
                                     {"None", "clean"},
                                     {"Short", "abc"},
                                     {"TrailingBlank", "clean.tif "}}) {
        s.push_back({std::string("ABadExtensionEmptiesTheName") + what,
                     then(readyWith(name), paste("txtRadius", ""), press("cmdRunFendral")),
                     {.texts = {{"txtOutputFile", ""}, {"lblOutputFile", "Output File: {Out/}"}},
                      .runEnabled = false,
                      .focus = "txtOutputFile",
                      .messages = {kBadExtension}}});
    }
    s.push_back({"AControlCharacterInTheNameIsRefusedAndKept",
                 then(readyWith("x"), paste("txtOutputFile", "a\tb.tif"), press("cmdRunFendral")),
                 {.texts = {{"txtOutputFile", "a\tb.tif"}},
                  .focus = "txtOutputFile",
                  .messages = {{MessageKind::Plain, "FendralWin",
                                "The output file name contains characters that are not allowed "
                                "in file names."}}}});
    s.push_back({"ABlankRadiusIsNamedFirst",
                 then(readyWith("clean.tif"), paste("txtRadius", ""), paste("txtMaxDiff", ""),
                      press("cmdRunFendral")),
                 {.texts = {{"txtRadius", ""}},
                  .focus = "txtRadius",
                  .messages = {{MessageKind::Plain, "FendralWin",
                                "The Radius setting must be set to a numeric value."}}}});
    s.push_back({"ABlankMaxDiffIsNamed",
                 then(readyWith("clean.tif"), paste("txtMaxDiff", ""), press("cmdRunFendral")),
                 {.focus = "txtMaxDiff",
                  .messages = {{MessageKind::Plain, "FendralWin",
                                "The MaxDiff setting must be set to a numeric value."}}}});
    s.push_back({"TheSettingsGoToFendralAsTyped",
                 then(readyWith("clean.tif"), paste("txtRadius", "1.5"), paste("txtMaxDiff", ".5"),
                      press("cmdRunFendral")),
                 {.jobs = {job("1.5", ".5", in, "{Out/clean.tif}")}}});
    s.push_back({"TheInputAsOutputIsRefused",
                 {openIn("Images"), clickFile("photo.tif"), openOut("Images"),
                  type("txtOutputFile", "photo.tif"), press("cmdRunFendral")},
                 {.texts = {{"txtOutputFile", "photo.tif"}}, .messages = {kSameFile}}});
    s.push_back({"AnInputThatVanishedIsAFendralError",
                 then(readyWith("clean.tif"), removeFile("scan1.tif"), press("cmdRunFendral")),
                 {.messages = {{MessageKind::Critical, "Fendral Error", "*"}}}});
    s.push_back({"ExitClosesTheWindow", {press("cmdExit")}, {.closed = true}});
}

// "{relative}" replaced by the driver's path of it.
std::string expanded(const std::string& text, const BehaviourDriver& driver) {
    std::string result;
    std::size_t from = 0;
    for (auto open = text.find('{'); open != std::string::npos; open = text.find('{', from)) {
        const auto close = text.find('}', open);
        result +=
            text.substr(from, open - from) + driver.path(text.substr(open + 1, close - open - 1));
        from = close + 1;
    }
    return result + text.substr(from);
}

void perform(BehaviourDriver& driver, const Action& action) {
    const std::string text = expanded(action.text, driver);
    switch (action.act) {
    case Act::OpenIn:
        return driver.openFolder("dirIn", action.target);
    case Act::OpenOut:
        return driver.openFolder("dirOut", action.target);
    case Act::ClickFile:
        return driver.clickFile(action.target);
    case Act::Type:
        return driver.type(action.target, text);
    case Act::Paste:
        return driver.paste(action.target, text);
    case Act::Drag:
        return driver.dragSlider(action.target, action.position);
    case Act::StepRight:
        return driver.stepRight(action.target);
    case Act::Press:
        return driver.press(action.target);
    case Act::RemoveFile:
        return driver.removeFile(action.target);
    }
}

} // namespace

std::vector<Scenario> behaviourScenarios() {
    std::vector<Scenario> scenarios;
    addChoosers(scenarios);
    addSettings(scenarios);
    addRunCommand(scenarios);
    return scenarios;
}

std::string scenarioName(const testing::TestParamInfo<Scenario>& info) {
    return info.param.name;
}

void BehaviourTest::runScenario() {
    const Scenario& scenario = GetParam();
    const std::unique_ptr<BehaviourDriver> driver = makeDriver();
    for (const Action& action : scenario.actions) {
        perform(*driver, action);
    }
    const Expected& expected = scenario.expected;
    for (const auto& [control, text] : expected.texts) {
        EXPECT_EQ(driver->text(control), expanded(text, *driver)) << control;
    }
    if (expected.runEnabled) {
        EXPECT_EQ(driver->isEnabled("cmdRunFendral"), *expected.runEnabled);
    }
    if (!expected.focus.empty()) {
        EXPECT_EQ(driver->focus(), expected.focus);
    }
    for (const auto& [bar, value] : expected.bars) {
        EXPECT_EQ(driver->barValue(bar), value) << bar;
    }
    std::vector<ShownMessage> messages = driver->messages();
    for (std::size_t i = 0; i < messages.size() && i < expected.messages.size(); ++i) {
        if (expected.messages[i].text == "*") {
            messages[i].text = "*";
        }
    }
    EXPECT_EQ(messages, expected.messages);
    const Platform& platform = driver->platform();
    std::vector<std::string> scripts;
    for (const auto& arguments : expected.jobs) {
        scripts.push_back(
            composeScript(platform.scriptDialect(),
                          {.programFolder = platform.programFolder(),
                           .programFolderHasFendral = platform.programFolderHasFendral(),
                           .radius = arguments[0],
                           .maxDiff = arguments[1],
                           .inputPath = expanded(arguments[2], *driver),
                           .outputPath = expanded(arguments[3], *driver)}));
    }
    EXPECT_EQ(driver->startedScripts(), scripts);
    EXPECT_EQ(driver->isOpen(), !expected.closed);
}

void checkLayoutAgainstTheTable(WindowDriver& window) {
    const auto pixels = [dpi = window.dpi()](int twips) {
        return static_cast<int>(std::lround(twips * dpi / (kTwipsPerPixelAt96Dpi * 96.0)));
    };
    EXPECT_EQ(window.title(), "FendralWin");
    EXPECT_EQ(window.clientArea(),
              (Place{0, 0, pixels(kClientWidthTwips), pixels(kClientHeightTwips)}));
    EXPECT_TRUE(window.isFixedSize());
    std::vector<std::string> tabStops;
    for (const ControlLayout& c : controlTable()) {
        const std::string name(c.name);
        EXPECT_EQ(window.place(name),
                  (Place{pixels(c.left), pixels(c.top), pixels(c.width), pixels(c.height)}))
            << name;
        EXPECT_EQ(window.isEnabled(name), c.enabled) << name;
        if (c.kind == ControlKind::Label || c.kind == ControlKind::TextBox ||
            c.kind == ControlKind::CommandButton) {
            EXPECT_EQ(window.text(name), c.text) << name;
        }
        if (c.kind == ControlKind::TextBox) {
            EXPECT_EQ(window.toolTip(name), c.toolTip) << name;
        }
        if (c.kind == ControlKind::HScrollBar) {
            EXPECT_EQ(window.barMaximum(name), c.maximum) << name;
            EXPECT_EQ(window.barValue(name), c.value) << name;
        }
        if (c.style == LabelStyle::Heading) {
            EXPECT_EQ(window.colours(name),
                      std::pair(kHeadingStyle.background, kHeadingStyle.foreground))
                << name;
        }
        if (c.style != LabelStyle::Standard) {
            const FontStyle designed =
                c.style == LabelStyle::Heading ? kHeadingStyle.font : kPathFont;
            const ShownFont font = window.font(name);
            EXPECT_EQ(font.family, designed.family) << name;
            EXPECT_NEAR(font.points, designed.points, 0.01) << name;
            EXPECT_EQ(font.italic, designed.italic) << name;
        }
        if (c.kind != ControlKind::Label && c.enabled) {
            tabStops.push_back(name);
        }
    }
    EXPECT_EQ(window.focus(), "drvIn");
    EXPECT_EQ(window.tabCycle(), tabStops);
}

} // namespace fendralwin::test
