#include "Fakes.h"

#include <gtest/gtest.h>

namespace fendralwin::test {
namespace {

// A Windows-style machine: the program in C:\Tools\FendralWin, images in C:\Images and on the
// root of C:, an output folder D:\Out and E:\Res.
class Choosers : public testing::Test {
protected:
    Choosers() {
        h.fs.folders["C:\\Images"] = {"scan1.tif", "scan2.tif"};
        h.fs.folders["C:\\"] = {"scan1.tif"};
        h.fs.folders["C:\\A"] = {"a.tif"};
        h.fs.folders["C:\\Empty"] = {};
        h.fs.folders["D:\\Out"] = {};
        h.fs.folders["D:\\"] = {"d.tif"};
        h.fs.folders["E:\\Res"] = {};
    }
    Harness h;
};

TEST_F(Choosers, OpeningAnInputFolderSetsItsFolderTextAndResetsTheLabel) {
    h.openIn("C:\\Images");
    EXPECT_EQ(h.form->variables().strInDir, "C:\\Images\\");
    EXPECT_EQ(h.filIn.current, "C:\\Images");
    EXPECT_EQ(h.lblInputFile.caption, "Input File:");
    EXPECT_FALSE(h.cmdRunFendral.enabled);

    h.filIn.click("scan1.tif");
    EXPECT_EQ(h.lblInputFile.caption, "Input File: C:\\Images\\scan1.tif");
    h.filIn.click("scan2.tif");
    EXPECT_EQ(h.lblInputFile.caption, "Input File: C:\\Images\\scan2.tif");
}

TEST_F(Choosers, InputFolderTextAddsTheSeparatorOnlyBelowARoot) {
    h.openIn("C:\\");
    EXPECT_EQ(h.form->variables().strInDir, "C:\\");
    h.filIn.click("scan1.tif");
    EXPECT_EQ(h.lblInputFile.caption, "Input File: C:\\scan1.tif");
    h.openIn("C:\\A");
    EXPECT_EQ(h.form->variables().strInDir, "C:\\A\\");
}

TEST_F(Choosers, AFileAndANameEnableRunAndANewInputFolderDisablesItAgain) {
    h.txtOutputFile.type("clean.tif");
    h.openIn("C:\\Images");
    EXPECT_FALSE(h.cmdRunFendral.enabled);
    h.filIn.click("scan1.tif");
    EXPECT_TRUE(h.cmdRunFendral.enabled);

    h.openIn("C:\\Empty");
    EXPECT_FALSE(h.cmdRunFendral.enabled);
    EXPECT_EQ(h.lblInputFile.caption, "Input File:");
    EXPECT_EQ(h.txtOutputFile.value, "clean.tif");
}

TEST_F(Choosers, ChoosingAnInputDriveSetsTheLabelAndReadinessTwiceAndEndsAsOpeningTheFolder) {
    h.openIn("C:\\Images");
    h.filIn.click("scan1.tif");
    h.log.clear();

    h.chooseInDrive("D:");

    EXPECT_EQ(h.log, (Log{"lblInputFile=Input File:", "run disabled",
                          "lblInputFile=Input File:", "run disabled"}));
    EXPECT_EQ(h.dirIn.current, "D:\\");
    EXPECT_EQ(h.filIn.current, "D:\\");
    EXPECT_EQ(h.filIn.selected, -1);
    EXPECT_EQ(h.form->variables().strInDir, "D:\\");
}

TEST_F(Choosers, AnInputDriveThatCannotBeOpenedChangesNothingButTheDriveListGoesBack) {
    h.openIn("C:\\Images");
    h.filIn.click("scan1.tif");
    h.fs.unopenable.insert("A:\\");
    h.log.clear();

    h.chooseInDrive("A:");

    EXPECT_TRUE(h.log.empty());
    EXPECT_EQ(h.drvIn.current, "C:");
    EXPECT_EQ(h.dirIn.current, "C:\\Images");
    EXPECT_EQ(h.form->variables().strInDir, "C:\\Images\\");
    EXPECT_EQ(h.lblInputFile.caption, "Input File: C:\\Images\\scan1.tif");
}

TEST_F(Choosers, OutputLabelFollowsTheFolderAndTheTypingCharacterByCharacter) {
    h.openOut("D:\\Out");
    EXPECT_EQ(h.form->variables().strOutDir, "D:\\Out\\");
    EXPECT_EQ(h.lblOutputFile.caption, "Output File: D:\\Out\\");
    h.log.clear();

    h.txtOutputFile.type("cl");

    EXPECT_EQ(h.log, (Log{"lblOutputFile=Output File: D:\\Out\\c", "run disabled",
                          "lblOutputFile=Output File: D:\\Out\\cl", "run disabled"}));
}

TEST_F(Choosers, RunIsEnabledFromTheFirstTypedCharacterWhenAFileIsSelected) {
    h.openIn("C:\\Images");
    h.filIn.click("scan1.tif");
    h.txtOutputFile.type("c");
    EXPECT_TRUE(h.cmdRunFendral.enabled);
    h.txtOutputFile.setText("");
    EXPECT_FALSE(h.cmdRunFendral.enabled);
    EXPECT_EQ(h.lblOutputFile.caption, "Output File: C:\\Tools\\FendralWin\\");
}

TEST_F(Choosers, ANewOutputFolderKeepsTheTypedName) {
    h.txtOutputFile.type("clean.tif");
    h.openOut("E:\\Res");
    EXPECT_EQ(h.lblOutputFile.caption, "Output File: E:\\Res\\clean.tif");
    EXPECT_EQ(h.txtOutputFile.value, "clean.tif");
    h.openOut("D:\\");
    EXPECT_EQ(h.lblOutputFile.caption, "Output File: D:\\clean.tif");
}

TEST_F(Choosers, TheInputSideNeverResetsTheOutputSide) {
    h.openOut("D:\\Out");
    h.txtOutputFile.type("x.tif");
    h.openIn("C:\\Images");
    h.chooseInDrive("D:");
    EXPECT_EQ(h.lblOutputFile.caption, "Output File: D:\\Out\\x.tif");
    EXPECT_EQ(h.form->variables().strOutDir, "D:\\Out\\");
}

TEST_F(Choosers, ChoosingAnOutputDriveReevaluatesReadinessTwice) {
    h.openIn("C:\\Images");
    h.filIn.click("scan1.tif");
    h.txtOutputFile.type("clean.tif");
    h.log.clear();

    h.chooseOutDrive("D:");

    EXPECT_EQ(h.log,
              (Log{"lblOutputFile=Output File: D:\\clean.tif", "run enabled", "run enabled"}));
    EXPECT_EQ(h.form->variables().strOutDir, "D:\\");
}

TEST_F(Choosers, AnOutputDriveThatCannotBeOpenedLeavesTheOutputSideAsItWas) {
    h.openOut("D:\\Out");
    h.fs.unopenable.insert("A:\\");
    h.log.clear();
    h.chooseOutDrive("A:");
    EXPECT_TRUE(h.log.empty());
    EXPECT_EQ(h.drvOut.current, "D:");
    EXPECT_EQ(h.form->variables().strOutDir, "D:\\Out\\");
}

TEST(ChoosersPosix, FolderTextsUseTheSlash) {
    FakePlatform platform;
    platform.sep = '/';
    platform.dialect = ScriptDialect::Posix;
    platform.folder = "/opt/fw";
    Harness h(platform);
    h.fs.folders["/"] = {"root.tif"};
    h.fs.folders["/home/u/Out"] = {};

    h.openIn("/");
    h.filIn.click("root.tif");
    EXPECT_EQ(h.lblInputFile.caption, "Input File: /root.tif");
    h.openOut("/home/u/Out");
    h.txtOutputFile.type("a.tif");
    EXPECT_EQ(h.lblOutputFile.caption, "Output File: /home/u/Out/a.tif");
    EXPECT_TRUE(h.cmdRunFendral.enabled);
}

struct ReadinessCase {
    std::string outputFolder;
    std::string typed;
    bool ready;
};

void PrintTo(const ReadinessCase& c, std::ostream* out) {
    *out << "folder " << testing::PrintToString(c.outputFolder) << ", box "
         << testing::PrintToString(c.typed);
}

class IsValidTest : public testing::TestWithParam<ReadinessCase> {};

TEST_P(IsValidTest, NeedsANameBesidesCopiesOfTheOutputFolder) {
    Harness h;
    h.fs.folders["C:\\Images"] = {"scan1.tif"};
    h.fs.folders[GetParam().outputFolder] = {};
    h.openIn("C:\\Images");
    h.filIn.click("scan1.tif");
    h.openOut(GetParam().outputFolder);
    h.txtOutputFile.setText(GetParam().typed);
    EXPECT_EQ(h.form->IsValid(), GetParam().ready);
    EXPECT_EQ(h.cmdRunFendral.enabled, GetParam().ready);
}

INSTANTIATE_TEST_SUITE_P(OutputBox, IsValidTest,
                         testing::Values(ReadinessCase{"D:\\Out", "", false},
                                         ReadinessCase{"D:\\Out", "D:\\Out\\", false},
                                         ReadinessCase{"D:\\Out", "D:\\Out\\D:\\Out\\", false},
                                         ReadinessCase{"D:\\Out", "clean.tif", true},
                                         ReadinessCase{"D:\\Out", "D:\\Out\\clean.tif", true},
                                         ReadinessCase{"D:\\Out", "d:\\out\\", true},
                                         ReadinessCase{"D:\\Out", " ", true},
                                         ReadinessCase{"D:\\Out", "D:\\OD:\\Out\\ut\\", true},
                                         ReadinessCase{"C:\\", "C:\\", false},
                                         ReadinessCase{"C:\\", "C:\\C:\\", false},
                                         ReadinessCase{"C:\\", "C:\\scan.tif", true}));

TEST(IsValid, NeverWithoutAnInputFile) {
    Harness h;
    for (const char* typed : {"clean.tif", "x", "C:\\Tools\\FendralWin\\a.tif"}) {
        h.txtOutputFile.setText(typed);
        EXPECT_FALSE(h.form->IsValid()) << typed;
        EXPECT_FALSE(h.cmdRunFendral.enabled);
    }
}

} // namespace
} // namespace fendralwin::test
