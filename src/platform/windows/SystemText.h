#pragma once

#include <string>
#include <string_view>

// Texts at the Win32 boundary: the core speaks UTF-8, the system UTF-16.
namespace fendralwin::windows {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

// The system's own description of an error code (FormatMessageW), without a final line break.
std::string systemMessage(unsigned long errorCode);

} // namespace fendralwin::windows
