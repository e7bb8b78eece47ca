#include "app/CommandLine.h"

namespace fendralwin {

namespace {

constexpr const char* kHelp =
    "Usage: FendralWin [FILE | FOLDER]\n"
    "Smooth a TIFF image with Fendral: choose the input file, the output folder and name, the\n"
    "Radius and MaxDiff settings, then Run.\n"
    "\n"
    "  FILE       a TIFF file (*.tif), chosen as the input file\n"
    "  FOLDER     a folder, opened in the input and the output lists\n"
    "      --help     display this help and exit\n"
    "      --version  output version information and exit\n"
    "\n"
    "Only the first FILE or FOLDER counts. One that cannot be opened is named in a message\n"
    "once the window shows.\n";

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine commandLine;
    bool options = true;
    for (const std::string& argument : arguments) {
        if (options && argument == "--") {
            options = false;
        } else if (options && argument == "--help") {
            return {.request = CommandLine::Request::Help};
        } else if (options && argument == "--version") {
            return {.request = CommandLine::Request::Version};
        } else if (options && argument.size() > 1 && argument.starts_with('-')) {
            return {.request = CommandLine::Request::UnknownOption, .unknownOption = argument};
        } else if (!commandLine.path) {
            commandLine.path = argument;
        }
    }
    return commandLine;
}

std::optional<int> answerCommandLine(const CommandLine& commandLine, std::string_view version,
                                     std::ostream& out, std::ostream& errors) {
    switch (commandLine.request) {
    case CommandLine::Request::Help:
        out << kHelp;
        return 0;
    case CommandLine::Request::Version:
        out << "FendralWin " << version << "\n";
        return 0;
    case CommandLine::Request::UnknownOption:
        errors << "FendralWin: unrecognized option '" << commandLine.unknownOption
               << "'\nTry 'FendralWin --help' for more information.\n";
        return 2;
    case CommandLine::Request::OpenWindow:
        break;
    }
    return std::nullopt;
}

} // namespace fendralwin
