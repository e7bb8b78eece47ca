#include "ChildProcess.h"
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
#include <map>
#include <sched.h>
#include <sys/mount.h>
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

// Runs `body` in a child process and returns its exit status, or -1 when it did not exit.
template <typename Body>
int exitStatusOf(const Body& body) {
    const pid_t child = fork();
    if (child == 0) {
        _exit(body());
    }
    const int status = waitForChild(child, "a test's child process");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const uid_t kOtherUser = 65534;

// Makes at `place` what a layout names: "dir" (0700), "safe" (0755), "open" (0777), "group"
// (0770), "sticky" (1777), "other" (another user's 0755), "file", or "link:<target>".
void make(const TempFolder& temp, const std::string& place, const std::string& what) {
    if (what == "file") {
        temp.write(place, "not a folder");
    } else if (what.starts_with("link:")) {
        fs::create_directory_symlink(temp / what.substr(5), temp / place);
    } else {
        const std::map<std::string, unsigned> modes{{"dir", 0700},     {"safe", 0755},
                                                    {"open", 0777},    {"group", 0770},
                                                    {"sticky", 01777}, {"other", 0755}};
        fs::create_directory(temp / place);
        fs::permissions(temp / place, fs::perms(modes.at(what)));
        if (what == "other") {
            ASSERT_EQ(chown((temp / place).c_str(), kOtherUser, kOtherUser), 0);
        }
    }
}

TEST(PrivateFolder, IsMadeOnlyWhereNoOtherUserCanRenameAnythingOnItsPath) {
    const std::string usual = "fendralwin-" + std::to_string(geteuid());
    struct Case {
        std::vector<std::pair<std::string, std::string>> layout; // "~" stands for `usual`
        const char* runtime;                                     // $XDG_RUNTIME_DIR
        const char* temporary;                                   // $TMPDIR
        std::string expected; // "~" for `usual`; relative to the test's folder unless absolute
        bool fresh;
    };
    const Case cases[]{
        {{{"rt", "dir"}}, "rt", "t", "rt/FendralWin/", false},
        {{{"t", "dir"}}, nullptr, "t", "t/~/", false},
        {{{"rt", "open"}, {"t", "dir"}}, "rt", "t", "t/~/", false},
        {{{"rt", "other"}, {"t", "dir"}}, "rt", "t", "t/~/", false},
        {{{"sh", "open"}, {"sh/rt", "dir"}, {"t", "dir"}}, "sh/rt", "t", "t/~/", false},
        {{{"s", "sticky"}, {"s/t", "dir"}}, nullptr, "s/t", "s/t/~/", false},
        {{{"safe", "safe"}, {"t", "link:safe"}}, nullptr, "t", "safe/~/", false},
        {{{"open", "open"}, {"t", "link:open"}}, nullptr, "t", "/tmp/~/", false},
        {{{"o", "open"}, {"o/t", "dir"}}, nullptr, "o/t", "/tmp/~/", false},
        {{{"g", "group"}, {"g/t", "dir"}}, nullptr, "g/t", "/tmp/~/", false},
        {{{"o", "other"}, {"o/t", "dir"}}, nullptr, "o/t", "/tmp/~/", false},
        {{{"s", "sticky"}, {"s/o", "other"}, {"s/o/t", "dir"}}, nullptr, "s/o/t", "/tmp/~/", false},
        {{}, nullptr, "missing", "/tmp/~/", false},
        {{{"t", "dir"}, {"t/~", "open"}}, nullptr, "t", "t/~-", true},
        {{{"t", "dir"}, {"t/~", "file"}}, nullptr, "t", "t/~-", true},
        {{{"t", "dir"}, {"e", "dir"}, {"t/~", "link:e"}}, nullptr, "t", "t/~-", true},
        {{{"t", "dir"}, {"t/~", "other"}}, nullptr, "t", "t/~-", true},
    };
    const auto named = [&](std::string text) {
        if (const auto at = text.find('~'); at != std::string::npos) {
            text.replace(at, 1, usual);
        }
        return text;
    };
    int needRoot = 0; // giving a folder to another user needs root
    for (const Case& c : cases) {
        SCOPED_TRACE(named(c.expected) + " from " + (c.runtime ? c.runtime : "-") + ", " +
                     c.temporary);
        if (geteuid() != 0 && std::ranges::any_of(c.layout, [](const auto& step) {
                return step.second == "other";
            })) {
            ++needRoot;
            continue;
        }
        TempFolder temp;
        for (const auto& [place, what] : c.layout) {
            make(temp, named(place), what);
        }
        const ScopedEnv runtime("XDG_RUNTIME_DIR",
                                c.runtime ? (temp / c.runtime).c_str() : nullptr);
        const ScopedEnv tmp("TMPDIR", (temp / c.temporary).c_str());

        const posix::PrivateFolder folder = posix::makePrivateFolder();

        const std::string expected = named(c.expected);
        EXPECT_TRUE(folder.path.starts_with(expected.starts_with('/') ? expected : temp / expected))
            << folder.path;
        EXPECT_EQ(folder.fresh, c.fresh);
        EXPECT_TRUE(posix::isPrivateFolder(folder.path)) << folder.path;
        if (c.layout.size() > 1 && c.layout[1].second == "file") {
            EXPECT_EQ(readFile(temp / named("t/~")), "not a folder");
        }
    }
    if (needRoot > 0) {
        GTEST_SKIP() << needRoot << " cases need root, to give a folder to another user";
    }
}

TEST(PrivateFolder, WhenNoFolderIsSafeSaysWhichAndWhy) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "putting an unsafe folder in place of /tmp needs root";
    }
    TempFolder temp;
    make(temp, "open", "open");
    const ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    const ScopedEnv tmp("TMPDIR", (temp / "missing").c_str());
    // Only this child sees the unsafe folder as /tmp.
    EXPECT_EQ(exitStatusOf([&] {
                  if (unshare(CLONE_NEWNS) != 0 ||
                      mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                      mount((temp / "open").c_str(), "/tmp", nullptr, MS_BIND, nullptr) != 0) {
                      return 2;
                  }
                  return failureOf([] { posix::makePrivateFolder(); }) ==
                                 "No private folder can hold the job script: " +
                                     temp /
                                         "missing: No such file or directory; /tmp can be written "
                                         "by other users"
                             ? 0
                             : 1;
              }),
              0);
}

