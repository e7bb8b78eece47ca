#pragma once

#include "BehaviourDriver.h"

#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace fendralwin::test {

// One behaviour of the window as a row: what the user does, then what the window shows.
//
// Actions, parted by " | ": "openIn FOLDER", "openOut FOLDER", "click FILE", "type BOX TEXT",
// "paste BOX TEXT", "drag BAR POSITION", "arrow BAR", "track BAR", "key BAR" (a bar moved right
// by one of them), "press BUTTON", "drop in|out PATH;PATH..." (dragged onto the input or output
// half and dropped); "given PATH" (the program started with it); and changes of the disk by
// another program: "remove PATH", "rename PATH NAME", "mkdir PATH", "files FOLDER N" and
// "folders FOLDER N" (FOLDER made, holding f01.tif... or d01... up to N), then "refresh";
// "scroll LIST ITEM" (ITEM scrolled to the list's top);
// "activateInBox" (every message box shown from then on activates the window while it shows).
// Expectations, parted by " | ": "CONTROL=TEXT" (a caption or a box's text), "run=on|off",
// "folder LIST=FOLDER" (the folder a list shows, as folder text), "place LIST=TOP,CURRENT" (see
// BehaviourDriver::listPlace),
// "focus=CONTROL", "bar BAR=VALUE", "drops=taken|refused,..." (what the drag cursor said of each
// drop; without it every drop is taken), "held BOX=TEXT" (what a box held while the one message box
// showed), "closed", "job=RADIUS,MAXDIFF,INPUT,OUTPUT" (one per script
// started, in order) and "box=NAME" (one per message box shown, in order; see kMessages).
// Unless the row says otherwise, no message box is shown, no job starts and the window stays.
// A path of the tree in braces, "{Out/clean.tif}", or a folder text, "{Out/}" ("{}" is the
// root's), is given by the driver in its own form.
struct Scenario {
    std::string name;
    std::string actions;
    std::string expected;
    std::string start = {}; // the folder of the tree that the lists open first; "" the root
};

// A scenario is shown in test output by its name, not its bytes.
inline void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

std::vector<Scenario> behaviourScenarios();
std::string scenarioName(const testing::TestParamInfo<Scenario>& info);

// One scenario against one implementation of the window; each test program derives it with
// its own driver, whose lists open on `startFolder` (a path of the tree).
class BehaviourTest : public testing::TestWithParam<Scenario> {
protected:
    virtual std::unique_ptr<BehaviourDriver> makeDriver(const std::string& startFolder) = 0;
    void runScenario();
};

// The real window against the control table: every control's place, text and settings.
void checkLayoutAgainstTheTable(WindowDriver& window);

} // namespace fendralwin::test
