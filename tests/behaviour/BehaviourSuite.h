#pragma once

#include "BehaviourDriver.h"

#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fendralwin::test {

// A text of a scenario may name a path of the tree in braces, "{Out/clean.tif}", or a folder
// text, "{Out/}" ("{}" is the root's): the driver gives it in its own form.
enum class Act { OpenIn, OpenOut, ClickFile, Type, Paste, Drag, StepRight, Press, RemoveFile };

struct Action {
    Act act;
    std::string target; // a control, or a path of the tree
    std::string text = {};
    int position = 0;
};

struct Expected {
    std::vector<std::pair<std::string, std::string>> texts = {}; // control, its caption or text
    std::optional<bool> runEnabled = std::nullopt;
    std::string focus = {}; // checked when not empty
    // Every box shown, in order; a text of "*" stands for any (the system's own description).
    std::vector<ShownMessage> messages = {};
    // Fendral's arguments in every script started, in order.
    std::vector<std::vector<std::string>> jobs = {};
    std::vector<std::pair<std::string, int>> bars = {};
    bool closed = false;
};

struct Scenario {
    std::string name;
    std::vector<Action> actions;
    Expected expected;
};

std::vector<Scenario> behaviourScenarios();
std::string scenarioName(const testing::TestParamInfo<Scenario>& info);

// One scenario against one implementation of the window; each test program derives it with
// its own driver.
class BehaviourTest : public testing::TestWithParam<Scenario> {
protected:
    virtual std::unique_ptr<BehaviourDriver> makeDriver() = 0;
    void runScenario();
};

// The real window against the control table: every control's place, text and settings.
void checkLayoutAgainstTheTable(WindowDriver& window);

} // namespace fendralwin::test
