#pragma once

#include <string>
#include <vector>

namespace fendralwin::posix {

// The command that runs `/bin/sh script` in a new terminal window: $TERMINAL when set, else the
// first terminal found on the search path. Throws PlatformError when there is none.
std::vector<std::string> terminalCommand(const std::string& scriptPath);

// Starts `argv` in `workingFolder` as a process of its own session, not a child of this one, so
// that nothing waits for it and it leaves no zombie behind. Throws PlatformError when it cannot
// be started.
void startDetached(const std::vector<std::string>& argv, const std::string& workingFolder);

} // namespace fendralwin::posix
