#include "BehaviourSuite.h"

#include "job/Script.h"

#include <map>

namespace fendralwin::test {

namespace {

// clang-format off
const std::map<std::string, ShownMessage, std::less<>> kMessages{
    {"badExtension", {MessageKind::Plain, "FendralWin", "The output file must have a \".TIF\" extension."}},
    {"badName", {MessageKind::Plain, "FendralWin", "The output file name contains characters that are not allowed in file names."}},
    {"blankRadius", {MessageKind::Plain, "FendralWin", "The Radius setting must be set to a numeric value."}},
    {"blankMaxDiff", {MessageKind::Plain, "FendralWin", "The MaxDiff setting must be set to a numeric value."}},
    {"badRadius", {MessageKind::Plain, "FendralWin", "Only numeric values are valid for the Radius setting."}},
    {"badMaxDiff", {MessageKind::Plain, "FendralWin", "Only numeric values are valid for the MaxDiff setting."}},
    {"sameFile", {MessageKind::Warning, "Output File Error", "The input and output files need to be either\rdifferent names or in different directories."}},
    {"fendralError", {MessageKind::Critical, "Fendral Error", "*"}}, // the system's own description
    {"cannotOpen", {MessageKind::Plain, "FendralWin", "*"}}, // names the path and the reason
};

// Ready to run: scan1.tif chosen, the output folder Out, a name typed.
const std::string kReady = "click scan1.tif | openOut Out | type txtOutputFile ";
const std::string kRun = " | press cmdRunFendral";
const std::string kJob = "job=1,10,{scan1.tif},{Out/";
// Thirty files, f01.tif to f30.tif, listed.
const std::string kMany = "files Many 30 | refresh | openIn Many | ";

const std::vector<Scenario> kScenarios{
    // The choosers and readiness.
    {"StartsWithNothingChosen", "", "lblInputFile=Input File: | lblOutputFile=Output File: | txtOutputFile= | txtRadius=1 | txtMaxDiff=10 | run=off | bar hscrlRadius=10 | bar hscrlMaxDiff=10"},
    {"AChosenFileShowsItsPath", "click Scan2.TIF", "lblInputFile=Input File: {Scan2.TIF} | run=off"},
    {"FilesOfAnOpenedFolderAreChosenThere", "openIn Images | click photo.tif", "lblInputFile=Input File: {Images/photo.tif}"},
    {"AnAncestorFolderOpensAgain", "openIn Images | openIn  | click scan1.tif", "lblInputFile=Input File: {scan1.tif}"},
    {"ANewInputFolderTakesBackTheChoiceButKeepsTheName", "type txtOutputFile clean.tif | click scan1.tif | openIn Images",
     "lblInputFile=Input File: | txtOutputFile=clean.tif | lblOutputFile=Output File: {clean.tif} | run=off"},
    {"AnOutputFolderShowsBeforeAnyName", "openOut Out", "lblOutputFile=Output File: {Out/}"},
    {"TheOutputPathFollowsEachTypedKey", "openOut Out | type txtOutputFile cl", "lblOutputFile=Output File: {Out/cl} | run=off"},
    {"AFileAndOneTypedKeyMakeTheJobReady", "click scan1.tif | type txtOutputFile c", "run=on"},
    {"AFileChosenAfterTheNameMakesTheJobReady", "type txtOutputFile c | click scan1.tif", "run=on"},
    {"EmptyingTheNameTakesReadinessBack", "click scan1.tif | type txtOutputFile clean.tif | paste txtOutputFile ", "lblOutputFile=Output File: {} | run=off"},
    {"ANewOutputFolderKeepsTheTypedName", "type txtOutputFile clean.tif | openOut Out", "lblOutputFile=Output File: {Out/clean.tif} | txtOutputFile=clean.tif"},
    {"TheInputSideNeverChangesTheOutputSide", "openOut Out | type txtOutputFile x.tif | openIn Images", "lblOutputFile=Output File: {Out/x.tif}"},
    {"ANameThatIsOnlyCopiesOfTheOutputFolderIsNoName", kReady + "x | paste txtOutputFile {Out/}{Out/}", "run=off"},
    {"TheOutputFolderInFrontOfANameLeavesAName", kReady + "x | paste txtOutputFile {Out/}clean.tif", "run=on"},
    // The lists open where the program was started; the job still runs in the program folder.
    {"TheListsOpenOnTheStartFolder", "click photo.tif | type txtOutputFile out.tif" + kRun,
     "lblInputFile=Input File: {Images/photo.tif} | lblOutputFile=Output File: {Images/out.tif} | job=1,10,{Images/photo.tif},{Images/out.tif}", "Images"},
    {"AStartFolderThatIsGoneLeavesTheProgramFolder", "click scan1.tif", "lblInputFile=Input File: {scan1.tif}", "gone"},
    // The settings.
    {"DraggingASliderWritesItsSetting", "drag hscrlRadius 37 | drag hscrlMaxDiff 50", "txtRadius=3.7 | txtMaxDiff=50 | bar hscrlRadius=37 | bar hscrlMaxDiff=50"},
    {"DraggingToTheEndsWritesWholeNumbers", "drag hscrlRadius 100 | drag hscrlMaxDiff 0", "txtRadius=10 | txtMaxDiff=0"},
    {"ArrowsTrackAndKeysWriteTheSettingsToo", "arrow hscrlRadius | track hscrlMaxDiff | key hscrlRadius | key hscrlMaxDiff",
     "txtRadius=1.2 | txtMaxDiff=21 | bar hscrlRadius=12 | bar hscrlMaxDiff=21"},
    {"ATypedSettingMovesTheBarAndStaysAsTyped", "paste txtRadius  | type txtRadius 2. | paste txtMaxDiff 3.0",
     "txtRadius=2. | bar hscrlRadius=20 | txtMaxDiff=3.0 | bar hscrlMaxDiff=3"},
    {"ASettingTheBarCannotShowLeavesItWhereItIs", "paste txtRadius 3 | paste txtRadius . | track hscrlMaxDiff | paste txtMaxDiff 4.5",
     "txtRadius=. | bar hscrlRadius=30 | txtMaxDiff=4.5 | bar hscrlMaxDiff=20"},
    {"NumbersTypedIntoEmptyBoxesStay", "paste txtRadius  | type txtRadius 1.5 | paste txtMaxDiff  | type txtMaxDiff 12.5",
     "txtRadius=1.5 | txtMaxDiff=12.5 | lblOutputFile=Output File: | run=off"},
    {"APastedTextWithTwoPointsIsRefusedWhole", "paste txtMaxDiff 1.2.3", "txtMaxDiff= | box=badMaxDiff"},
    {"ARefusedKeyEmptiesTheBox", "paste txtRadius 12 | type txtRadius -", "held txtRadius=12- | txtRadius= | focus=txtRadius | box=badRadius"},
    // The Run command.
    {"RunStartsTheJobAndStaysReady", kReady + "clean.tif" + kRun, "run=on | " + kJob + "clean.tif}"},
    {"EveryRunStartsAJobOfItsOwn", kReady + "clean.tif" + kRun + kRun, kJob + "clean.tif} | " + kJob + "clean.tif}"},
    // A bad extension (see OutputName's rule) is named before a blank setting, and takes the name
    // back.
    {"ABadExtensionEmptiesTheName", kReady + "clean.tiff | paste txtRadius " + kRun, "held txtOutputFile=clean.tiff | txtOutputFile= | lblOutputFile=Output File: {Out/} | run=off | focus=txtOutputFile | box=badExtension"},
    {"AControlCharacterInTheNameIsRefusedAndKept", kReady + "x | paste txtOutputFile a\tb.tif" + kRun, "txtOutputFile=a\tb.tif | focus=txtOutputFile | box=badName"},
    {"ABlankRadiusIsNamedFirst", kReady + "clean.tif | paste txtRadius  | paste txtMaxDiff " + kRun, "txtRadius= | focus=txtRadius | box=blankRadius"},
    {"ABlankMaxDiffIsNamed", kReady + "clean.tif | paste txtMaxDiff " + kRun, "focus=txtMaxDiff | box=blankMaxDiff"},
    {"TheSettingsGoToFendralAsTyped", kReady + "clean.tif | paste txtRadius 1.5 | paste txtMaxDiff .5" + kRun, "job=1.5,.5,{scan1.tif},{Out/clean.tif}"},
    {"TheInputAsOutputIsRefused", "openIn Images | click photo.tif | openOut Images | type txtOutputFile photo.tif" + kRun, "txtOutputFile=photo.tif | box=sameFile"},
    {"AnInputThatVanishedIsAFendralError", kReady + "clean.tif | remove scan1.tif" + kRun, "box=fendralError"},
    // The lists follow the disk, and what the window shows follows them.
    {"AChosenFileThatVanishesIsChosenNoMore", kReady + "clean.tif | remove scan1.tif | refresh", "lblInputFile=Input File: | run=off | lblOutputFile=Output File: {Out/clean.tif}"},
    {"AChosenFileRenamedIsChosenNoMore", kReady + "clean.tif | rename scan1.tif scan9.tif | refresh", "lblInputFile=Input File: | run=off"},
    {"AChosenFileReplacedByAFolderIsChosenNoMore", kReady + "clean.tif | remove scan1.tif | mkdir scan1.tif | refresh", "lblInputFile=Input File: | run=off"},
    {"AnInputFolderThatVanishesGivesWayToTheOneAbove", "openIn Images | click photo.tif | type txtOutputFile c | remove Images | refresh",
     "lblInputFile=Input File: | run=off | folder dirIn={} | folder filIn={}"},
    {"AnOutputFolderThatVanishesGivesWayToTheOneAbove", kReady + "clean.tif | remove Out | refresh", "lblOutputFile=Output File: {clean.tif} | run=on | folder dirOut={}"},
    // A list stays where the user left it: its top row and the keyboard's place.
    {"AFileListThatDidNotChangeStaysAsItWas", kMany + "scroll filIn f10.tif | click f12.tif | refresh", "place filIn=f10.tif,f12.tif"},
    {"AFileListThatChangedKeepsItsTopAndItsChoice", kMany + "scroll filIn f10.tif | click f12.tif | remove Many/f01.tif | remove Many/f30.tif | refresh",
     "place filIn=f10.tif,f12.tif | lblInputFile=Input File: {Many/f12.tif}"},
    {"AFolderListThatDidNotChangeStaysAsItWas", "folders Many 30 | refresh | openIn Many | scroll dirIn d10 | refresh", "place dirIn=d10,Many"},
    {"AFolderListThatChangedKeepsItsTopAndItsPlace", "folders Many 30 | refresh | openIn Many | scroll dirIn d10 | remove Many/d01 | remove Many/d30 | refresh", "place dirIn=d10,Many"},
    // A refresh asked for while a message box shows waits until the handler has returned.
    {"ARefreshAskedForInABoxWaitsForTheHandler", kReady + "clean.tif | remove scan1.tif | activateInBox | paste txtRadius x",
     "held lblInputFile=Input File: {scan1.tif} | txtRadius= | focus=txtRadius | box=badRadius | lblInputFile=Input File: | run=off"},
    {"ARefreshInABoxLeavesRunAsItWas", kReady + "clean.tiff | activateInBox" + kRun, "held txtOutputFile=clean.tiff | txtOutputFile= | run=off | focus=txtOutputFile | box=badExtension"},
    {"ExitClosesTheWindow", "press cmdExit", "closed"},
    // Paths handed over by the command line or a drop end as the same choice made in the lists.
    {"AFileGivenAtStartIsChosenAsAClickChoosesIt", "given {Images/photo.tif} | type txtOutputFile o.tif" + kRun,
     "lblInputFile=Input File: {Images/photo.tif} | folder dirIn={Images/} | folder filIn={Images/} | folder dirOut={} | run=on | job=1,10,{Images/photo.tif},{o.tif}"},
    {"AFolderGivenAtStartOpensBothSides", "given {Images} | click b.tif | type txtOutputFile o.tif" + kRun,
     "folder dirIn={Images/} | folder dirOut={Images/} | lblOutputFile=Output File: {Images/o.tif} | job=1,10,{Images/b.tif},{Images/o.tif}"},
    {"APathGivenAtStartThatIsGoneLeavesTheWindowAndSaysWhy", "given {gone.tif}",
     "lblInputFile=Input File: | folder dirIn={} | folder dirOut={} | run=off | box=cannotOpen"},
    {"TheFirstTiffOfADropIsChosenAsAClickChoosesIt", "drop in {notes.txt};{Images/photo.tif};{scan1.tif} | type txtOutputFile o.tif" + kRun,
     "lblInputFile=Input File: {Images/photo.tif} | folder filIn={Images/} | folder dirOut={} | job=1,10,{Images/photo.tif},{o.tif}"},
    {"AFolderDroppedOnTheInputHalfOpensItsLists", "type txtOutputFile o.tif | click scan1.tif | drop in {Images} | click b.tif" + kRun,
     "folder dirIn={Images/} | folder dirOut={} | job=1,10,{Images/b.tif},{o.tif}"},
    {"AFolderDroppedOnTheOutputHalfOpensItsList", "click scan1.tif | type txtOutputFile o.tif | drop out {Images}",
     "folder dirOut={Images/} | folder dirIn={} | lblInputFile=Input File: {scan1.tif} | lblOutputFile=Output File: {Images/o.tif} | run=on"},
    {"WhatAHalfCannotOpenIsRefusedAndChangesNothing", "click scan1.tif | drop in {notes.txt} | drop out {Scan2.TIF} | drop in {gone}",
     "drops=refused,refused,refused | lblInputFile=Input File: {scan1.tif} | folder dirIn={} | folder dirOut={}"},
};
// clang-format on

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (auto at = text.find(separator); at != std::string::npos; at = text.find(separator, from)) {
        parts.push_back(text.substr(from, at - from));
        from = at + separator.size();
    }
    parts.push_back(text.substr(from));
    return parts;
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

// Performs one action; a drop adds what the drag cursor said of it to `drops`.
void perform(BehaviourDriver& driver, const std::string& action, std::string& drops) {
    const auto verbEnd = action.find(' ');
    const std::string verb = action.substr(0, verbEnd);
    const std::string rest = action.substr(verbEnd + 1);
    const auto targetEnd = rest.find(' ');
    const std::string target = rest.substr(0, targetEnd);
    const std::string text =
        targetEnd == std::string::npos ? "" : expanded(rest.substr(targetEnd + 1), driver);
    if (verb == "openIn" || verb == "openOut") {
        driver.openFolder(verb == "openIn" ? "dirIn" : "dirOut", rest);
    } else if (verb == "click") {
        driver.clickFile(rest);
    } else if (verb == "type") {
        driver.type(target, text);
    } else if (verb == "paste") {
        driver.paste(target, text);
    } else if (verb == "drag") {
        driver.dragSlider(target, std::stoi(text));
    } else if (verb == "arrow" || verb == "track" || verb == "key") {
        driver.moveBar(target, verb);
    } else if (verb == "press") {
        driver.press(target);
    } else if (verb == "remove") {
        driver.remove(target);
    } else if (verb == "rename") {
        driver.rename(target, text);
    } else if (verb == "mkdir") {
        driver.makeFolder(target);
    } else if (verb == "files" || verb == "folders") {
        driver.makeFolder(target);
        for (int n = 1; n <= std::stoi(text); ++n) {
            const std::string number = (n < 10 ? "0" : "") + std::to_string(n);
            if (verb == "files") {
                driver.makeFile(target + "/f" + number + ".tif");
            } else {
                driver.makeFolder(target + "/d" + number);
            }
        }
    } else if (verb == "scroll") {
        driver.scrollTo(target, text);
    } else if (verb == "refresh") {
        driver.refresh();
    } else if (verb == "given") {
        driver.startWith(expanded(rest, driver));
    } else if (verb == "drop") {
        const bool taken =
            driver.drop(split(text, ";"), target == "in" ? WindowHalf::Input : WindowHalf::Output);
        drops += std::string(drops.empty() ? "" : ",") + (taken ? "taken" : "refused");
    } else if (verb == "activateInBox") {
        driver.messageBoxes().whileShown = [&driver, held = driver.messageBoxes().whileShown] {
            driver.activate();
            held();
        };
    } else {
        FAIL() << "no action " << action;
    }
}

} // namespace

std::vector<Scenario> behaviourScenarios() {
    return kScenarios;
}

std::string scenarioName(const testing::TestParamInfo<Scenario>& info) {
    return info.param.name;
}

void BehaviourTest::runScenario() {
    const Scenario& scenario = GetParam();
    const std::unique_ptr<BehaviourDriver> driver = makeDriver(scenario.start);
    std::string held; // "BOX=TEXT" of a row's "held BOX=TEXT"
    for (const std::string& item : split(scenario.expected, " | ")) {
        if (item.starts_with("held ")) {
            const std::string box = item.substr(5, item.find('=') - 5);
            driver->messageBoxes().whileShown = [&held, &driver = *driver, box] {
                held = box + "=" + driver.text(box);
            };
        }
    }
    std::string drops;
    std::string expectedDrops;
    if (!scenario.actions.empty()) {
        for (const std::string& action : split(scenario.actions, " | ")) {
            perform(*driver, action, drops);
            if (action.starts_with("drop ")) {
                expectedDrops += std::string(expectedDrops.empty() ? "" : ",") + "taken";
            }
        }
    }
    std::vector<ShownMessage> messages;
    std::vector<std::string> scripts;
    bool closed = false;
    const Platform& platform = driver->platform();
    for (const std::string& item : split(scenario.expected, " | ")) {
        const auto equals = item.find('=');
        const std::string key = item.substr(0, equals);
        const std::string value = expanded(item.substr(equals + 1), *driver);
        if (key == "run") {
            EXPECT_EQ(driver->isEnabled("cmdRunFendral"), value == "on");
        } else if (key == "focus") {
            EXPECT_EQ(driver->focus(), value);
        } else if (key.starts_with("held ")) {
            EXPECT_EQ(held, key.substr(5) + "=" + value);
        } else if (key.starts_with("folder ")) {
            EXPECT_EQ(FolderText(driver->folderOf(key.substr(7)), platform.separator()), value);
        } else if (key.starts_with("place ")) {
            if (const auto place = driver->listPlace(key.substr(6))) {
                EXPECT_EQ(*place, value) << key;
            }
        } else if (key.starts_with("bar ")) {
            EXPECT_EQ(driver->barValue(key.substr(4)), std::stoi(value)) << key;
        } else if (key == "box") {
            messages.push_back(kMessages.at(value));
        } else if (key == "job") {
            const auto arguments = split(value, ",");
            scripts.push_back(
                composeScript(platform.scriptDialect(),
                              {.programFolder = platform.programFolder(),
                               .programFolderHasFendral = platform.programFolderHasFendral(),
                               .radius = arguments.at(0),
                               .maxDiff = arguments.at(1),
                               .inputPath = arguments.at(2),
                               .outputPath = arguments.at(3)}));
        } else if (key == "closed") {
            closed = true;
        } else if (key == "drops") {
            expectedDrops = value;
        } else {
            EXPECT_EQ(driver->text(key), value) << key;
        }
    }
    std::vector<ShownMessage> shown = driver->messages();
    for (std::size_t i = 0; i < shown.size() && i < messages.size(); ++i) {
        if (messages[i].text == "*") {
            shown[i].text = "*";
        }
    }
    EXPECT_EQ(shown, messages);
    EXPECT_EQ(driver->startedScripts(), scripts);
    EXPECT_EQ(driver->isOpen(), !closed);
    EXPECT_EQ(drops, expectedDrops);
}

void checkLayoutAgainstTheTable(WindowDriver& window) {
    const auto pixels = [dpi = window.dpi()](int twips) {
        return pixelsOf(twips, dpi);
    };
    EXPECT_EQ(window.title(), "FendralWin");
    EXPECT_EQ(window.clientArea(),
              (Place{0, 0, pixels(kClientWidthTwips), pixels(kClientHeightTwips)}));
    if (window.dpi() == 96) {
        EXPECT_EQ(window.clientArea(), (Place{0, 0, 385, 446}));
    }
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
