// The window as a screen reader meets it: the installed kind of program on an X display and a
// D-Bus session of the test's own, read from outside through the accessibility bus.

#include "ChildProcess.h"
#include "TempFolder.h"

#include <atspi/atspi.h>
#include <csignal>
#include <cstdlib>
#include <dbus/dbus.h>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fendralwin::test {
namespace {

using namespace std::chrono_literals;

// A process the test started, ended with everything it started in turn (its process group) when
// the test ends, and also if the test itself dies.
class Started {
public:
    // Runs `command` in `folder`; it may announce itself on descriptor 3 (see `announcement`).
    explicit Started(const std::vector<std::string>& command, bool quiet = false,
                     const std::string& folder = ".") {
        int channel[2];
        if (::pipe(channel) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setpgid(0, 0);
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::dup2(channel[1], 3);
            if (quiet) {
                ::dup2(::open("/dev/null", O_WRONLY), STDERR_FILENO);
            }
            std::vector<char*> arguments;
            for (const std::string& argument : command) {
                arguments.push_back(const_cast<char*>(argument.c_str()));
            }
            arguments.push_back(nullptr);
            if (::chdir(folder.c_str()) == 0) {
                ::execvp(arguments[0], arguments.data());
            }
            ::_exit(127);
        }
        ::close(channel[1]);
        announcements_ = channel[0];
    }
    ~Started() {
        if (pid_ > 0) {
            ::kill(-pid_, SIGTERM);
            waitForChild(pid_, "a process of the screen reader's session", 10s);
        }
        if (announcements_ >= 0) {
            ::close(announcements_);
        }
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    bool running() const {
        int status = 0;
        return ::waitpid(pid_, &status, WNOHANG) == 0;
    }

    // The first line written on descriptor 3, or nothing when none came within `limit`.
    std::optional<std::string> announcement(std::chrono::seconds limit) const {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        pollfd ready{announcements_, POLLIN, 0};
        char next = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            if (::poll(&ready, 1, 100) == 1) {
                if (::read(announcements_, &next, 1) != 1) {
                    return std::nullopt;
                }
                if (next == '\n') {
                    return line;
                }
                line += next;
            }
        }
        return std::nullopt;
    }

private:
    pid_t pid_ = -1;
    int announcements_ = -1;
};

// Whether the session can hand out an accessibility bus, which starts it; why not otherwise.
std::string accessibilityBusFault() {
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* session = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    std::string fault;
    if (session != nullptr) {
        DBusMessage* call = dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus",
                                                         "org.a11y.Bus", "GetAddress");
        if (DBusMessage* reply =
                dbus_connection_send_with_reply_and_block(session, call, 10000, &error)) {
            dbus_message_unref(reply);
        }
        dbus_message_unref(call);
        dbus_connection_close(session);
        dbus_connection_unref(session);
    }
    if (dbus_error_is_set(&error)) {
        fault = error.message;
    }
    dbus_error_free(&error);
    return fault;
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

// The window of the program on the bus once all its controls are there; none after `limit`, or
// once the program has ended.
Accessible windowOnTheBus(const Started& program, std::size_t controls,
                          std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline && program.running()) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        const Accessible desktop(atspi_get_desktop(0));
        for (Accessible& program : childrenOf(desktop.get())) {
            if (program && nameOf(program.get()) == "FendralWin") {
                Accessible window(atspi_accessible_get_child_at_index(program.get(), 0, nullptr));
                if (window && childrenOf(window.get()).size() >= controls) {
                    return window;
                }
            }
        }
        std::this_thread::sleep_for(50ms);
    }
    return nullptr;
}

// The names of a list's rows that are chosen, one after another.
std::string chosenRows(AtspiAccessible* list) {
    std::string chosen;
    for (const Accessible& row : childrenOf(list)) {
        const std::unique_ptr<AtspiStateSet, Unref> state(
            atspi_accessible_get_state_set(row.get()));
        if (atspi_state_set_contains(state.get(), ATSPI_STATE_SELECTED)) {
            chosen += (chosen.empty() ? "" : ", ") + nameOf(row.get());
        }
    }
    return chosen;
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
        value = chosenRows(control);
    } else if (role == ATSPI_ROLE_COMBO_BOX) {
        const std::vector<Accessible> list = childrenOf(control);
        value += " = " + (list.empty() ? "no list" : chosenRows(list.front().get()));
    }
    return value;
}

std::string labelOf(AtspiAccessible* control) {
    std::string label;
    GArray* relations = atspi_accessible_get_relation_set(control, nullptr);
    for (guint i = 0; relations && i < relations->len; ++i) {
        AtspiRelation* relation = g_array_index(relations, AtspiRelation*, i);
        if (atspi_relation_get_relation_type(relation) == ATSPI_RELATION_LABELLED_BY) {
            const Accessible target(atspi_relation_get_target(relation, 0));
            label = nameOf(target.get());
        }
        g_object_unref(relation);
    }
    if (relations) {
        g_array_free(relations, TRUE);
    }
    return label;
}

