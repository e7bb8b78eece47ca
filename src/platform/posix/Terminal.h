#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fendralwin::posix {

// Splits a command line into words as a shell would, without expanding anything: blanks part
// words; single quotes, double quotes and backslashes keep what they enclose or escape.
std::vector<std::string> splitCommandLine(std::string_view line);

// The commands that would run `/bin/sh script` in a new terminal window, in the order to try
// them: $TERMINAL (split into words) with "-e" when it is set, then xdg-terminal-exec and the
// known terminals that are on the search path, each with its own way of being given a command.
std::vector<std::vector<std::string>> terminalCommands(const std::string& scriptPath);

// Starts the first of `commands` that can be run, in `workingFolder`, as a process of its own
// session. Throws PlatformError when the folder cannot be entered or no command can be run.
void startFirstTerminal(const std::vector<std::vector<std::string>>& commands,
                        const std::string& workingFolder);

// Starts `argv` in `workingFolder` as a process of its own session, not a child of this one, so
// that nothing waits for it and it leaves no zombie behind. Returns 0 once the program runs, or
// the system's error number when it could not be run. Throws PlatformError when the working
// folder cannot be entered or no process can be made.
int startDetached(const std::vector<std::string>& argv, const std::string& workingFolder);

} // namespace fendralwin::posix
