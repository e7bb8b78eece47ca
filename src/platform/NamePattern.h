#pragma once

#include <string_view>

namespace fendralwin {

// Whether a file name matches a pattern of "*" (any run of characters) and "?" (any one byte),
// ASCII letters compared without regard to case. The system's fnmatch() converts every name to
// wide characters in a UTF-8 locale, which made listing a big folder twice as slow.
bool matchesNamePattern(std::string_view name, std::string_view pattern);

} // namespace fendralwin
