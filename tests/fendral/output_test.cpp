#include "TempFolder.h"
#include "file_job.h"
#include "safe_output.h"
#include "test_tiff.h"

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <ranges>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// What a job asks of the C library, watched: after the first lookup of `name` (by openat or stat),
// `swap` runs, once; the file system may be one without unnamed files; flushes of a file or a
// folder and renames are noted in `calls`.
struct Watch {
    std::string name;
    std::function<void()> swap;
    bool noUnnamedFiles = false;
    std::vector<std::string> calls = {};
} watch;

void lookedUp(const char* path) {
    if (watch.swap && watch.name == path) {
        std::exchange(watch.swap, nullptr)();
    }
}

int noted(const char* call, int fd) {
    struct stat info {};
    ::fstat(fd, &info);
    watch.calls.push_back(std::string(call) + (S_ISDIR(info.st_mode) ? " folder" : " file"));
    return fd;
}

} // namespace

// Defined here, these take the place of the C library's in the whole test program.
extern "C" int openat(int folder, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const bool creates = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    const mode_t mode = creates ? va_arg(args, mode_t) : 0;
    va_end(args);
    if (watch.noUnnamedFiles && (flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const auto fd = static_cast<int>(::syscall(SYS_openat, folder, path, flags, mode));
    lookedUp(path);
    return fd;
}

extern "C" int fdatasync(int fd) {
    return static_cast<int>(::syscall(SYS_fdatasync, noted("fdatasync", fd)));
}

extern "C" int fsync(int fd) {
    return static_cast<int>(::syscall(SYS_fsync, noted("fsync", fd)));
}

extern "C" int renameat(int from, const char* old, int to, const char* name) noexcept {
    watch.calls.emplace_back("renameat");
    return static_cast<int>(::syscall(SYS_renameat, from, old, to, name));
}

extern "C" int stat(const char* __restrict path, struct stat* __restrict info) noexcept {
    const auto result = static_cast<int>(::syscall(SYS_newfstatat, AT_FDCWD, path, info, 0));
    lookedUp(path);
    return result;
}

namespace fendral::test {
namespace {

namespace fs = std::filesystem;

// Whatever signal ends a job midway, the output's folder holds what it held and the old output
// is as it was; where there are no unnamed files, whatever signal can be caught. A signal the
// parent ignored (nohup...) stays ignored, and the job goes on. Then a replacement: the input is
// looked up by its name once, and checked and read through what that found, so a folder swapped
// in for it afterwards changes nothing. The new output's data reaches the disc before it takes the
// output's name, and the folder's record of the name after. It keeps the old one's owner and
// group (root gives that to nobody), never set-user-ID or set-group-ID.
TEST(Output, ReplacedSafelyWhateverEndsTheJob) {
    const fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif", out = folder / "out.tif";
    writeTiff(in, {noisyImage(30, 300, 1)}); // rows in several chunks
    const std::pair<int, bool> signals[] = {{SIGKILL, false}, {SIGQUIT, false}, {SIGUSR1, false},
                                            {SIGALRM, false}, {SIGPIPE, false}, {SIGTERM, false},
                                            {SIGINT, false},  {SIGHUP, false},  {SIGHUP, true}};
    for (const bool noUnnamedFiles : {false, true}) {
        watch.noUnnamedFiles = noUnnamedFiles;
        folder.write("out.tif", "old");
        for (const auto& [signal, ignored] : signals | std::views::drop(noUnnamedFiles ? 1 : 0)) {
            const pid_t child = ::fork();
            if (child == 0) {
                const rlimit noCore{0, 0};
                ::setrlimit(RLIMIT_CORE, &noCore);
                std::signal(signal, ignored ? SIG_IGN : SIG_DFL);
                SafeOutput::handleSignals();
                filterFile(in, out, {1, 10, 2}, {.rowsDone = [&](std::uint32_t) {
                               std::raise(signal);
                           }});
                std::_Exit(0);
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            EXPECT_EQ(WIFSIGNALED(status) ? WTERMSIG(status) : 0, ignored ? 0 : signal);
            EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 2) // in and out
                << signal << (noUnnamedFiles ? ", named" : "");
            EXPECT_EQ(fendralwin::test::readFile(out) == "old", !ignored) << signal;
        }
    }
    const uid_t user = ::geteuid() == 0 ? 65534 : ::geteuid();
    const gid_t group = ::geteuid() == 0 ? 65534 : ::getegid();
    ASSERT_EQ(::chown(out.c_str(), user, group), 0);
    fs::permissions(out, fs::perms(06755));
    watch = {in, [&] {
                 fs::rename(in, folder / "kept.tif");
                 fs::create_directory(in);
             }};
    filterFile(in, out, {1, 10, 1});
    struct stat info {};
    ::stat(out.c_str(), &info);
    EXPECT_EQ(std::tuple(info.st_uid, info.st_gid, info.st_mode & 07777),
              std::tuple(user, group, 0755U));
    EXPECT_EQ(watch.calls,
              (std::vector<std::string>{"fdatasync file", "renameat", "fsync folder"}));
}

} // namespace
} // namespace fendral::test