TEST(PosixPlatform, NoOtherUserCanSwapTheScriptOnItsWayToTheTerminal) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "acting as another user needs root";
    }
    TempFolder temp;
    fs::permissions(temp.path(), fs::perms(0755));
    make(temp, "shared", "open");
    make(temp, "shared/rt", "dir");
    for (const char* runtimeFolder : {static_cast<const char*>(nullptr), "shared/rt"}) {
        const ScopedEnv runtime("XDG_RUNTIME_DIR",
                                runtimeFolder ? (temp / runtimeFolder).c_str() : nullptr);
        const ScopedEnv tmp("TMPDIR", (temp / "shared").c_str());
        NativePlatform platform("/opt/fw");
        const std::string script = platform.writeScript("/opt/fw/", "echo mine\n");
        SCOPED_TRACE(script);
        // The other user tries to move away the script and every folder above it.
        EXPECT_EQ(exitStatusOf([&] {
                      if (setgid(kOtherUser) != 0 || setuid(kOtherUser) != 0) {
                          return 2;
                      }
                      for (fs::path p = script; p != p.root_path(); p = p.parent_path()) {
                          if (rename(p.c_str(), (temp / "shared/stolen").c_str()) == 0) {
                              return 1;
                          }
                      }
                      return 0;
                  }),
                  0);
        unlink(script.c_str());
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

TEST(PosixPlatform, KeepsItsScriptFolderUntilSomebodyTakesItAndRemovesOneMadeForItAlone) {
    TempFolder temp;
    const ScopedEnv runtime("XDG_RUNTIME_DIR", nullptr);
    const ScopedEnv tmp("TMPDIR", temp.path().c_str());
    NativePlatform platform("/opt/fw");
    const auto scriptFolder = [&] {
        const std::string script = platform.writeScript("/opt/fw/", "x");
        unlink(script.c_str()); // as the script does when it runs
        return fs::path(script).parent_path();
    };
    const fs::path first = scriptFolder();
    EXPECT_EQ(scriptFolder(), first);
    fs::permissions(first, fs::perms::all);
    const fs::path second = scriptFolder();
    EXPECT_NE(second, first);
    EXPECT_TRUE(posix::isPrivateFolder(second));
    platform.deleteScript("/opt/fw/");
    EXPECT_TRUE(fs::exists(first)); // the usual folder stays for the next window
    EXPECT_FALSE(fs::exists(second));
}

TEST(PosixPlatform, AScriptThatCannotBeWrittenOrStartedLeavesNothingBehind) {
    TempFolder temp;
    const ScopedEnv runtime("XDG_RUNTIME_DIR", temp.path().c_str());
    const ScopedEnv terminal("TERMINAL", (temp / "no-such-terminal").c_str());
    const ScopedEnv path("PATH", temp.path().c_str());
    NativePlatform platform("/opt/fw");
    const std::string script = platform.writeScript("/opt/fw/", "x");
    EXPECT_THROW(platform.startScript(script, temp.path().string()), PlatformError);
    EXPECT_FALSE(fs::exists(script));
    // A disk that fills up halfway through the script: here a limit on the size of files.
    EXPECT_EQ(exitStatusOf([&] {
                  std::signal(SIGXFSZ, SIG_IGN);
                  const rlimit oneByte{1, 1};
                  setrlimit(RLIMIT_FSIZE, &oneByte);
                  return failureOf([&] {
                             platform.writeScript("/opt/fw/", "xx");
                         }).find("File too large") == std::string::npos
                             ? 1
                             : 0;
              }),
              0);
    EXPECT_TRUE(fs::is_empty(fs::path(script).parent_path()));
}

TEST(PosixPlatform, RequiresTheInputToBeAnExistingFile) {
    TempFolder temp;
    NativePlatform platform;
    EXPECT_NO_THROW(platform.requireFile(temp.write("in.tif", "")));
    ASSERT_EQ(mkfifo((temp / "pipe.tif").c_str(), 0600), 0);
    for (const auto& [path, reason] : {std::pair{temp / "gone.tif", "No such file or directory"},
                                       {temp.path().string(), "Is a directory"},
                                       {temp / "pipe.tif", "not a regular file"}}) {
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
