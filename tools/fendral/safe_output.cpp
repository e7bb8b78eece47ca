#include "safe_output.h"

#include "failure.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace fendral {

namespace {

// The temporary file a signal handler must remove; empty when there is none. Written only
// while signals cannot see it half done (the flag is cleared first).
std::array<char, 4096> pendingPath{};
volatile std::sig_atomic_t pathIsPending = 0;

void removePendingAndDie(int signal) {
    if (pathIsPending != 0) {
        ::unlink(pendingPath.data());
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::string systemReason(int error = errno) {
    return std::strerror(error);
}

[[noreturn]] void cannotWrite(const std::string& output, int error = errno) {
    throw Failure("cannot write " + output + ": " + systemReason(error));
}

// Where the output really goes, and what is there now (if anything). A link to a file stands
// for that file, as cp treats it; a dangling one could point anywhere and is refused.
std::string finalPath(const std::string& output, struct stat& existing, bool& exists) {
    struct stat link {};
    exists = false;
    if (::lstat(output.c_str(), &link) != 0) {
        if (errno != ENOENT) {
            cannotWrite(output);
        }
        return output;
    }
    if (!S_ISLNK(link.st_mode)) {
        existing = link;
        exists = true;
        return output;
    }
    const std::unique_ptr<char, decltype(&std::free)> target(::realpath(output.c_str(), nullptr),
                                                             &std::free);
    if (!target && errno == ENOENT) {
        throw Failure("not writing through a dangling link: " + output);
    }
    if (!target || ::stat(target.get(), &existing) != 0) {
        cannotWrite(output); // a loop of links, a folder that may not be searched...
    }
    exists = true;
    return target.get();
}

void checkExisting(const std::string& output, const struct stat& existing,
                   const struct stat& input) {
    if (existing.st_dev == input.st_dev && existing.st_ino == input.st_ino) {
        throw Failure("the output " + output + " is the input file; choose another name");
    }
    if (S_ISDIR(existing.st_mode)) {
        throw Failure("the output " + output + " is a folder; name a file");
    }
    if (!S_ISREG(existing.st_mode)) {
        throw Failure("the output " + output + " is not a regular file");
    }
    // The mode bits too: root may write anything, but a 0444 file is meant to stay as it is.
    if ((existing.st_mode & 0222) == 0 || ::access(output.c_str(), W_OK) != 0) {
        throw Failure("the output " + output + " is read-only");
    }
}

mode_t newFileMode(const struct stat& existing, bool exists) {
    if (exists) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

SafeOutput::SafeOutput(const struct stat& input, const std::string& output)
    : output_(output) {
    struct stat existing {};
    bool exists = false;
    finalPath_ = finalPath(output, existing, exists);
    if (exists) {
        checkExisting(output, existing, input);
    }
    const std::filesystem::path target(finalPath_);
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    // A name of fixed length, so that any output name the system allows leaves room for it.
    std::string pattern = (folder / ".fendral-XXXXXX").string();
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        cannotWrite(output);
    }
    temporary_ = pattern;
    ::fchmod(fd_, newFileMode(existing, exists));
    if (temporary_.size() < pendingPath.size()) {
        pathIsPending = 0;
        std::memcpy(pendingPath.data(), temporary_.c_str(), temporary_.size() + 1);
        pathIsPending = 1;
    }
}

SafeOutput::~SafeOutput() {
    pathIsPending = 0;
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_) {
        ::unlink(temporary_.c_str());
    }
}

void SafeOutput::commit() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        cannotWrite(output_);
    }
    if (::rename(temporary_.c_str(), finalPath_.c_str()) != 0) {
        cannotWrite(output_);
    }
    pathIsPending = 0;
    committed_ = true;
}

void SafeOutput::removeOnSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            std::signal(signal, removePendingAndDie);
        }
    }
}

} // namespace fendral
