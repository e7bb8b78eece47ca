#include "FailureOf.h"
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "platform/FolderContents.h"
#include "platform/NativePlatform.h"
#include "platform/posix/PrivateFolder.h"
#include "platform/posix/Terminal.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace fendralwin::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> sorted(std::vector<std::string> names) {
    std::ranges::sort(names);
    return names;
}

// Puts at `place` what a case names: "dir" (a private folder), "open" (a folder others can
// enter), "link" (a link to a private folder), "file", "other" (another user's folder) or "".
void occupy(const TempFolder& temp, const std::string& place, const std::string& what) {
    if (what == "file") {
        temp.write(fs::path(place).filename(), "not a folder");
    } else if (what == "link") {
        fs::create_directory(temp / "elsewhere");
        fs::permissions(temp / "elsewhere", fs::perms::owner_all);
        fs::create_directory_symlink(temp / "elsewhere", place);
    } else if (!what.empty()) {
        fs::create_directory(place);
        fs::permissions(place, what == "open" ? fs::perms::all : fs::perms::owner_all);
        if (what == "other") {
            ASSERT_EQ(chown(place.c_str(), 65534, 65534), 0);
        }
    }
}

TEST(PrivateFolder, IsAFolderOfThisUserAloneAndNeverOneSomebodyElseMade) {
    struct Case {
        const char* runtime;   // at $XDG_RUNTIME_DIR
        const char* temporary; // at $TMPDIR/fendralwin-<uid>
        const char* expectedPrefix;
    };
    const Case cases[]{
        {"dir", "", "runtime/FendralWin/"}, {"", "", "fendralwin-"},
        {"open", "", "fendralwin-"},        {"other", "dir", "fendralwin-"},
        {"", "open", "fendralwin-"},        {"", "link", "fendralwin-"},
        {"", "file", "fendralwin-"},        {"", "other", "fendralwin-"},
    };
    int needRoot = 0; // giving a folder to another user needs root
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("runtime ") + c.runtime + ", temporary " + c.temporary);
        if ((c.runtime == std::string("other") || c.temporary == std::string("other")) &&
            geteuid() != 0) {
            ++needRoot;
            continue;
        }
        TempFolder temp;
        const std::string usual = temp / ("fendralwin-" + std::to_string(geteuid()));
        occupy(temp, temp / "runtime", c.runtime);
        occupy(temp, usual, c.temporary);
        const ScopedEnv runtime("XDG_RUNTIME_DIR", (temp / "runtime").c_str());
        const ScopedEnv tmp("TMPDIR", temp.path().c_str());

        const std::string folder = posix::makePrivateFolder();

        EXPECT_TRUE(folder.starts_with(temp / c.expectedPrefix)) << folder;
        EXPECT_TRUE(folder.ends_with('/'));
        EXPECT_TRUE(posix::isPrivateFolder(folder)) << folder;
        if (c.temporary == std::string("file")) {
            EXPECT_EQ(readFile(usual), "not a folder");
        }
    }
    if (needRoot > 0) {
        GTEST_SKIP() << needRoot << " cases need root";
    }
}

