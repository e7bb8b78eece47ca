#pragma once

#include <string>
#include <string_view>

namespace fendralwin::windows {

// UTF-8 text in the OEM code page, the one in which the command interpreter reads batch files.
// Throws PlatformError naming the first character that the code page cannot hold exactly: a
// best-fit substitute would name another file.
std::string toOemCodePage(std::string_view utf8);

} // namespace fendralwin::windows
