#include "platform/posix/PosixPlatform.h"

#include "ScopedEnv.h"
#include "TempFolder.h"
#include "platform/FolderContents.h"
#include "platform/posix/PrivateFolder.h"
#include "platform/posix/Terminal.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace fendralwin::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::ranges::sort(names);
    return names;
}

TEST(PrivateFolder, LivesInTheRuntimeFolderOrElseInTheTemporaryFolder) {
    {
        const ScopedEnv runtime("XDG_RUNTIME_DIR", "/run/user/1000/");
        EXPECT_EQ(posix::privateFolder(), "/run/user/1000/FendralWin/");
    }
    const ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    const ScopedEnv tmp("TMPDIR", "/var/tmp");
    EXPECT_EQ(posix::privateFolder(), "/var/tmp/fendralwin-" + std::to_string(geteuid()) + "/");
}

TEST(PrivateFolder, IsCreatedPrivateAndAFolderOthersCouldUseIsRefused) {
    TempFolder temp;
    const std::string mine = temp / "mine";
    posix::ensurePrivateFolder(mine + "/");
    struct stat info {};
    ASSERT_EQ(stat(mine.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700U);

    const std::string open = temp / "open";
    fs::create_directory(open);
    fs::permissions(open, fs::perms::all);
    EXPECT_THROW(posix::ensurePrivateFolder(open), PlatformError);

    const std::string link = temp / "link";
    fs::create_directory_symlink(mine, link);
    EXPECT_THROW(posix::ensurePrivateFolder(link), PlatformError);
}

TEST(PosixPlatform, WritesReplacesAndDeletesTheScriptInItsPrivateFolder) {
    TempFolder temp;
    const ScopedEnv runtime("XDG_RUNTIME_DIR", temp.path().c_str());
    PosixPlatform platform("/opt/fw");
    const std::string script = platform.scriptPath("/opt/fw/");
    EXPECT_EQ(script, temp / "FendralWin/fdw.sh");

    platform.writeScript(script, "first, and longer\n");
    platform.writeScript(script, "second\n");
    EXPECT_EQ(readFile(script), "second\n");

    platform.deleteFile(script);
    EXPECT_FALSE(fs::exists(script));
    platform.deleteFile(script); // a missing file is no failure
}

TEST(PosixPlatform, AWriteIntoAFolderThatIsNotAFolderFailsWithTheSystemsReason) {
    TempFolder temp;
    const std::string blocker = temp.write("FendralWin", "a file where the folder should be");
    const ScopedEnv runtime("XDG_RUNTIME_DIR", temp.path().c_str());
    PosixPlatform platform("/opt/fw");
    try {
        platform.writeScript(platform.scriptPath("/opt/fw/"), "x");
        FAIL() << "the write should fail";
    } catch (const PlatformError& error) {
        EXPECT_NE(std::string(error.what()).find("not a private folder"), std::string::npos)
            << error.what();
    }
}

TEST(PosixPlatform, FindsFendralInTheProgramFolderOnlyWhenItCanRun) {
    TempFolder temp;
    PosixPlatform platform(temp.path().string());
    EXPECT_FALSE(platform.programFolderHasFendral());
    const std::string fendral = temp.write("Fendral", "#!/bin/sh\n");
    EXPECT_FALSE(platform.programFolderHasFendral());
    fs::permissions(fendral, fs::perms::owner_exec, fs::perm_options::add);
    EXPECT_TRUE(platform.programFolderHasFendral());
}

TEST(PosixPlatform, KnowsOneFileReachedByAnotherPath) {
    TempFolder temp;
    const std::string input = temp.write("img/in.tif", "image");
    temp.write("img/other.tif", "image");
    fs::create_directory(temp / "sub");
    fs::create_symlink(input, temp / "link.tif");
    PosixPlatform platform;

    EXPECT_TRUE(platform.isSameExistingFile(input, temp / "sub/../img/in.tif"));
    EXPECT_TRUE(platform.isSameExistingFile(input, temp / "link.tif"));
    EXPECT_FALSE(platform.isSameExistingFile(input, temp / "img/other.tif"));
    EXPECT_FALSE(platform.isSameExistingFile(input, temp / "img/missing.tif"));
}

TEST(ReadFolder, SplitsFoldersFromMatchingFilesIgnoringCase) {
    TempFolder temp;
    temp.write("a.tif", "");
    temp.write("B.TIF", "");
    temp.write("c.Tif", "");
    temp.write("notes.txt", "");
    temp.write("x.tiff", "");
    temp.write("sub/inner.tif", "");
    fs::create_directory_symlink(temp / "sub", temp / "linked");
    fs::create_symlink(temp / "missing", temp / "broken.tif");
    fs::create_symlink(temp / "loop.tif", temp / "loop.tif");

    const FolderContents contents = readFolder(temp.path().string(), "*.tif");

    EXPECT_EQ(sorted(contents.folders), (std::vector<std::string>{"linked", "sub"}));
    EXPECT_EQ(sorted(contents.files),
              (std::vector<std::string>{"B.TIF", "a.tif", "broken.tif", "c.Tif", "loop.tif"}));
}

TEST(ReadFolder, AFolderThatCannotBeOpenedThrows) {
    TempFolder temp;
    EXPECT_THROW(readFolder(temp / "gone"), PlatformError);
    EXPECT_THROW(readFolder(temp.write("file", "")), PlatformError);
}

TEST(Terminal, HonoursTheTerminalVariableAndSaysWhenNoneIsFound) {
    {
        const ScopedEnv terminal("TERMINAL", "my-term");
        EXPECT_EQ(posix::terminalCommand("/s/fdw.sh"),
                  (std::vector<std::string>{"my-term", "-e", "/bin/sh", "/s/fdw.sh"}));
    }
    TempFolder empty;
    const ScopedEnv terminal("TERMINAL", nullptr);
    const ScopedEnv path("PATH", empty.path().c_str());
    try {
        posix::terminalCommand("/s/fdw.sh");
        FAIL() << "no terminal should be found";
    } catch (const PlatformError& error) {
        EXPECT_NE(std::string(error.what()).find("No terminal program"), std::string::npos);
    }
}

TEST(StartDetached, RunsInTheWorkingFolderAndLeavesNoChildBehind) {
    TempFolder temp;
    const std::string done = temp / "done";
    posix::startDetached({"/bin/sh", "-c", "pwd > \"$0\".tmp && mv \"$0\".tmp \"$0\"", done},
                         temp.path().string());

    // The started process is no child of ours: nothing is left to wait for.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    for (int i = 0; i < 500 && !fs::exists(done); ++i) {
        usleep(10'000);
    }
    EXPECT_EQ(readFile(done), temp.path().string() + "\n");
}

TEST(StartDetached, AProgramThatCannotBeStartedFailsWithTheReason) {
    TempFolder temp;
    try {
        posix::startDetached({temp / "no-such-program"}, temp.path().string());
        FAIL() << "the start should fail";
    } catch (const PlatformError& error) {
        EXPECT_NE(std::string(error.what()).find("No such file"), std::string::npos)
            << error.what();
    }
}

} // namespace
} // namespace fendralwin::test
