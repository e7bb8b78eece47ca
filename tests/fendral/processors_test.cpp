#include "TempFolder.h"
#include "command_line.h"
#include "processors.h"
#include "test_tiff.h"

#include <gtest/gtest.h>
#include <regex>
#include <sys/wait.h>

namespace {

// The hierarchies as systemd, container tools and older systems mount them.
constexpr const char* unifiedAtTop = "40 30 0:37 / /sys/fs/cgroup rw,nosuid shared:9 - cgroup2 "
                                     "cgroup2 rw,nsdelegate\n";
constexpr const char* hybrid = "31 30 0:28 / /sys/fs/cgroup/cpu rw - cgroup cgroup rw,cpu\n"
                               "32 30 0:29 / /sys/fs/cgroup/cpuacct rw - cgroup cgroup rw,cpuacct\n"
                               "40 30 0:37 / /sys/fs/cgroup/unified rw - cgroup2 cgroup2 rw\n";
constexpr const char* dockerV1 = "5 4 0:30 /docker/ab /sys/fs/cgroup/cpu,cpuacct ro,nosuid master:"
                                 "12 - cgroup cgroup ro,cpu,cpuacct\n";

TEST(Processors, QuotaFoldersAreTheOwnGroupAndItsAncestorsWhereMounted) {
    const struct {
        const char *cgroups, *mountinfo, *folders;
    } rows[] = {
        // clang-format off
        {"0::/\n", unifiedAtTop, "/sys/fs/cgroup v2"},
        {"0::/user.slice/app.scope\n", unifiedAtTop, "/sys/fs/cgroup/user.slice/app.scope v2 /sys/fs/cgroup/user.slice v2 /sys/fs/cgroup v2"},
        {"2:cpuacct:/\n1:cpu:/a\n0::/\n", hybrid, "/sys/fs/cgroup/cpu/a v1 /sys/fs/cgroup/cpu v1 /sys/fs/cgroup/unified v2"},
        {"9:cpu,cpuacct:/docker/ab/job\n", dockerV1, "/sys/fs/cgroup/cpu,cpuacct/job v1 /sys/fs/cgroup/cpu,cpuacct v1"},
        {"9:cpu,cpuacct:/docker/ab\n", dockerV1, "/sys/fs/cgroup/cpu,cpuacct v1"},
        {"junk\n0::/\n", unifiedAtTop, "/sys/fs/cgroup v2"},
        // Groups that the mount does not show, or no controller of the CPU, or nothing mounted.
        {"9:cpu,cpuacct:/docker/abc\n", dockerV1, ""}, {"9:cpu,cpuacct:/other\n", dockerV1, ""},
        {"2:cpuacct:/\n3:name=systemd:/\n", hybrid, ""}, {"0::/\n", "", ""},
        {"0::/\n", "40 30 0:37 / /sys/fs/cgroup rw - cgroup2\n", ""}};
    // clang-format on
    for (const auto& row : rows) {
        std::string folders;
        for (const fendral::QuotaFolder& folder :
             fendral::quotaFolders(row.cgroups, row.mountinfo)) {
            folders +=
                (folders.empty() ? "" : " ") + folder.path + (folder.unified ? " v2" : " v1");
        }
        EXPECT_EQ(folders, row.folders) << row.cgroups;
    }
}

TEST(Processors, QuotaIsRoundedUpToWholeProcessors) {
    const std::pair<const char*, std::optional<unsigned>> cpuMax[] = {
        // clang-format off
        {"max 100000\n", {}}, {"100000 100000\n", 1}, {"150000 100000\n", 2}, {"1 100000", 1},
        {"400000 100000", 4}, {"18446744073709551615 1", 1024}, {"", {}}, {"junk", {}},
        {"100000 0", {}}, {"100000", {}}, {"-1 100000", {}}};
    // clang-format on
    for (const auto& [text, processors] : cpuMax) {
        EXPECT_EQ(fendral::cpuMaxProcessors(text), processors) << text;
    }
    EXPECT_EQ(fendral::quotaProcessors("-1\n", "100000\n"), std::nullopt);
    EXPECT_EQ(fendral::quotaProcessors("250000\n", "100000\n"), 3U);
}

// Runs a shell command in `folder`, giving its exit code and what it wrote.
std::string run(const std::string& command, const fendralwin::test::TempFolder& folder) {
    const std::string log = folder / "log";
    const int status = std::system(
        ("cd " + folder.path().string() + " && " + command + " >" + log + " 2>&1").c_str());
    return std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + " " +
           fendralwin::test::readFile(log);
}

// A value that is no number of workers is a usage error, before any file is looked at.
TEST(Processors, BadWorkerCountsAreUsageErrors) {
    const fendralwin::test::TempFolder folder;
    for (const std::string value :
         {"", "0", "-1", "+2", "2x", " 2", "1025", "99999999999999999999"}) {
        EXPECT_EQ(run("FENDRAL_THREADS='" + value +
                          "' timeout 60 " FENDRAL_PROGRAM " 1 10 in.tif out.tif",
                      folder),
                  "2 Fendral: FENDRAL_THREADS must be a whole number from 1 to 1024, not \"" +
                      value + "\"\n" + std::string(fendral::usageText()));
        EXPECT_FALSE(std::filesystem::exists(folder / "out.tif"));
    }
}

// On a terminal (which script gives it) the bar is cleared and the last line names the workers: one
// on one processor unless told otherwise; and the output is the same on any number of them.
TEST(Processors, WorkersFollowTheProcessorsOrTheSetting) {
    const fendralwin::test::TempFolder folder;
    fendral::test::writeTiff(folder / "in.tif", {fendral::test::noisyImage(300, 200, 3)},
                             {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_ADOBE_DEFLATE});
    const std::pair<std::string, std::string> rows[] = {
        {"taskset -c 0", "1 worker"},
        {"FENDRAL_THREADS=1", "1 worker"},
        {"FENDRAL_THREADS=3 taskset -c 0", "3 workers"}};
    std::string first;
    for (const auto& [launch, last] : rows) {
        const std::string log =
            run("script -qec \"" + launch + " timeout --foreground 60 " +
                    FENDRAL_PROGRAM " 1 10 in.tif '" + launch + ".tif'\" /dev/null",
                folder);
        EXPECT_TRUE(std::regex_match(
            log, std::regex("0 [\\s\\S]*\r *\rFendral: 300 x 200, 1 page, [0-9.]+ s on " + last +
                            "\r\n")))
            << log;
        const std::string bytes = fendralwin::test::readFile(folder / (launch + ".tif"));
        first = first.empty() ? bytes : first;
        EXPECT_TRUE(bytes == first && !bytes.empty()) << launch << ": other bytes";
    }
}

} // namespace
