#include "TempFolder.h"
#include "command_line.h"
#include "processors.h"
#include "test_tiff.h"

#include <gtest/gtest.h>
#include <regex>
#include <sys/wait.h>

namespace {

using fendral::QuotaFolder;

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
        const char *cgroups, *mountinfo;
        std::vector<QuotaFolder> folders;
    } rows[] = {
        {"0::/\n", unifiedAtTop, {{"/sys/fs/cgroup", true}}},
        {"0::/user.slice/app.scope\n",
         unifiedAtTop,
         {{"/sys/fs/cgroup/user.slice/app.scope", true},
          {"/sys/fs/cgroup/user.slice", true},
          {"/sys/fs/cgroup", true}}},
        {"2:cpuacct:/\n1:cpu:/a\n0::/\n",
         hybrid,
         {{"/sys/fs/cgroup/cpu/a", false},
          {"/sys/fs/cgroup/cpu", false},
          {"/sys/fs/cgroup/unified", true}}},
        {"9:cpu,cpuacct:/docker/ab/job\n",
         dockerV1,
         {{"/sys/fs/cgroup/cpu,cpuacct/job", false}, {"/sys/fs/cgroup/cpu,cpuacct", false}}},
        {"9:cpu,cpuacct:/docker/ab\n", dockerV1, {{"/sys/fs/cgroup/cpu,cpuacct", false}}},
        // Groups that the mount does not show, or no controller of the CPU, or nothing mounted.
        {"9:cpu,cpuacct:/docker/abc\n", dockerV1, {}},
        {"9:cpu,cpuacct:/other\n", dockerV1, {}},
        {"2:cpuacct:/\n3:name=systemd:/\n", hybrid, {}},
        {"0::/\n", "", {}},
        {"0::/\n", "40 30 0:37 / /sys/fs/cgroup rw - cgroup2\n", {}},
        {"junk\n0::/\n", unifiedAtTop, {{"/sys/fs/cgroup", true}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.cgroups);
        EXPECT_EQ(fendral::quotaFolders(row.cgroups, row.mountinfo), row.folders);
    }
}

TEST(Processors, QuotaIsRoundedUpToWholeProcessors) {
    const std::pair<const char*, std::optional<unsigned>> cpuMax[] = {
        {"max 100000\n", {}},
        {"100000 100000\n", 1},
        {"150000 100000\n", 2},
        {"1 100000", 1},
        {"400000 100000", 4},
        {"18446744073709551615 1", 1024},
        {"", {}},
        {"junk", {}},
        {"100000 0", {}},
        {"100000", {}},
        {"-1 100000", {}}};
    for (const auto& [text, processors] : cpuMax) {
        EXPECT_EQ(fendral::cpuMaxProcessors(text), processors) << text;
    }
    EXPECT_EQ(fendral::quotaProcessors("-1\n", "100000\n"), std::nullopt);
    EXPECT_EQ(fendral::quotaProcessors("250000\n", "100000\n"), 3U);
}

std::string exitAndLog(int status, const std::string& log) {
    return std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + " " +
           fendralwin::test::readFile(log);
}

// A value that is no number of workers is a usage error, before any file is looked at.
TEST(Processors, BadWorkerCountsAreUsageErrors) {
    const fendralwin::test::TempFolder folder;
    for (const char* value : {"", "0", "-1", "+2", "2x", " 2", "1025", "99999999999999999999"}) {
        const int status = std::system(("FENDRAL_THREADS='" + std::string(value) + "' " +
                                        FENDRAL_PROGRAM " 1 10 in.tif " + folder / "out.tif" +
                                        " 2>" + folder / "log")
                                           .c_str());
        EXPECT_EQ(exitAndLog(status, folder / "log"),
                  "2 Fendral: FENDRAL_THREADS must be a whole number from 1 to 1024, not \"" +
                      std::string(value) + "\"\n" + std::string(fendral::usageText()));
        EXPECT_FALSE(std::filesystem::exists(folder / "out.tif"));
    }
}

// On a terminal (which script gives it) the bar is cleared and the last line names the workers: one
// on one processor unless told otherwise; and the output is the same on any number of them.
TEST(Processors, WorkersFollowTheProcessorsOrTheSetting) {
    const fendralwin::test::TempFolder folder;
    fendral::test::writeTiff(folder / "in.tif", {fendral::test::noisyImage(300, 200, 3)},
                             {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_ADOBE_DEFLATE});
    const std::pair<const char*, const char*> rows[] = {
        {"taskset -c 0", "1 worker"},
        {"FENDRAL_THREADS=1", "1 worker"},
        {"FENDRAL_THREADS=3 taskset -c 0", "3 workers"}};
    std::string first;
    for (const auto& [launch, last] : rows) {
        const std::string out = folder / (std::string(launch) + ".tif");
        const int status =
            std::system(("script -qec \"" + std::string(launch) +
                         " timeout --foreground 60 " FENDRAL_PROGRAM " 1 10 " + folder / "in.tif" +
                         " '" + out + "'\" /dev/null >" + folder / "log")
                            .c_str());
        const std::string log = exitAndLog(status, folder / "log");
        const std::regex summary("0 [\\s\\S]*\r *\rFendral: 300 x 200, 1 page, [0-9.]+ s on " +
                                 std::string(last) + "\r\n");
        EXPECT_TRUE(std::regex_match(log, summary)) << log;
        const std::string bytes = fendralwin::test::readFile(out);
        first = first.empty() ? bytes : first;
        EXPECT_TRUE(bytes == first && !bytes.empty()) << launch << ": other bytes";
    }
}

} // namespace
