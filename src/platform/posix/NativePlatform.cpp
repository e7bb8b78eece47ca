#include "platform/NativePlatform.h"

#include "common/FolderText.h"
#include "platform/posix/FileChecks.h"
#include "platform/posix/PrivateFolder.h"
#include "platform/posix/Terminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fendralwin {

namespace {

PlatformError failure(const std::string& what, const std::string& path) {
    return PlatformError(what + " " + path + ": " + std::strerror(errno));
}

// A script folder made for one window alone goes when the window leaves it, unless it still holds
// a script whose terminal has not started yet.
void removeIfFresh(const std::string& folder, bool fresh) noexcept {
    if (fresh) {
        rmdir(folder.c_str());
    }
}

} // namespace

std::string NativePlatform::executableFolder() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::filesystem::current_path().string();
    }
    return executable.parent_path().string();
}

char NativePlatform::separator() const {
    return '/';
}

ScriptDialect NativePlatform::scriptDialect() const {
    return ScriptDialect::Posix;
}

bool NativePlatform::programFolderHasFendral() const {
    return posix::isExecutableFile(FolderText(programFolder_, separator()) + "Fendral");
}

std::string NativePlatform::writeScript(const std::string& /*appDir*/, const std::string& text) {
    // An installed program's folder is not writable, and is shared by every user.
    if (scriptFolder_.empty() || !posix::isPrivateFolder(scriptFolder_)) {
        removeIfFresh(scriptFolder_, freshScriptFolder_);
        const posix::PrivateFolder folder = posix::makePrivateFolder();
        scriptFolder_ = folder.path;
        freshScriptFolder_ = folder.fresh;
    }
    std::string path = scriptFolder_ + "fdw-XXXXXX.sh";
    const int fd = mkostemps(path.data(), 3, O_CLOEXEC);
    if (fd < 0) {
        throw failure("Cannot create", path);
    }
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            const auto error = failure("Cannot write", path);
            close(fd);
            unlink(path.c_str());
            throw error;
        }
        done += static_cast<std::size_t>(written);
    }
    if (close(fd) != 0) {
        const auto error = failure("Cannot write", path);
        unlink(path.c_str());
        throw error;
    }
    return path;
}

void NativePlatform::startScript(const std::string& path, const std::string& workingFolder) {
    try {
        posix::startFirstTerminal(posix::terminalCommands(path), workingFolder);
    } catch (const PlatformError&) {
        unlink(path.c_str());
        throw;
    }
}

void NativePlatform::deleteScript(const std::string& /*appDir*/) noexcept {
    removeIfFresh(scriptFolder_, freshScriptFolder_);
}

void NativePlatform::requireFile(const std::string& path) const {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        throw PlatformError(path + ": " + std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        throw PlatformError(path + ": " + std::strerror(EISDIR));
    }
    // A pipe or a device would keep Fendral waiting, or feed it endlessly.
    if (!S_ISREG(info.st_mode)) {
        throw PlatformError(path + ": not a regular file");
    }
}

bool NativePlatform::isSameExistingFile(const std::string& a, const std::string& b) const {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace fendralwin
