// The window as a screen reader meets it: the real program, read from outside through the
// accessibility bus. CTest runs this on an X display and a D-Bus session of its own.

#include "ChildProcess.h"
#include "TempFolder.h"

#include <atspi/atspi.h>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <spawn.h>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fendralwin::test {
namespace {

using namespace std::chrono_literals;

// Why no screen reader can read a window here; nothing when one can.
std::string whyNoScreenReader() {
    if (!std::getenv("DISPLAY") || !std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
        return "no display or no D-Bus session; ctest runs this test with both";
    }
    return std::filesystem::exists("/usr/share/dbus-1/services/org.a11y.Bus.service")
               ? ""
               : "no accessibility bus to start (scripts/install-deps.sh installs at-spi2-core)";
}

struct Unref {
    void operator()(void* object) const { g_object_unref(object); }
};
using Accessible = std::unique_ptr<AtspiAccessible, Unref>;

std::string taken(gchar* text) {
    std::string kept = text ? text : "";
    g_free(text);
    return kept;
}

std::string nameOf(AtspiAccessible* accessible) {
    return taken(atspi_accessible_get_name(accessible, nullptr));
}

std::vector<Accessible> childrenOf(AtspiAccessible* parent) {
    std::vector<Accessible> children;
    const int count = atspi_accessible_get_child_count(parent, nullptr);
    for (int i = 0; i < count; ++i) {
        children.emplace_back(atspi_accessible_get_child_at_index(parent, i, nullptr));
    }
    return children;
}

// What a screen reader was told got the focus, by name, as the events came in.
void recordFocus(AtspiEvent* event, void* focused) {
    if (event->detail1 == 1) {
        static_cast<std::vector<std::string>*>(focused)->push_back(nameOf(event->source));
    }
    g_boxed_free(ATSPI_TYPE_EVENT, event);
}

// Lets the events come in until `done` or for 5 s.
template <typename Done>
void awaitEvents(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        std::this_thread::sleep_for(50ms);
    }
}

// The program's window once all its controls are on the bus; none after `limit`.
Accessible windowOnTheBus(std::size_t controls, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        const Accessible desktop(atspi_get_desktop(0));
        for (const Accessible& running : childrenOf(desktop.get())) {
            if (running && nameOf(running.get()) == "FendralWin") {
                Accessible window(atspi_accessible_get_child_at_index(running.get(), 0, nullptr));
                if (window && childrenOf(window.get()).size() >= controls) {
                    return window;
                }
            }
        }
        std::this_thread::sleep_for(50ms);
    }
    return nullptr;
}

// A list's rows as a screen reader tells them: every row's name or, with `chosenOnly`, the
// chosen rows', each with the states a reader speaks of; a row out of its place is marked.
std::string rowsOf(AtspiAccessible* list, bool chosenOnly) {
    std::string told;
    const std::vector<Accessible> rows = childrenOf(list);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::unique_ptr<AtspiStateSet, Unref> states(
            atspi_accessible_get_state_set(rows[i].get()));
        if (atspi_accessible_get_index_in_parent(rows[i].get(), nullptr) != static_cast<int>(i)) {
            told += "(row " + std::to_string(i) + " out of place) ";
        }
        if (!chosenOnly) {
            told += nameOf(rows[i].get()) + " ";
        } else if (atspi_state_set_contains(states.get(), ATSPI_STATE_SELECTED)) {
            told += nameOf(rows[i].get()) +
                    taken(atspi_accessible_get_description(rows[i].get(), nullptr));
            for (const auto& [state, word] : {std::pair{ATSPI_STATE_FOCUSED, " focused"},
                                              {ATSPI_STATE_SELECTABLE, " selectable"},
                                              {ATSPI_STATE_ENABLED, " enabled"},
                                              {ATSPI_STATE_VISIBLE, " visible"}}) {
                told += atspi_state_set_contains(states.get(), state) ? word : "";
            }
            const std::unique_ptr<AtspiRect, decltype(&g_free)> box(
                atspi_component_get_extents(ATSPI_COMPONENT(rows[i].get()), ATSPI_COORD_TYPE_WINDOW,
                                            nullptr),
                g_free);
            told += box && box->width > 0 && box->height > 0 ? " drawn" : "";
        }
    }
    return told;
}

