#include "platform/posix/FileChecks.h"

#include <sys/stat.h>
#include <unistd.h>

namespace fendralwin::posix {

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

} // namespace fendralwin::posix
