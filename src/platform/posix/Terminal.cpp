#include "platform/posix/Terminal.h"

#include "platform/Platform.h"
#include "platform/posix/FileChecks.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace fendralwin::posix {

namespace {

struct TerminalKind {
    std::string_view program;
    std::string_view runFlag; // what precedes the command to run; empty: nothing
};

constexpr std::array<TerminalKind, 11> kKnownTerminals{{
    {"xdg-terminal-exec", ""},
    {"x-terminal-emulator", "-e"},
    {"gnome-terminal", "--"},
    {"konsole", "-e"},
    {"xfce4-terminal", "-x"},
    {"kitty", ""},
    {"alacritty", "-e"},
    {"foot", ""},
    {"ptyxis", "--"},
    {"kgx", "--"},
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

std::string knownTerminalNames() {
    std::string names;
    for (const auto& kind : kKnownTerminals) {
        names += (names.empty() ? "" : ", ") + std::string(kind.program);
    }
    return names;
}

// What a child tells its parent through the report pipe before it ends.
struct ChildFailure {
    enum Step : int { Process, Folder, Program } step;
    int error;
};

[[noreturn]] void failInChild(int reportFd, ChildFailure::Step step) {
    const ChildFailure failure{step, errno};
    [[maybe_unused]] const auto written = write(reportFd, &failure, sizeof failure);
    _exit(127);
}

} // namespace

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    const auto escapes = [&](std::size_t i, std::string_view escapable) {
        return line[i] == '\\' && i + 1 < line.size() &&
               (escapable.empty() || escapable.find(line[i + 1]) != std::string_view::npos);
    };
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            } else {
                word += quote == '"' && escapes(i, "\"\\$`") ? line[++i] : c;
            }
        } else if (c == '\'' || c == '"') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) {
                words.push_back(std::exchange(word, {}));
            }
            inWord = false;
        } else {
            word += escapes(i, {}) ? line[++i] : c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

std::vector<std::vector<std::string>> terminalCommands(const std::string& scriptPath) {
    std::vector<std::vector<std::string>> commands;
    if (const char* terminal = std::getenv("TERMINAL"); terminal && *terminal) {
        std::vector<std::string> command = splitCommandLine(terminal);
        if (!command.empty()) {
            command.insert(command.end(), {"-e", "/bin/sh", scriptPath});
            commands.push_back(std::move(command));
        }
    }
    for (const auto& kind : kKnownTerminals) {
        if (onSearchPath(kind.program)) {
            std::vector<std::string> command{std::string(kind.program)};
            if (!kind.runFlag.empty()) {
                command.emplace_back(kind.runFlag);
            }
            command.insert(command.end(), {"/bin/sh", scriptPath});
            commands.push_back(std::move(command));
        }
    }
    return commands;
}

void startFirstTerminal(const std::vector<std::vector<std::string>>& commands,
                        const std::string& workingFolder) {
    if (commands.empty()) {
        throw PlatformError("No terminal program was found to run the script in (tried " +
                            knownTerminalNames() + "; set TERMINAL to choose one).");
    }
    int firstError = 0;
    for (const auto& command : commands) {
        const int error = startDetached(command, workingFolder);
        if (error == 0) {
            return;
        }
        firstError = firstError != 0 ? firstError : error;
    }
    // The first one tried is the one the user chose, or else the one most likely wanted.
    throw PlatformError("Cannot start " + commands.front().front() + ": " +
                        std::strerror(firstError));
}

int startDetached(const std::vector<std::string>& argv, const std::string& workingFolder) {
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
            failInChild(report[1], ChildFailure::Process);
        }
        const pid_t terminal = fork();
        if (terminal < 0) {
            failInChild(report[1], ChildFailure::Process);
        }
        if (terminal == 0) {
            if (chdir(workingFolder.c_str()) != 0) {
                failInChild(report[1], ChildFailure::Folder);
            }
            execvp(args[0], args.data());
            failInChild(report[1], ChildFailure::Program);
        }
        _exit(0);
    }
    close(report[1]);
    int status = 0;
    while (waitpid(intermediate, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes without data when exec succeeded (close-on-exec).
    ChildFailure failure{};
    ssize_t got = 0;
    do {
        got = read(report[0], &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got != static_cast<ssize_t>(sizeof failure)) {
        return 0;
    }
    switch (failure.step) {
    case ChildFailure::Folder:
        throw PlatformError("Cannot open the folder " + workingFolder + ": " +
                            std::strerror(failure.error));
    case ChildFailure::Process:
        throw PlatformError(std::string("Cannot start the script: ") +
                            std::strerror(failure.error));
    case ChildFailure::Program:
        break;
    }
    return failure.error;
}

} // namespace fendralwin::posix