// What a screen reader says of a control's value: the text it holds, the number it sets, the
// rows chosen in it (a drop-down list: its text, and the row chosen in the list it drops down).
std::string valueOf(AtspiAccessible* control) {
    std::string value;
    if (AtspiText* text = atspi_accessible_get_text_iface(control)) {
        value = taken(atspi_text_get_text(text, 0, -1, nullptr));
        g_object_unref(text);
    }
    if (AtspiValue* number = atspi_accessible_get_value_iface(control)) {
        std::ostringstream shown;
        shown << atspi_value_get_current_value(number, nullptr);
        value = shown.str();
        g_object_unref(number);
    }
    const AtspiRole role = atspi_accessible_get_role(control, nullptr);
    if (role == ATSPI_ROLE_LIST) {
        value = rowsOf(control, true);
    } else if (role == ATSPI_ROLE_COMBO_BOX) {
        const std::vector<Accessible> list = childrenOf(control);
        value += " = " + (list.empty() ? "no list" : rowsOf(list.front().get(), true));
    }
    return value;
}

std::string labelOf(AtspiAccessible* control) {
    std::string label;
    GArray* relations = atspi_accessible_get_relation_set(control, nullptr);
    for (guint i = 0; relations && i < relations->len; ++i) {
        AtspiRelation* relation = g_array_index(relations, AtspiRelation*, i);
        if (atspi_relation_get_relation_type(relation) == ATSPI_RELATION_LABELLED_BY) {
            label = nameOf(Accessible(atspi_relation_get_target(relation, 0)).get());
        }
        g_object_unref(relation);
    }
    if (relations) {
        g_array_free(relations, TRUE);
    }
    return label;
}

