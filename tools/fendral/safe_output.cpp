#include "safe_output.h"

#include "failure.h"
#include "walked_path.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <signal.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace fendral {

namespace {

// The temporary name a signal handler must remove, in the output's folder, while the flag is
// set. Written only while the flag is clear, so that a signal never sees it half done.
int pendingFolder = -1;
std::array<char, 32> pendingName{};
volatile std::sig_atomic_t nameIsPending = 0;

void removePendingAndDie(int signal) {
    if (nameIsPending != 0) {
        ::unlinkat(pendingFolder, pendingName.data(), 0);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The signals that usually end a process, which remove a temporary name first.
constexpr std::array endingSignals{SIGHUP,  SIGINT,  SIGQUIT,   SIGTERM, SIGUSR1, SIGUSR2,
                                   SIGALRM, SIGPIPE, SIGVTALRM, SIGPROF, SIGXCPU};

// Holds the ending signals back while a temporary name is made and marked for removal: one that
// came in between would end the job before the name could be removed. Only this thread runs then:
// the workers start after the file is opened and have ended before it is named.
class EndingSignalsHeld {
public:
    EndingSignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : endingSignals) {
            sigaddset(&held, signal);
        }
        ::pthread_sigmask(SIG_BLOCK, &held, &before_);
    }
    ~EndingSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

private:
    sigset_t before_{};
};

void setPending(int folder, const std::string& name) {
    nameIsPending = 0;
    pendingFolder = folder;
    pendingName[name.copy(pendingName.data(), pendingName.size() - 1)] = '\0';
    nameIsPending = 1;
}

// Calls make(name) with fresh names ".fendral-XXXXXX" while the name it tried is taken. Gives
// make's result, and on success the name in `name`.
template <typename Make>
int withFreshName(std::string& name, Make make) {
    constexpr std::string_view letters =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = ".fendral-";
        for (int letter = 0; letter < 6; ++letter) {
            candidate += letters[random() % letters.size()];
        }
        const int result = make(candidate.c_str());
        if (result >= 0) {
            name = candidate;
        }
        if (result >= 0 || errno != EEXIST) {
            return result;
        }
    }
    return -1;
}

[[noreturn]] void cannotWrite(const std::string& output, int error = errno) {
    throw Failure("cannot write " + output + ": " + std::strerror(error));
}

void checkExisting(const std::string& output, const WalkedPath& existing,
                   const struct stat& input) {
    const struct stat& info = existing.info;
    if (info.st_dev == input.st_dev && info.st_ino == input.st_ino) {
        throw Failure("the output " + output + " is the input file; choose another name");
    }
    if (S_ISDIR(info.st_mode)) {
        throw Failure("the output " + output + " is a folder; name a file");
    }
    if (!S_ISREG(info.st_mode)) {
        throw Failure("the output " + output + " is not a regular file");
    }
    // The mode bits too: root may write anything, but a 0444 file is meant to stay as it is.
    if ((info.st_mode & 0222) == 0 ||
        ::faccessat(existing.folder.get(), existing.name.c_str(), W_OK, 0) != 0) {
        throw Failure("the output " + output + " is read-only");
    }
}

// A replacement takes the owner, group and permissions of the file it replaces, as cp into an
// existing file would keep them: the owner and group where the process may (root may give the
// file to anyone, others to a group of theirs); the permission bits only, never set-user-ID or
// set-group-ID, which would lend someone's privileges to a program made by Fendral.
void takeOwnerAndMode(int fd, const struct stat& existing) {
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid) != 0) {
        // Neither is allowed: the file stays the process's, as cp's would.
    }
    ::fchmod(fd, existing.st_mode & 0777);
}

} // namespace

SafeOutput::SafeOutput(const struct stat& input, const std::string& output)
    : output_(output) {
    const WalkedPath target = walkPath(output, "write");
    if (target.exists()) {
        checkExisting(output, target, input);
    } else if (target.throughLink) {
        // A link to nothing could point anywhere.
        throw Failure("not writing through a dangling link: " + output);
    }
    folder_.reset(::openat(target.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder_.isOpen()) {
        cannotWrite(output);
    }
    name_ = target.name;
    // A new output gets what the umask leaves of 0666, as any new file does.
    file_.reset(::openat(folder_.get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666));
    if (!file_.isOpen() && (errno == EOPNOTSUPP || errno == EISDIR)) {
        const EndingSignalsHeld held;
        file_.reset(withFreshName(temporary_, [&](const char* name) {
            return ::openat(folder_.get(), name, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        }));
        if (file_.isOpen()) {
            setPending(folder_.get(), temporary_);
        }
    }
    if (!file_.isOpen()) {
        cannotWrite(output);
    }
    if (target.exists()) {
        takeOwnerAndMode(file_.get(), target.info);
    }
}

SafeOutput::~SafeOutput() {
    nameIsPending = 0;
    if (!committed_ && !temporary_.empty()) {
        ::unlinkat(folder_.get(), temporary_.c_str(), 0);
    }
}

void SafeOutput::commit() {
    // The data reaches the disc before the file takes the output's name: file systems that do not
    // keep that order could otherwise leave the name on an empty or partial file after a crash.
    if (::fdatasync(file_.get()) != 0) {
        cannotWrite(output_);
    }
    if (temporary_.empty()) {
        const EndingSignalsHeld held;
        // Through /proc any process may give a name to an unnamed file it holds.
        const std::string self = "/proc/self/fd/" + std::to_string(file_.get());
        if (withFreshName(temporary_, [&](const char* name) {
                return ::linkat(AT_FDCWD, self.c_str(), folder_.get(), name, AT_SYMLINK_FOLLOW);
            }) != 0) {
            cannotWrite(output_);
        }
        setPending(folder_.get(), temporary_);
    }
    if (!file_.close() ||
        ::renameat(folder_.get(), temporary_.c_str(), folder_.get(), name_.c_str()) != 0) {
        cannotWrite(output_);
    }
    nameIsPending = 0;
    committed_ = true;
    // And the folder, so that the name itself survives a crash. A file system that cannot flush a
    // folder says so with EINVAL.
    if (::fsync(folder_.get()) != 0 && errno != EINVAL) {
        throw Failure("cannot flush the folder of " + output_ + ": " + std::strerror(errno) +
                      "; the new output is in place but may not survive a crash");
    }
}

void SafeOutput::handleSignals() {
    std::signal(SIGXFSZ, SIG_IGN);
    for (const int signal : endingSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN) {
            std::signal(signal, removePendingAndDie);
        }
    }
}

} // namespace fendral
