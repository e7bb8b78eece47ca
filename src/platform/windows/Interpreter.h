#pragma once

#include <string>
#include <string_view>

namespace fendralwin::windows {

// The command line that has the command interpreter run `scriptName`, a script in its working
// folder, and hold the console until a key is pressed when the script's last command failed.
std::string interpreterCommandLine(std::string_view scriptName);

} // namespace fendralwin::windows
