#pragma once

#include <string>

namespace fendralwin::posix {

// A regular file that this user may run.
bool isExecutableFile(const std::string& path);

} // namespace fendralwin::posix
