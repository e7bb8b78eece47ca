#include "Fakes.h"

#include <gtest/gtest.h>

namespace fendralwin::test {
namespace {

TEST(FormLoad, SetsTheFolderVariablesToFolderTextsAndTouchesNoControl) {
    // clang-format off
    const std::tuple<char, std::string, std::string> cases[]{
        {'\\', "C:\\Tools\\FendralWin", "C:\\Tools\\FendralWin\\"}, {'\\', "D:\\", "D:\\"},
        {'\\', "\\\\server\\share\\apps", "\\\\server\\share\\apps\\"},
        {'/', "/opt/fendralwin", "/opt/fendralwin/"},               {'/', "/", "/"},
    };
    // clang-format on
    for (const auto& [separator, programFolder, folderText] : cases) {
        FakePlatform platform;
        platform.sep = separator;
        platform.folder = programFolder;
        Harness h(platform);
        const auto& vars = h.form().variables();
        EXPECT_EQ(vars.strAppDir, folderText);
        EXPECT_EQ(vars.strInDir, folderText);
        EXPECT_EQ(vars.strOutDir, folderText);
        EXPECT_EQ(h.drvOut.current, programFolder.substr(0, 2)); // the drive of the open folder
        EXPECT_TRUE(h.log.empty()) << programFolder;
    }
}

TEST(FormTerminate, DeletesTheScriptOfTheProgramFolderOnlyOnceLoaded) {
    Harness h;
    h.wiring.reset();
    EXPECT_EQ(h.platform.deleted, std::vector<std::string>{"C:\\Tools\\FendralWin\\"});
    h.platform.deleted.clear();
    { frmFendralWrapper neverLoaded(h.controls(), h.boxes, h.platform); }
    EXPECT_TRUE(h.platform.deleted.empty());
    EXPECT_TRUE(h.boxes.shown.empty());
}

} // namespace
} // namespace fendralwin::test
