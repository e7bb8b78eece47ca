#include "platform/posix/PosixPlatform.h"

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

std::string executableFolder() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::filesystem::current_path().string();
    }
    return executable.parent_path().string();
}

} // namespace

PosixPlatform::PosixPlatform()
    : PosixPlatform(executableFolder()) {}

PosixPlatform::PosixPlatform(std::string programFolder)
    : programFolder_(std::move(programFolder)) {}

std::string PosixPlatform::programFolder() const {
    return programFolder_;
}

bool PosixPlatform::programFolderHasFendral() const {
    return posix::isExecutableFile(FolderText(programFolder_, separator()) + "Fendral");
}

std::string PosixPlatform::scriptPath(const std::string& /*appDir*/) const {
    // An installed program's folder is not writable, so the script lives in a private folder.
    return posix::privateFolder() + "fdw.sh";
}

void PosixPlatform::writeScript(const std::string& path, const std::string& text) {
    posix::ensurePrivateFolder(std::filesystem::path(path).parent_path().string());
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
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
            throw error;
        }
        done += static_cast<std::size_t>(written);
    }
    if (close(fd) != 0) {
        throw failure("Cannot write", path);
    }
}

void PosixPlatform::startScript(const std::string& path, const std::string& workingFolder) {
    posix::startDetached(posix::terminalCommand(path), workingFolder);
}

void PosixPlatform::deleteFile(const std::string& path) noexcept {
    unlink(path.c_str());
}

bool PosixPlatform::isSameExistingFile(const std::string& a, const std::string& b) const {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace fendralwin
