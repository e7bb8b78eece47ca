#include "platform/FolderContents.h"
#include "platform/NamePattern.h"
#include "platform/Platform.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace fendralwin {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// The entry's kind from the directory itself where it tells; a stat only for links and for file
// systems that leave the kind unknown.
bool isFolder(int folderFd, const dirent& entry) {
    if (entry.d_type == DT_DIR) {
        return true;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return false;
    }
    struct stat info {};
    return fstatat(folderFd, entry.d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

bool isDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

FolderContents readFolder(const std::string& path, const std::string& filePattern) {
    const std::unique_ptr<DIR, DirCloser> dir(opendir(path.c_str()));
    if (!dir) {
        throw PlatformError("Cannot open the folder " + path + ": " + std::strerror(errno));
    }
    const int fd = dirfd(dir.get());
    FolderContents contents;
    errno = 0;
    while (const dirent* entry = readdir(dir.get())) {
        if (isFolder(fd, *entry)) {
            if (!isDotOrDotDot(entry->d_name)) {
                contents.folders.emplace_back(entry->d_name);
            }
        } else if (matchesNamePattern(entry->d_name, filePattern)) {
            contents.files.emplace_back(entry->d_name);
        }
        errno = 0;
    }
    if (errno != 0) {
        throw PlatformError("Cannot read the folder " + path + ": " + std::strerror(errno));
    }
    return contents;
}

} // namespace fendralwin
