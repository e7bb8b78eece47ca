#include "Fakes.h"

#include <gtest/gtest.h>

namespace fendralwin::test {
namespace {

struct LoadCase {
    char separator;
    std::string programFolder;
    std::string folderText;
};

void PrintTo(const LoadCase& c, std::ostream* out) {
    *out << testing::PrintToString(c.programFolder);
}

class FormLoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(FormLoadTest, SetsAllThreeFolderVariablesToTheProgramFolderText) {
    const LoadCase& c = GetParam();
    FakePlatform platform;
    platform.sep = c.separator;
    platform.folder = c.programFolder;
    platform.dialect = c.separator == '\\' ? ScriptDialect::Batch : ScriptDialect::Posix;
    Harness h(platform);

    const auto& vars = h.form->variables();
    EXPECT_EQ(vars.strAppDir, c.folderText);
    EXPECT_EQ(vars.strInDir, c.folderText);
    EXPECT_EQ(vars.strOutDir, c.folderText);
}

INSTANTIATE_TEST_SUITE_P(
    ProgramFolders, FormLoadTest,
    testing::Values(LoadCase{'\\', "C:\\Tools\\FendralWin", "C:\\Tools\\FendralWin\\"},
                    LoadCase{'\\', "D:\\", "D:\\"},
                    LoadCase{'\\', "\\\\server\\share\\apps", "\\\\server\\share\\apps\\"},
                    LoadCase{'/', "/opt/fendralwin", "/opt/fendralwin/"}, LoadCase{'/', "/", "/"}));

TEST(FormLoad, TouchesNoControl) {
    Harness h;
    EXPECT_TRUE(h.log.empty());
    EXPECT_EQ(h.lblInputFile.caption, "Input File:");
    EXPECT_EQ(h.lblOutputFile.caption, "Output File:");
    EXPECT_FALSE(h.cmdRunFendral.enabled);
}

TEST(ExitButton, ClosesTheWindowWithoutAsking) {
    Harness h;
    h.form->cmdExit_Click();
    EXPECT_TRUE(h.window.closed);
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST(FormTerminate, ReleasingTheWindowObjectDeletesTheScriptOfTheProgramFolderSilently) {
    Harness h;
    h.form->cmdExit_Click();
    h.form.reset();
    EXPECT_EQ(h.platform.deleted, std::vector<std::string>{"C:\\Tools\\FendralWin\\"});
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST(FormTerminate, AWindowObjectThatNeverLoadedDeletesNothing) {
    Log log;
    FakePlatform platform;
    FakeFileSystem fs;
    FakeWindow window;
    FakeDriveList drive;
    FakeFolderList folders(fs, "C:\\");
    FakeFileList files(fs);
    FakeTextBox box(log, "box", "");
    FakeScrollBar bar;
    FakeButton button(log);
    FakeLabel label(log, "label", "");
    FakeMessageBoxes boxes;
    {
        frmFendralWrapper form({window, drive, folders, files, drive, folders, box, bar, bar, box,
                                box, button, label, label},
                               boxes, platform);
    }
    EXPECT_TRUE(platform.deleted.empty());
}

} // namespace
} // namespace fendralwin::test