TEST(ScreenReader, HearsEveryControlsRoleNameValueAndCaptionAndSetsASetting) {
    if (const std::string why = whyNoScreenReader(); !why.empty()) {
        GTEST_SKIP() << "no screen reader's view: " << why;
    }
    const TempFolder folder;
    const std::string input = folder.write("in/scan1.tif", "");
    folder.write("in/scan2.tif", "");
    ASSERT_EQ(::chdir(folder.path().c_str()), 0); // the lists open where the program starts
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
    // Left running by a failed assertion, it ends with the display.
    pid_t program = 0;
    const char* arguments[] = {FENDRALWIN_PROGRAM, input.c_str(), nullptr};
    ASSERT_EQ(::posix_spawn(&program, arguments[0], nullptr, nullptr, const_cast<char**>(arguments),
                            environ),
              0);
    atspi_set_timeout(5000, 15000);
    ASSERT_EQ(atspi_init(), 0);
    std::vector<std::string> focused; // asked for before the program asks what readers follow
    ASSERT_TRUE(atspi_event_listener_register_from_callback(
        recordFocus, &focused, nullptr, "object:state-changed:focused", nullptr));
    const Accessible window = windowOnTheBus(24, 20s);
    ASSERT_TRUE(window) << "the window did not reach the accessibility bus within 20 s";
    EXPECT_EQ(taken(atspi_accessible_get_role_name(window.get(), nullptr)), "frame");

    const std::vector<Accessible> controls = childrenOf(window.get());
    std::vector<std::string> told;
    for (const Accessible& control : controls) { // role | name | value | labelled by
        told.push_back(taken(atspi_accessible_get_role_name(control.get(), nullptr)) + " | " +
                       nameOf(control.get()) + " | " + valueOf(control.get()) + " | " +
                       labelOf(control.get()));
    }
    // The drive is the mount point that holds the folder: "/" or one below it.
    const std::string driveValue = valueOf(controls.at(0).get());
    const std::string drive = driveValue.substr(0, driveValue.find(" = "));
    EXPECT_EQ(folder.path().string().rfind(drive, 0), 0U) << drive;
    const std::string chosen = " selectable enabled visible drawn";
    const std::string shownDrive = drive + " = " + drive + chosen;
    EXPECT_EQ(
        told,
        (std::vector<std::string>{
            "combo box | Select Input File Drive: | " + shownDrive + " | Select Input File Drive:",
            "list | Select Input File Directroy: | in" + chosen + " | Select Input File Directroy:",
            "list | Select Input File: | scan1.tif" + chosen + " | Select Input File:",
            "combo box | Select Output File Drive: | " + shownDrive +
                " | Select Output File Drive:",
            "list | Select Output File Directory: | " + folder.path().filename().string() + chosen +
                " | Select Output File Directory:",
            "text | Type In Output File Name (*.TIF) |  | "
            "Type In Output File Name (*.TIF)",
            "scroll bar | MaxDiff: | 10 | MaxDiff:",
            "scroll bar | Radius: | 1 | Radius:",
            "text | Radius: | 1 | Radius:",
            "text | MaxDiff: | 10 | MaxDiff:",
            "label | Radius: |  | ",
            "label | MaxDiff: |  | ",
            "push button | Run Fendral |  | ",
            "label |  Input File: |  | ",
            "label |  Output File: |  | ",
            "push button | Exit |  | ",
            "label | Type In Output File Name (*.TIF) |  | ",
            "label | Select Input File Drive: |  | ",
            "label | Select Input File Directroy: |  | ",
            "label | Select Input File: |  | ",
            "label | Input File: " + input + " |  | ",
            "label | Output File: |  | ",
            "label | Select Output File Drive: |  | ",
            "label | Select Output File Directory: |  | ",
        }));

    // A row read again is the same object; rows read after the list changes are its new ones.
    AtspiAccessible* files = controls.at(2).get();
    const Accessible firstRow(atspi_accessible_get_child_at_index(files, 0, nullptr));
    const Accessible firstRowAgain(atspi_accessible_get_child_at_index(files, 0, nullptr));
    EXPECT_STREQ(ATSPI_OBJECT(firstRow.get())->path, ATSPI_OBJECT(firstRowAgain.get())->path);
    folder.write("in/scan0.tif", "");
    const std::string filesNow = "scan0.tif scan1.tif scan2.tif ";
    awaitEvents([&] { return rowsOf(files, false) == filesNow; });
    EXPECT_EQ(rowsOf(files, false), filesNow) << "5 s after scan0.tif";

    // The user moving into a list moves the focus there; the program moving a list's current
    // row (the folders listed again) moves none.
    ASSERT_EQ(std::system("xdotool search --onlyvisible --name '^FendralWin$' windowfocus"), 0);
    EXPECT_TRUE(atspi_component_grab_focus(ATSPI_COMPONENT(files), nullptr));
    awaitEvents([&] { return !focused.empty() && focused.back() == "Select Input File:"; });
    EXPECT_EQ(rowsOf(files, true), "scan1.tif focused" + chosen);
    focused.clear();
    std::filesystem::create_directory(folder.path() / "in" / "sub");
    AtspiAccessible* folders = controls.at(1).get();
    awaitEvents([&] { return rowsOf(folders, false).ends_with("in sub "); });
    EXPECT_EQ(focused, std::vector<std::string>{}) << "a folder appeared";
    ASSERT_EQ(std::system("xdotool key Down"), 0); // the user's own move is heard
    awaitEvents([&] { return !focused.empty(); });
    EXPECT_EQ(focused, std::vector<std::string>{"scan2.tif"});

    // A setting chosen through the screen reader is the user's: its box shows it.
    AtspiValue* maxDiff = atspi_accessible_get_value_iface(controls.at(6).get());
    ASSERT_NE(maxDiff, nullptr);
    EXPECT_EQ(atspi_value_get_maximum_value(maxDiff, nullptr), 50);
    EXPECT_TRUE(atspi_value_set_current_value(maxDiff, 25, nullptr));
    g_object_unref(maxDiff);
    EXPECT_EQ(valueOf(controls.at(9).get()), "25");
    atspi_exit();
    ::kill(program, SIGTERM);
    waitForChild(program, "FendralWin, asked to end", 10s);
}

} // namespace
} // namespace fendralwin::test
