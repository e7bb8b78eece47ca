#pragma once

#include "TempFolder.h"

#include <filesystem>
#include <string>
#include <vector>

namespace fendralwin::test {

// The folder that holds the running test program.
std::filesystem::path programFolderOfTests();

// A path as the core takes it: UTF-8.
std::string utf8(const std::filesystem::path& path);

// Creates `name` below `temp` as a program folder holding the probe as its Fendral.exe.
std::filesystem::path programFolderWithProbe(const TempFolder& temp, const std::wstring& name);

// The lines that the probe wrote in `folder`; empty when it has not run within a minute.
std::vector<std::string> probeArguments(const std::filesystem::path& folder);

// What a program writes when it runs `commandLine` in `folder`, its input at its end.
std::string outputOf(const std::string& commandLine, const std::filesystem::path& folder);

// Handles the messages that wait for this thread's windows.
void pumpMessages();

} // namespace fendralwin::test
