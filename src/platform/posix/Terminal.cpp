#include "platform/posix/Terminal.h"

#include "platform/Platform.h"
#include "platform/posix/FileChecks.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace fendralwin::posix {

namespace {

struct TerminalKind {
    std::string_view program;
    std::string_view runFlag; // what precedes the command to run
};

constexpr std::array<TerminalKind, 5> kKnownTerminals{{
    {"x-terminal-emulator", "-e"},
    {"gnome-terminal", "--"},
    {"konsole", "-e"},
    {"xfce4-terminal", "-x"},
    {"xterm", "-e"},
}};

bool onSearchPath(std::string_view program) {
    const char* searchPath = std::getenv("PATH");
    std::string_view rest = searchPath ? searchPath : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const auto colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        if (!folder.empty() && isExecutableFile(std::string(folder) + "/" + std::string(program))) {
            return true;
        }
        if (colon == std::string_view::npos) {
            return false;
        }
        rest.remove_prefix(colon + 1);
    }
}

// Reports errno through the pipe and ends the intermediate or final child.
[[noreturn]] void failInChild(int reportFd) {
    const int error = errno;
    [[maybe_unused]] const auto written = write(reportFd, &error, sizeof error);
    _exit(127);
}

} // namespace

std::vector<std::string> terminalCommand(const std::string& scriptPath) {
    if (const char* terminal = std::getenv("TERMINAL"); terminal && *terminal) {
        return {terminal, "-e", "/bin/sh", scriptPath};
    }
    for (const auto& kind : kKnownTerminals) {
        if (onSearchPath(kind.program)) {
            return {std::string(kind.program), std::string(kind.runFlag), "/bin/sh", scriptPath};
        }
    }
    throw PlatformError("No terminal program was found to run the script in (tried "
                        "x-terminal-emulator, gnome-terminal, konsole, xfce4-terminal and xterm; "
                        "set TERMINAL to choose one).");
}

void startDetached(const std::vector<std::string>& argv, const std::string& workingFolder) {
    // Everything the children need is prepared before fork: after it only async-signal-safe
    // calls are made.
    std::vector<char*> args;
    for (const auto& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);

    std::array<int, 2> report{};
    if (pipe2(report.data(), O_CLOEXEC) != 0) {
        throw PlatformError(std::string("Cannot start the script: ") + std::strerror(errno));
    }
    const pid_t intermediate = fork();
    if (intermediate < 0) {
        const int error = errno;
        close(report[0]);
        close(report[1]);
        throw PlatformError(std::string("Cannot start the script: ") + std::strerror(error));
    }
    if (intermediate == 0) {
        close(report[0]);
        if (setsid() < 0) {
            failInChild(report[1]);
        }
        const pid_t terminal = fork();
        if (terminal < 0) {
            failInChild(report[1]);
        }
        if (terminal == 0) {
            if (chdir(workingFolder.c_str()) != 0) {
                failInChild(report[1]);
            }
            execvp(args[0], args.data());
            failInChild(report[1]);
        }
        _exit(0);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(intermediate, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes without data when exec succeeded (close-on-exec).
    int childError = 0;
    ssize_t got = 0;
    do {
        got = read(report[0], &childError, sizeof childError);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got == static_cast<ssize_t>(sizeof childError)) {
        throw PlatformError("Cannot start " + argv.front() + ": " + std::strerror(childError));
    }
}

} // namespace fendralwin::posix
