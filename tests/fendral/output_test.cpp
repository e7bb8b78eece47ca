#include "TempFolder.h"
#include "file_job.h"
#include "test_tiff.h"

#include <cerrno>
#include <cstdarg>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// What a job asks of the C library, watched: after the first lookup of `name` (by open or stat),
// `swap` runs, once.
struct Watch {
    std::string name;
    std::function<void()> swap;
} watch;

void lookedUp(const char* path) {
    const int error = errno;
    if (watch.swap && watch.name == path) {
        std::exchange(watch.swap, nullptr)();
    }
    errno = error;
}

} // namespace

// Defined here, these take the place of the C library's in the whole test program.
extern "C" int open(const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const bool creates = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    const mode_t mode = creates ? va_arg(args, mode_t) : 0;
    va_end(args);
    const auto fd = static_cast<int>(::syscall(SYS_openat, AT_FDCWD, path, flags, mode));
    lookedUp(path);
    return fd;
}

extern "C" int stat(const char* __restrict path, struct stat* __restrict info) noexcept {
    const auto result = static_cast<int>(::syscall(SYS_newfstatat, AT_FDCWD, path, info, 0));
    lookedUp(path);
    return result;
}

namespace fendral::test {
namespace {

namespace fs = std::filesystem;

// Replacing an output: the input is looked up by its name once, and checked and read through
// what that found, so a folder swapped in for it afterwards changes nothing.
TEST(Output, ReplacingItIsSafe) {
    const fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif", out = folder.write("out.tif", "old");
    writeTiff(in, {noisyImage(8, 8, 1)});
    watch = {in, [&] {
                 fs::rename(in, folder / "kept.tif");
                 fs::create_directory(in);
             }};
    filterFile(in, out, {1, 10, 1});
    EXPECT_EQ(readTiff(out).size(), 1U);
}

} // namespace
} // namespace fendral::test