TEST(PosixPlatform, WritesEachScriptAsANewPrivateFileThatOnlyThisUserCanRead) {
    TempFolder temp;
    const ScopedEnv runtime("XDG_RUNTIME_DIR", temp.path().c_str());
    NativePlatform platform("/opt/fw");
    const std::string first = platform.writeScript("/opt/fw/", "first\n");
    const std::string second = platform.writeScript("/opt/fw/", "second\n");

    EXPECT_NE(first, second);
    for (const auto& [script, text] : {std::pair{first, "first\n"}, {second, "second\n"}}) {
        EXPECT_EQ(fs::path(script).parent_path(), temp.path() / "FendralWin");
        EXPECT_EQ(readFile(script), text);
        struct stat info {};
        ASSERT_EQ(stat(script.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600U);
    }
}

TEST(PosixPlatform, KeepsItsScriptFolderUntilSomebodyTakesItThenMakesAFreshOne) {
    TempFolder temp;
    const ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    const ScopedEnv tmp("TMPDIR", temp.path().c_str());
    NativePlatform platform("/opt/fw");
    const auto folderOf = [&] {
        return fs::path(platform.writeScript("/opt/fw/", "x")).parent_path();
    };
    const fs::path first = folderOf();
    EXPECT_EQ(folderOf(), first);
    fs::permissions(first, fs::perms::all);
    const fs::path second = folderOf();
    EXPECT_NE(second, first);
    EXPECT_TRUE(posix::isPrivateFolder(second));
}

TEST(PosixPlatform, AScriptThatCannotBeWrittenOrStartedLeavesNothingBehind) {
    TempFolder temp;
    {
        const ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
        const ScopedEnv tmp("TMPDIR", (temp / "missing").c_str());
        NativePlatform platform("/opt/fw");
        EXPECT_THROW(platform.writeScript("/opt/fw/", "x"), PlatformError);
    }
    const ScopedEnv runtime("XDG_RUNTIME_DIR", temp.path().c_str());
    const ScopedEnv terminal("TERMINAL", (temp / "no-such-terminal").c_str());
    const ScopedEnv path("PATH", temp.path().c_str());
    NativePlatform platform("/opt/fw");
    const std::string script = platform.writeScript("/opt/fw/", "x");
    EXPECT_THROW(platform.startScript(script, temp.path().string()), PlatformError);
    EXPECT_FALSE(fs::exists(script));
    // A disk that fills up halfway through the script: here a limit on the size of files.
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit oneByte{1, 1};
        setrlimit(RLIMIT_FSIZE, &oneByte);
        try {
            platform.writeScript("/opt/fw/", "xx");
        } catch (const PlatformError& error) {
            _exit(std::string(error.what()).find("File too large") == std::string::npos);
        }
        _exit(1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(fs::is_empty(fs::path(script).parent_path()));
}

TEST(PosixPlatform, RequiresTheInputToBeAnExistingFile) {
    TempFolder temp;
    NativePlatform platform;
    EXPECT_NO_THROW(platform.requireFile(temp.write("in.tif", "")));
    for (const auto& [path, reason] : {std::pair{temp / "gone.tif", "No such file or directory"},
                                       {temp.path().string(), "Is a directory"}}) {
        EXPECT_EQ(failureOf([&, &file = path] { platform.requireFile(file); }),
                  path + ": " + reason);
    }
}

TEST(PosixPlatform, FindsFendralInTheProgramFolderOnlyWhenItCanRun) {
    TempFolder temp;
    NativePlatform platform(temp.path().string());
    EXPECT_FALSE(platform.programFolderHasFendral());
    temp.write("Fendral", "#!/bin/sh\n");
    EXPECT_FALSE(platform.programFolderHasFendral());
    temp.writeProgram("Fendral", "#!/bin/sh\n");
    EXPECT_TRUE(platform.programFolderHasFendral());
}

TEST(PosixPlatform, KnowsOneFileReachedByAnotherPath) {
    TempFolder temp;
    const std::string input = temp.write("img/in.tif", "image");
    temp.write("img/other.tif", "image");
    fs::create_directory(temp / "sub");
    fs::create_symlink(input, temp / "link.tif");
    NativePlatform platform;

    EXPECT_TRUE(platform.isSameExistingFile(input, temp / "sub/../img/in.tif"));
    EXPECT_TRUE(platform.isSameExistingFile(input, temp / "link.tif"));
    EXPECT_FALSE(platform.isSameExistingFile(input, temp / "img/other.tif"));
    EXPECT_FALSE(platform.isSameExistingFile(input, temp / "img/missing.tif"));
}

TEST(ReadFolder, SplitsFoldersFromMatchingFilesIgnoringCase) {
    TempFolder temp;
    for (const char* file : {"a.tif", "B.TIF", "c.Tif", "notes.txt", "x.tiff", "sub/inner.tif"}) {
        temp.write(file, "");
    }
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

TEST(SplitCommandLine, SplitsLikeAShellWithoutExpandingAnything) {
    const std::vector<std::pair<const char*, std::vector<std::string>>> cases{
        {"kitty --single-instance", {"kitty", "--single-instance"}},
        {"  xterm\t-fa  Mono ", {"xterm", "-fa", "Mono"}},
        {"'/opt/my term/run' -x", {"/opt/my term/run", "-x"}},
        {R"("a \"b\" \$c \d" e\ f)", {R"(a "b" $c \d)", "e f"}},
        {"x '' \"\" $HOME", {"x", "", "", "$HOME"}},
        {"it\"'s o\"k 'a\"b'", {"it's ok", "a\"b"}},
    };
    for (const auto& [line, words] : cases) {
        EXPECT_EQ(posix::splitCommandLine(line), words) << line;
    }
}

TEST(Terminal, TriesTheChosenTerminalThenTheKnownOnesEachWithItsOwnCommandForm) {
    TempFolder bin;
    for (const char* name : {"xterm", "kitty", "gnome-terminal", "xdg-terminal-exec"}) {
        bin.writeProgram(name, "#!/bin/sh\n");
    }
    bin.write("konsole", "not executable");
    const ScopedEnv path("PATH", bin.path().c_str());
    const ScopedEnv terminal("TERMINAL", "kitty --single-instance");
    using Command = std::vector<std::string>;
    EXPECT_EQ(posix::terminalCommands("/s/fdw.sh"),
              (std::vector<Command>{
                  {"kitty", "--single-instance", "-e", "/bin/sh", "/s/fdw.sh"},
                  {"xdg-terminal-exec", "/bin/sh", "/s/fdw.sh"},
                  {"gnome-terminal", "--", "/bin/sh", "/s/fdw.sh"},
                  {"kitty", "/bin/sh", "/s/fdw.sh"},
                  {"xterm", "-e", "/bin/sh", "/s/fdw.sh"},
              }));
}

TEST(Terminal, FallsBackWhenTheChosenOneCannotStartAndSaysWhenNoneCan) {
    TempFolder temp;
    const std::string done = temp / "done";
    const std::vector<std::vector<std::string>> commands{
        {temp / "no-such-terminal", "-e", "/bin/sh"},
        {"/bin/sh", "-c", "pwd > \"$0\".tmp && mv \"$0\".tmp \"$0\"", done}};
    posix::startFirstTerminal(commands, temp.path().string());
    // The started process is no child of ours: nothing is left to wait for.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    for (int i = 0; i < 500 && !fs::exists(done); ++i) {
        usleep(10'000);
    }
    EXPECT_EQ(readFile(done), temp.path().string() + "\n");

    const auto failureStarting = [&](const std::vector<std::vector<std::string>>& tried,
                                     const std::string& folder) {
        return failureOf([&] { posix::startFirstTerminal(tried, folder); });
    };
    EXPECT_EQ(failureStarting({commands[0]}, temp.path().string()),
              "Cannot start " + commands[0][0] + ": No such file or directory");
    EXPECT_EQ(failureStarting(commands, temp / "gone"),
              "Cannot open the folder " + temp / "gone" + ": No such file or directory");
    EXPECT_TRUE(
        failureStarting({}, temp.path().string()).starts_with("No terminal program was found"));
}

} // namespace
} // namespace fendralwin::test
