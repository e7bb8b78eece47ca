#include "platform/windows/Interpreter.h"

namespace fendralwin::windows {

std::string interpreterCommandLine(std::string_view scriptName) {
    // The script is named relative to the working folder: the interpreter expands "%" in its
    // command line, so a folder name must not appear there. "/d" skips the user's AutoRun
    // commands, "/v:off" keeps a "!" in a name from being expanded, ".\" finds the script where
    // the current folder is not searched for commands, and "/s" takes the quoted rest as it
    // stands. "call" comes back after the script, whose "exit /b" keeps the error level that
    // Fendral left, so that a failure (Fendral's, or Fendral not found) stays readable. A crash
    // leaves a negative level, which "errorlevel 1" (1 and more) misses and "not errorlevel 0"
    // (below 0) catches; "%errorlevel%" would be read before the script runs.
    return "cmd.exe /d /v:off /s /c \"call .\\" + std::string(scriptName) +
           " & if errorlevel 1 (pause) else if not errorlevel 0 pause\"";
}

} // namespace fendralwin::windows
