#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace fendralwin {

// What the program is asked on its command line, as GNU programs read theirs: "--help" and
// "--version" answer on the terminal, "--" ends the options, and the first other argument is
// the file or folder to open (the rest are ignored).
struct CommandLine {
    enum class Request { OpenWindow, Help, Version, UnknownOption };
    Request request = Request::OpenWindow;
    std::optional<std::string> path = {};
    std::string unknownOption = {};
};

// `arguments` without the program's own name.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// Writes the answer to a request other than OpenWindow and returns the exit status; nothing
// for OpenWindow.
std::optional<int> answerCommandLine(const CommandLine& commandLine, std::string_view version,
                                     std::ostream& out, std::ostream& errors);

} // namespace fendralwin
