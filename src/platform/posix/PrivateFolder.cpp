#include "platform/posix/PrivateFolder.h"

#include "platform/Platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fendralwin::posix {

namespace {

std::string withoutTrailingSlash(std::string folder) {
    while (folder.size() > 1 && folder.ends_with('/')) {
        folder.pop_back();
    }
    return folder;
}

} // namespace

std::string privateFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/') {
        return withoutTrailingSlash(runtime) + "/FendralWin/";
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::string base = (tmp && *tmp == '/') ? withoutTrailingSlash(tmp) : "/tmp";
    return base + "/fendralwin-" + std::to_string(geteuid()) + "/";
}

void ensurePrivateFolder(const std::string& folder) {
    const std::string path = withoutTrailingSlash(folder);
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        throw PlatformError("Cannot create the folder " + path + ": " + std::strerror(errno));
    }
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        throw PlatformError("Cannot open the folder " + path + ": " + std::strerror(errno));
    }
    // Someone else's folder, or one that others can write, could swap the script for another.
    if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid() || (info.st_mode & 077) != 0) {
        throw PlatformError(
            "The folder " + path +
            " is not a private folder of this user, so no script is written there.");
    }
}

} // namespace fendralwin::posix
