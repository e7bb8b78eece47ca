// The drive lists' event chains and the readiness rule, through fakes: what the handlers do in
// which order, which the real windows cannot show.
#include "Fakes.h"

#include <gtest/gtest.h>

namespace fendralwin::test {
namespace {

// The program in C:\Tools\FendralWin, images in C:\Images, an output folder D:\Out.
class Drives : public testing::Test {
protected:
    Drives() {
        for (const char* folder : {"C:\\", "D:\\", "D:\\Out"}) {
            h.fs.folders[folder] = {};
        }
        h.fs.folders["C:\\Images"] = {"scan1.tif"};
        h.dirIn.setPath("C:\\Images");
        h.filIn.click("scan1.tif");
        h.dirOut.setPath("D:\\Out");
        h.txtOutputFile.type("clean.tif");
        h.log.clear();
    }
    Harness h;
};

TEST_F(Drives, AnInputDriveResetsTheInputSideTwiceAndOpensThatDrive) {
    h.drvIn.choose("D:");
    EXPECT_EQ(h.log, (Log{"lblInputFile=Input File:", "run disabled",
                          "lblInputFile=Input File:", "run disabled"}));
    EXPECT_EQ(h.dirIn.current, "D:\\");
    EXPECT_EQ(h.filIn.current, "D:\\");
    EXPECT_EQ(h.form().variables().strInDir, "D:\\");
    EXPECT_EQ(h.form().variables().strOutDir, "D:\\Out\\");
}

TEST_F(Drives, AnOutputDriveReevaluatesReadinessTwice) {
    h.drvOut.choose("C:");
    EXPECT_EQ(h.log,
              (Log{"lblOutputFile=Output File: C:\\clean.tif", "run enabled", "run enabled"}));
    EXPECT_EQ(h.form().variables().strOutDir, "C:\\");
}

TEST_F(Drives, ADriveThatCannotBeOpenedGoesBackAndChangesNothing) {
    h.drvIn.choose("A:");
    h.drvOut.choose("A:");
    EXPECT_TRUE(h.log.empty());
    EXPECT_EQ(h.drvIn.current, "C:");
    EXPECT_EQ(h.drvOut.current, "D:");
    EXPECT_EQ(h.form().variables().strInDir, "C:\\Images\\");
    EXPECT_EQ(h.form().variables().strOutDir, "D:\\Out\\");
    EXPECT_EQ(h.lblInputFile.caption, "Input File: C:\\Images\\scan1.tif");
}

// At each refresh the drive lists show the drives present now.
TEST_F(Drives, ADiskTakenOutLeavesItsListOnTheProgramFolderAndOneInsertedCanBeChosen) {
    std::erase_if(h.fs.folders, [](const auto& folder) { return folder.first.starts_with("D:"); });
    h.refresh();
    EXPECT_EQ(h.dirOut.current, h.platform.folder);
    EXPECT_EQ(h.drvOut.current, "C:");
    EXPECT_EQ(h.drvOut.listed, std::vector<std::string>{"C:"});
    EXPECT_EQ(h.lblOutputFile.caption, "Output File: C:\\Tools\\FendralWin\\clean.tif");
    h.fs.folders["E:\\"] = {};
    h.refresh();
    EXPECT_EQ(h.drvIn.listed, (std::vector<std::string>{"C:", "E:"}));
    EXPECT_EQ(h.drvIn.current, "C:");
    h.drvIn.choose("E:");
    EXPECT_EQ(h.filIn.current, "E:\\");
}

// The output folder's text is taken out of the name once, in one pass, before it counts.
TEST(IsValid, NeedsANameBesidesCopiesOfTheOutputFolder) {
    const std::pair<const char*, bool> names[]{
        {"", false},         {"D:\\Out\\", false},         {"D:\\Out\\D:\\Out\\", false},
        {"d:\\out\\", true}, {"D:\\OD:\\Out\\ut\\", true}, {" ", true},
    };
    Harness h;
    h.fs.folders["D:\\Out"] = {};
    h.fs.folders[h.platform.folder] = {"in.tif"};
    h.filIn.click("in.tif");
    h.dirOut.setPath("D:\\Out");
    for (const auto& [name, ready] : names) {
        h.txtOutputFile.setText(name);
        EXPECT_EQ(h.cmdRunFendral.enabled, ready) << name;
    }
}

} // namespace
} // namespace fendralwin::test