// Role | name | value | labelled by.
std::string heard(AtspiAccessible* control) {
    return taken(atspi_accessible_get_role_name(control, nullptr)) + " | " + nameOf(control) +
           " | " + valueOf(control) + " | " + labelOf(control);
}

const char* missingTool() {
    for (const char* tool : {"Xvfb", "dbus-daemon"}) {
        if (std::system((std::string("command -v ") + tool + " >/dev/null").c_str()) != 0) {
            return tool;
        }
    }
    return std::filesystem::exists("/usr/share/dbus-1/services/org.a11y.Bus.service")
               ? nullptr
               : "the accessibility bus (at-spi2-core)";
}

TEST(ScreenReader, HearsEveryControlsRoleNameValueAndCaptionAndSetsASetting) {
    if (const char* missing = missingTool()) {
        GTEST_SKIP() << "no screen reader's view without " << missing
                     << ": scripts/install-deps.sh installs it";
    }
    const Started display(
        {"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"},
        true);
    const auto number = display.announcement(10s);
    if (!number) {
        GTEST_SKIP() << "Xvfb did not start within 10 s";
    }
    ::setenv("DISPLAY", (":" + *number).c_str(), 1);
    const Started session({"dbus-daemon", "--session", "--nofork", "--print-address=3"}, true);
    const auto address = session.announcement(10s);
    if (!address) {
        GTEST_SKIP() << "no D-Bus session within 10 s";
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", address->c_str(), 1);
    if (const std::string fault = accessibilityBusFault(); !fault.empty()) {
        GTEST_SKIP() << "the accessibility bus did not start: " << fault;
    }

    const TempFolder folder;
    const std::string input = folder.write("in/scan1.tif", "");
    folder.write("in/scan2.tif", "");
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 1);
    const Started program({FENDRALWIN_PROGRAM, input}, false, folder.path().string());
    atspi_set_timeout(5000, 15000);
    ASSERT_EQ(atspi_init(), 0);
    const Accessible window = windowOnTheBus(program, 24, 20s);
    ASSERT_TRUE(window)
        << (program.running()
                ? "the window did not reach the accessibility bus within 20 s"
                : "the program ended before its window reached the accessibility bus");
    EXPECT_EQ(taken(atspi_accessible_get_role_name(window.get(), nullptr)), "frame");

    std::vector<std::string> heardControls;
    for (const Accessible& control : childrenOf(window.get())) {
        heardControls.push_back(heard(control.get()));
    }
    // The drive is the mount point that holds the folder: "/" or one below it.
    const std::string& inputDrive = heardControls.at(0);
    const auto driveStart = inputDrive.find(": | ") + 4;
    const std::string drive = inputDrive.substr(driveStart, inputDrive.find(" = ") - driveStart);
    EXPECT_EQ(folder.path().string().rfind(drive, 0), 0U) << drive;
    const std::string shownDrive = drive + " = " + drive;
    const std::string inputCaption = "Select Input File Directroy:";
    EXPECT_EQ(
        heardControls,
        (std::vector<std::string>{
            "combo box | Select Input File Drive: | " + shownDrive + " | Select Input File Drive:",
            "list | " + inputCaption + " | in | " + inputCaption,
            "list | Select Input File: | scan1.tif | Select Input File:",
            "combo box | Select Output File Drive: | " + shownDrive +
                " | Select Output File Drive:",
            "list | Select Output File Directory: | " + folder.path().filename().string() +
                " | Select Output File Directory:",
            "text | Type In Output File Name (*.TIF) |  | Type In Output File Name (*.TIF)",
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
            "label | " + inputCaption + " |  | ",
            "label | Select Input File: |  | ",
            "label | Input File: " + input + " |  | ",
            "label | Output File: |  | ",
            "label | Select Output File Drive: |  | ",
            "label | Select Output File Directory: |  | ",
        }));

    // A setting chosen through the screen reader is the user's: its box shows it.
    const std::vector<Accessible> controls = childrenOf(window.get());
    AtspiValue* maxDiff = atspi_accessible_get_value_iface(controls.at(6).get());
    ASSERT_NE(maxDiff, nullptr);
    EXPECT_TRUE(atspi_value_set_current_value(maxDiff, 25, nullptr));
    EXPECT_EQ(atspi_value_get_maximum_value(maxDiff, nullptr), 50);
    g_object_unref(maxDiff);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (valueOf(controls.at(9).get()) != "25" && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(valueOf(controls.at(9).get()), "25") << "the MaxDiff box, 5 s after the bar was set";
    atspi_exit();
}

} // namespace
} // namespace fendralwin::test
