#include "safe_output.h"

#include "failure.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
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

std::string describeErrno() {
    return std::strerror(errno);
}

// Where the output really goes: through a symbolic link to the file it names, so the link stays.
std::filesystem::path finalPath(const std::string& output) {
    std::error_code error;
    if (std::filesystem::is_symlink(output, error)) {
        return std::filesystem::weakly_canonical(output);
    }
    return output;
}

mode_t newFileMode(const std::filesystem::path& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

SafeOutput::SafeOutput(const std::string& input, const std::string& output) {
    struct stat inputStat {};
    if (::stat(input.c_str(), &inputStat) != 0) {
        throw Failure("cannot open " + input + ": " + describeErrno());
    }
    if (S_ISDIR(inputStat.st_mode)) {
        throw Failure(input + " is a folder, not an image");
    }
    struct stat outputStat {};
    const bool outputExists = ::stat(output.c_str(), &outputStat) == 0;
    if (outputExists && outputStat.st_dev == inputStat.st_dev &&
        outputStat.st_ino == inputStat.st_ino) {
        throw Failure("the output " + output + " is the input file; choose another name");
    }
    if (outputExists && S_ISDIR(outputStat.st_mode)) {
        throw Failure("the output " + output + " is a folder; name a file");
    }
    const std::filesystem::path target = finalPath(output);
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    const std::string hiddenName =
        std::string(".").append(target.filename().string()).append(".fendral-XXXXXX");
    std::string pattern = (folder / hiddenName).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        throw Failure("cannot create a file in " + folder.string() + ": " + describeErrno());
    }
    ::fchmod(fd, newFileMode(target));
    ::close(fd);
    output_ = target.string();
    temporary_ = pattern;
    if (temporary_.size() < pendingPath.size()) {
        pathIsPending = 0;
        std::memcpy(pendingPath.data(), temporary_.c_str(), temporary_.size() + 1);
        pathIsPending = 1;
    }
}

SafeOutput::~SafeOutput() {
    pathIsPending = 0;
    if (!committed_) {
        ::unlink(temporary_.c_str());
    }
}

void SafeOutput::commit() {
    if (::rename(temporary_.c_str(), output_.c_str()) != 0) {
        throw Failure("cannot write " + output_ + ": " + describeErrno());
    }
    pathIsPending = 0;
    committed_ = true;
}

void SafeOutput::removeOnSignals() {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        std::signal(signal, removePendingAndDie);
    }
}

} // namespace fendral
