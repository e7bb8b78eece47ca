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

// A folder others may not write into, owned by this user: the runtime folder after "su" is not.
bool isOwnFolder(const std::string& folder) {
    struct stat info {};
    return lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & 022) == 0;
}

std::string absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    return value && *value == '/' ? withoutTrailingSlash(value) : std::string();
}

// Creates `folder` with mode 0700 when missing; true when it is then a private folder of ours.
bool madePrivate(const std::string& folder) {
    return (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) && isPrivateFolder(folder);
}

} // namespace

bool isPrivateFolder(const std::string& folder) {
    struct stat info {};
    return lstat(withoutTrailingSlash(folder).c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == geteuid() && (info.st_mode & 077) == 0;
}

std::string makePrivateFolder() {
    if (const std::string runtime = absoluteVariable("XDG_RUNTIME_DIR");
        !runtime.empty() && isOwnFolder(runtime) && madePrivate(runtime + "/FendralWin")) {
        return runtime + "/FendralWin/";
    }
    std::string temporary = absoluteVariable("TMPDIR");
    if (temporary.empty()) {
        temporary = "/tmp";
    }
    const std::string named = temporary + "/fendralwin-" + std::to_string(geteuid());
    if (madePrivate(named)) {
        return named + "/";
    }
    // Someone else holds the usual name; a folder made by mkdtemp is ours alone.
    std::string fresh = named + "-XXXXXX";
    if (mkdtemp(fresh.data()) == nullptr) {
        throw PlatformError("Cannot create a private folder in " + temporary + ": " +
                            std::strerror(errno));
    }
    return fresh + "/";
}

} // namespace fendralwin::posix
