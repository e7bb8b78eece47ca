// The whole job through the real window: a file chosen, a name typed, Run pressed; a probe
// terminal runs the script and a probe Fendral records what it was given.
#include "HostileNames.h"
#include "QtDriver.h"
#include "app/view/qt/FileListView.h"

#include <QTest>
#include <filesystem>

namespace fendralwin::test {
namespace {

namespace fs = std::filesystem;

class EndToEnd : public testing::Test {
protected:
    EndToEnd() {
        window.root.writeProgram(
            "Fendral",
            "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$PROBE_RECORD.tmp\"\n"
            "mv \"$PROBE_RECORD.tmp\" \"$PROBE_RECORD\"\n");
    }
    static bool waitFor(const std::string& path) {
        return QTest::qWaitFor([&] { return fs::exists(path); }, 20'000);
    }
    void chooseAndRun(const std::string& input, const std::string& output) {
        window.clickFile(input);
        window.paste("txtOutputFile", output);
        window.press("cmdRunFendral");
    }
    std::string recordOf(const std::string& input, const std::string& output) const {
        return "1\n10\n" + window.path(input) + "\n" + window.path(output) + "\n";
    }
    std::vector<std::string> scriptsLeft() const {
        std::vector<std::string> scripts;
        for (const auto& entry : fs::directory_iterator(window.runtimeFolder / "FendralWin")) {
            scripts.push_back(entry.path().string());
        }
        return scripts;
    }

    TempFolder tools;
    // The probe terminal drops "-e" and runs the rest: /bin/sh and the script.
    std::string terminal = tools.writeProgram("probe-terminal", "#!/bin/sh\nshift\nexec \"$@\"\n");
    ScopedEnv terminalVariable{"TERMINAL", terminal.c_str()};
    ScopedEnv record{"PROBE_RECORD", (tools / "record").c_str()};
    QtDriver window{true};
};

TEST_F(EndToEnd, AJobStillRunsWhenTheWindowClosesBeforeItsTerminalHasStarted) {
    const std::string slow =
        tools.writeProgram("slow-terminal", "#!/bin/sh\nsleep 0.5\nshift\nexec \"$@\"\n");
    const ScopedEnv slowTerminal("TERMINAL", slow.c_str());
    chooseAndRun("scan1.tif", "out.tif");
    window.press("cmdExit");
    window.frontEnd.reset();

    ASSERT_TRUE(waitFor(tools / "record"));
    EXPECT_EQ(readFile(tools / "record"), recordOf("scan1.tif", "out.tif"));
}

TEST_F(EndToEnd, AScriptIsNeverWrittenWhereAnotherUserCouldSwapIt) {
    fs::create_directory(tools / "shared");
    fs::permissions(tools / "shared", fs::perms::all);
    const ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    const ScopedEnv shared("TMPDIR", (tools / "shared").c_str());
    chooseAndRun("scan1.tif", "out.tif");

    ASSERT_TRUE(waitFor(tools / "record"));
    EXPECT_EQ(readFile(tools / "record"), recordOf("scan1.tif", "out.tif"));
    EXPECT_TRUE(fs::is_empty(tools / "shared"));
}

TEST_F(EndToEnd, TheChosenFileStaysChosenWhateverClicksAndKeysTryToClearIt) {
    auto* files = window.widget<FileListView>("filIn");
    const QModelIndex chosen = QtDriver::row(files, "Scan2.TIF");
    QtDriver::click(files, chosen);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      QPoint(4, files->viewport()->height() - 2));
    QtDriver::click(files, chosen, Qt::ControlModifier);
    files->setFocus();
    QTest::keyClick(files, Qt::Key_Space, Qt::ControlModifier);

    window.paste("txtOutputFile", "out.tif");
    window.press("cmdRunFendral");
    ASSERT_TRUE(waitFor(tools / "record"));
    EXPECT_EQ(readFile(tools / "record"), recordOf("Scan2.TIF", "out.tif"));
}

TEST_F(EndToEnd, WithoutATerminalRunSaysSoInAFendralErrorBox) {
    const ScopedEnv missing("TERMINAL", (tools / "no-such-terminal").c_str());
    const ScopedEnv noKnownTerminal("PATH", tools.path().c_str());
    chooseAndRun("scan1.tif", "out.tif");
    ASSERT_EQ(window.messages().size(), 1U);
    EXPECT_EQ(window.messages()[0], (ShownMessage{MessageKind::Critical, "Fendral Error",
                                                  "Cannot start " + tools / "no-such-terminal" +
                                                      ": No such file or directory"}));
    EXPECT_TRUE(scriptsLeft().empty());
}

// Whatever a name holds, given on the command line or dropped it is chosen, and Fendral gets it.
TEST_F(EndToEnd, HostileNamesGivenAtStartOrDroppedReachFendralUnchanged) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 6; ++round) {
        const std::string name = "Images/" + hostileName(random) + ".tif";
        window.root.write(name, "");
        if (round % 2 == 0) {
            window.startWith(window.path(name));
        } else {
            ASSERT_TRUE(window.drop({window.path(name)}, WindowHalf::Input)) << name;
        }
        window.paste("txtOutputFile", "out.tif");
        window.press("cmdRunFendral");
        ASSERT_TRUE(waitFor(tools / "record")) << name;
        EXPECT_EQ(readFile(tools / "record"), recordOf(name, "out.tif")) << name;
        fs::remove(tools / "record");
    }
    EXPECT_TRUE(window.messages().empty());
}

TEST_F(EndToEnd, TheRealFendralWritesTheOutputAndTheInputStaysAsItWas) {
    fs::copy_file(FENDRAL_PROGRAM, window.path("Fendral"), fs::copy_options::overwrite_existing);
    fs::copy_file(SAMPLE_IMAGE, window.path("Images/sample.tif"));
    const std::string input = readFile(window.path("Images/sample.tif"));
    window.openFolder("dirIn", "Images");
    chooseAndRun("sample.tif", "smooth.tif");

    // Fendral renames its finished output into place, so once the name exists it is complete.
    ASSERT_TRUE(waitFor(window.path("smooth.tif")));
    EXPECT_TRUE(window.messages().empty());
    EXPECT_TRUE(scriptsLeft().empty()); // the script removed itself when it ran
    EXPECT_EQ(readFile(window.path("Images/sample.tif")), input);
    const std::string output = readFile(window.path("smooth.tif"));
    ASSERT_GT(output.size(), 8U);
    EXPECT_EQ(output.substr(0, 4), input.substr(0, 4)); // the same TIFF byte order and magic
    EXPECT_NE(output, input);
}

} // namespace
} // namespace fendralwin::test
