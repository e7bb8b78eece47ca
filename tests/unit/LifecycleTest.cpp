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
    Harness h(platform);

    const auto& vars = h.form().variables();
    EXPECT_EQ(vars.strAppDir, c.folderText);
    EXPECT_EQ(vars.strInDir, c.folderText);
    EXPECT_EQ(vars.strOutDir, c.folderText);
    EXPECT_TRUE(h.log.empty()) << "Load touches no control";
}

INSTANTIATE_TEST_SUITE_P(
    ProgramFolders, FormLoadTest,
    testing::Values(LoadCase{'\\', "C:\\Tools\\FendralWin", "C:\\Tools\\FendralWin\\"},
                    LoadCase{'\\', "D:\\", "D:\\"},
                    LoadCase{'\\', "\\\\server\\share\\apps", "\\\\server\\share\\apps\\"},
                    LoadCase{'/', "/opt/fendralwin", "/opt/fendralwin/"}, LoadCase{'/', "/", "/"}));

TEST(FormTerminate, ReleasingTheWindowObjectDeletesTheScriptOfTheProgramFolderSilently) {
    Harness h;
    h.wiring.reset();
    EXPECT_EQ(h.platform.deleted, std::vector<std::string>{"C:\\Tools\\FendralWin\\"});
    EXPECT_TRUE(h.boxes.shown.empty());
}

TEST(FormTerminate, AWindowObjectThatNeverLoadedDeletesNothing) {
    Harness h;
    h.wiring.reset();
    h.platform.deleted.clear();
    {
        frmFendralWrapper form({h, h.drvIn, h.dirIn, h.filIn, h.drvOut, h.dirOut, h.txtOutputFile,
                                h.hscrlRadius, h.hscrlMaxDiff, h.txtRadius, h.txtMaxDiff,
                                h.cmdRunFendral, h.lblInputFile, h.lblOutputFile},
                               h.boxes, h.platform);
    }
    EXPECT_TRUE(h.platform.deleted.empty());
}

} // namespace
} // namespace fendralwin::test
