// The whole job through the real window: a file chosen, a name typed, Run pressed; a probe
// terminal runs the script and a probe Fendral records what it was given.
#include "FrontEndFixture.h"
#include "app/view/qt/FileListView.h"
#include "app/view/qt/FolderListView.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace fendralwin::test {
namespace {

namespace fs = std::filesystem;

class EndToEnd : public FrontEndTest {
protected:
    EndToEnd() { fs::permissions(terminal, fs::perms::owner_exec, fs::perm_options::add); }
    void installProbeFendral() {
        const std::string fendral = programFolder.write(
            "Fendral",
            "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$PROBE_RECORD.tmp\"\n"
            "mv \"$PROBE_RECORD.tmp\" \"$PROBE_RECORD\"\n");
        fs::permissions(fendral, fs::perms::owner_exec, fs::perm_options::add);
    }
    bool waitFor(const std::string& path) {
        return QTest::qWaitFor([&] { return fs::exists(path); }, 20'000);
    }
    void chooseAndRun(const QString& input, const QString& output) {
        auto* files = control<FileListView>("filIn");
        const auto matches =
            files->model()->match(files->model()->index(0, 0), Qt::DisplayRole, input);
        ASSERT_EQ(matches.size(), 1);
        files->selectionModel()->select(matches.front(), QItemSelectionModel::ClearAndSelect);
        control<QLineEdit>("txtOutputFile")->setText(output);
        QTest::mouseClick(control<QPushButton>("cmdRunFendral"), Qt::LeftButton);
    }
    TempFolder tools;
    // The probe terminal drops "-e" and runs the rest: /bin/sh and the script.
    std::string terminal = tools.write("probe-terminal", "#!/bin/sh\nshift\nexec \"$@\"\n");
    ScopedEnv terminalVariable{"TERMINAL", terminal.c_str()};
    ScopedEnv record{"PROBE_RECORD", (tools / "record").c_str()};
};

TEST_F(EndToEnd, RunStartsTheScriptInATerminalAndFendralGetsTheFourArguments) {
    installProbeFendral();
    frontEnd->show();
    chooseAndRun("photo.tif", "out.tif");

    ASSERT_TRUE(waitFor(tools / "record"));
    const std::string folder = programFolder.path().string();
    EXPECT_EQ(readFile(tools / "record"),
              "1\n10\n" + folder + "/photo.tif\n" + folder + "/out.tif\n");
    EXPECT_TRUE(boxes.seen.empty());
    EXPECT_TRUE(frontEnd->window().isVisible());
    EXPECT_TRUE(control<QPushButton>("cmdRunFendral")->isEnabled());
    EXPECT_TRUE(scriptsLeft().empty()); // the script removed itself when it ran
}

TEST_F(EndToEnd, AJobStillRunsWhenTheWindowClosesBeforeItsTerminalHasStarted) {
    installProbeFendral();
    const ScopedEnv slow(
        "TERMINAL",
        tools.write("slow-terminal", "#!/bin/sh\nsleep 0.5\nshift\nexec \"$@\"\n").c_str());
    fs::permissions(tools / "slow-terminal", fs::perms::owner_exec, fs::perm_options::add);
    frontEnd->show();
    chooseAndRun("photo.tif", "out.tif");
    QTest::mouseClick(control<QPushButton>("cmdExit"), Qt::LeftButton);
    frontEnd.reset();

    ASSERT_TRUE(waitFor(tools / "record"));
    const std::string folder = programFolder.path().string();
    EXPECT_EQ(readFile(tools / "record"),
              "1\n10\n" + folder + "/photo.tif\n" + folder + "/out.tif\n");
}

TEST_F(EndToEnd, TheChosenFileStaysChosenWhateverClicksAndKeysTryToClearIt) {
    installProbeFendral();
    frontEnd->show();
    auto* files = control<FileListView>("filIn");
    const QModelIndex photo = files->model()->index(0, 0);
    const QPoint onPhoto = files->visualRect(photo).center();
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, onPhoto);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      QPoint(onPhoto.x(), files->viewport()->height() - 2));
    QTest::mouseClick(files->viewport(), Qt::LeftButton, Qt::ControlModifier, onPhoto);
    files->setFocus();
    QTest::keyClick(files, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(files->selectedName(), "photo.tif");

    control<QLineEdit>("txtOutputFile")->setText("out.tif");
    QTest::mouseClick(control<QPushButton>("cmdRunFendral"), Qt::LeftButton);
    ASSERT_TRUE(waitFor(tools / "record"));
    EXPECT_EQ(readFile(tools / "record"),
              "1\n10\n" + programFolder / "photo.tif" + "\n" + programFolder / "out.tif" + "\n");
}

TEST_F(EndToEnd, WithoutATerminalRunSaysSoInAFendralErrorBox) {
    installProbeFendral();
    const ScopedEnv missing("TERMINAL", (tools / "no-such-terminal").c_str());
    const ScopedEnv noKnownTerminal("PATH", tools.path().c_str());
    frontEnd->show();
    chooseAndRun("photo.tif", "out.tif");

    ASSERT_EQ(boxes.seen.size(), 1U);
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes.seen[0].title, "Fendral Error");
    EXPECT_TRUE(boxes.seen[0].text.contains("no-such-terminal"))
        << boxes.seen[0].text.toStdString();
}

TEST_F(EndToEnd, AnOutputThatIsTheInputThroughALinkIsRefused) {
    installProbeFendral();
    fs::create_symlink(programFolder / "photo.tif", programFolder / "alias.tif");
    frontEnd->show();
    chooseAndRun("photo.tif", "alias.tif");

    ASSERT_EQ(boxes.seen.size(), 1U);
    EXPECT_EQ(boxes.seen[0].title, "Output File Error");
    EXPECT_EQ(boxes.seen[0].text,
              "The input and output files need to be either\ndifferent names or in different "
              "directories.");
    EXPECT_TRUE(scriptsLeft().empty());
}

TEST_F(EndToEnd, TheRealFendralWritesTheOutputAndTheInputStaysAsItWas) {
    fs::copy_file(FENDRAL_PROGRAM, programFolder / "Fendral");
    fs::copy_file(SAMPLE_IMAGE, programFolder / "sample.tif");
    const std::string input = readFile(programFolder / "sample.tif");
    frontEnd->show();
    control<FolderListView>("dirIn")->openFolder(
        QString::fromStdString(programFolder.path().string()));

    chooseAndRun("sample.tif", "smooth.tif");

    // Fendral renames its finished output into place, so once the name exists it is complete.
    ASSERT_TRUE(waitFor(programFolder / "smooth.tif"));
    EXPECT_TRUE(boxes.seen.empty());
    EXPECT_EQ(readFile(programFolder / "sample.tif"), input);
    const std::string output = readFile(programFolder / "smooth.tif");
    ASSERT_GT(output.size(), 8U);
    EXPECT_EQ(output.substr(0, 4), input.substr(0, 4)); // the same TIFF byte order and magic
    EXPECT_NE(output, input);
}

} // namespace
} // namespace fendralwin::test
