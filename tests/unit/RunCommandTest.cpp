#include "Fakes.h"
#include "job/Script.h"

#include <gtest/gtest.h>

namespace fendralwin::test {
namespace {

const std::string kScript = "C:\\Tools\\FendralWin\\fdw.bat";

// Ready to run: scan1.tif chosen in C:\Images, output folder D:\Out, name clean.tif.
class RunCommand : public testing::Test {
protected:
    RunCommand() {
        h.fs.folders["C:\\Images"] = {"scan1.tif"};
        h.fs.folders["D:\\Out"] = {};
        h.openIn("C:\\Images");
        h.filIn.click("scan1.tif");
        h.openOut("D:\\Out");
        h.txtOutputFile.type("clean.tif");
        h.log.clear();
    }
    void run() { h.form->cmdRunFendral_Click(); }
    std::vector<std::string> titles() const {
        std::vector<std::string> result;
        for (const auto& box : h.boxes.shown) {
            result.push_back(box.title);
        }
        return result;
    }
    Harness h;
};

TEST_F(RunCommand, WritesTheScriptAndStartsItInTheProgramFolder) {
    run();
    EXPECT_TRUE(h.boxes.shown.empty());
    ASSERT_EQ(h.platform.starts.size(), 1U);
    EXPECT_EQ(h.platform.starts[0].script, kScript);
    EXPECT_EQ(h.platform.starts[0].workingFolder, "C:\\Tools\\FendralWin");
    EXPECT_EQ(h.platform.starts[0].scriptText,
              "cd\\\r\ncd \\\"Tools\\FendralWin\"\r\n"
              "Fendral 1 10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\clean.tif\" & exit /b\r\n");
    EXPECT_TRUE(h.cmdRunFendral.enabled);
}

TEST_F(RunCommand, RunningTwiceWritesTheSameScriptAndStartsTwice) {
    run();
    const std::string first = h.platform.files.at(kScript);
    run();
    EXPECT_EQ(h.platform.files.at(kScript), first);
    EXPECT_EQ(h.platform.starts.size(), 2U);
}

class ExtensionTest : public RunCommand, public testing::WithParamInterface<const char*> {};

TEST_P(ExtensionTest, PassesAnyLetterCaseOfTif) {
    h.txtOutputFile.setText(GetParam());
    run();
    EXPECT_TRUE(h.boxes.shown.empty());
    EXPECT_EQ(h.platform.starts.size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(Names, ExtensionTest,
                         testing::Values("clean.tif", "CLEAN.TIF", "clean.Tif", ".tif"));

class BadExtensionTest : public RunCommand, public testing::WithParamInterface<const char*> {};

TEST_P(BadExtensionTest, IsRefusedWithTheBoxEmptiedRunDisabledAndFocusInTheBox) {
    h.txtOutputFile.setText(GetParam());
    h.txtRadius.setText(""); // a second fault must not give a second message
    h.log.clear();

    run();

    ASSERT_EQ(h.boxes.shown.size(), 1U);
    EXPECT_EQ(h.boxes.shown[0], (ShownMessage{MessageKind::Plain, "FendralWin",
                                              "The output file must have a \".TIF\" extension."}));
    EXPECT_EQ(h.txtOutputFile.value, "");
    EXPECT_EQ(h.log,
              (Log{"lblOutputFile=Output File: D:\\Out\\", "run disabled", "focus txtOutputFile"}));
    EXPECT_TRUE(h.platform.files.empty());
}

INSTANTIATE_TEST_SUITE_P(Names, BadExtensionTest,
                         testing::Values("clean.tiff", "clean.tf", "clean", "abc", "clean.tif "));

TEST_F(RunCommand, ANameWithCharactersNoFileNameMayHoldIsRefusedAndKept) {
    for (const char* name : {"a\"b.tif", "a|b.tif", "a<b.tif", "a*.tif", "a?.tif", "a\tb.tif"}) {
        h.boxes.shown.clear();
        h.log.clear();
        h.txtOutputFile.setText(name);
        h.log.clear();
        run();
        ASSERT_EQ(h.boxes.shown.size(), 1U) << name;
        EXPECT_EQ(h.boxes.shown[0].text,
                  "The output file name contains characters that are not allowed in file names.");
        EXPECT_EQ(h.txtOutputFile.value, name);
        EXPECT_EQ(h.log, Log{"focus txtOutputFile"});
    }
    EXPECT_TRUE(h.platform.starts.empty());
}

TEST_F(RunCommand, BlankSettingsAreRefusedRadiusFirstAndKept) {
    struct Case {
        std::string radius, maxDiff, message, focus;
    };
    const std::vector<Case> cases{
        {"", "10", "The Radius setting must be set to a numeric value.", "focus txtRadius"},
        {"   ", "10", "The Radius setting must be set to a numeric value.", "focus txtRadius"},
        {"", "", "The Radius setting must be set to a numeric value.", "focus txtRadius"},
        {"1", "", "The MaxDiff setting must be set to a numeric value.", "focus txtMaxDiff"},
    };
    for (const auto& c : cases) {
        h.txtRadius.value = c.radius;
        h.txtMaxDiff.value = c.maxDiff;
        h.boxes.shown.clear();
        h.log.clear();
        run();
        ASSERT_EQ(h.boxes.shown.size(), 1U);
        EXPECT_EQ(h.boxes.shown[0], (ShownMessage{MessageKind::Plain, "FendralWin", c.message}));
        EXPECT_EQ(h.log, Log{c.focus});
        EXPECT_EQ(h.txtRadius.value, c.radius);
        EXPECT_EQ(h.txtMaxDiff.value, c.maxDiff);
    }
    EXPECT_TRUE(h.platform.starts.empty());
}

TEST_F(RunCommand, ASettingWithBlanksAroundItIsNotBlankAndGoesIntoTheScriptAsItIs) {
    h.txtRadius.value = " 5 ";
    run();
    ASSERT_EQ(h.platform.starts.size(), 1U);
    EXPECT_NE(h.platform.starts[0].scriptText.find("Fendral  5  10 "), std::string::npos);
}

TEST_F(RunCommand, TheSamePathGivesTheOutputFileWarningAndNothingElse) {
    h.openOut("C:\\Images");
    h.txtOutputFile.setText("scan1.tif");
    h.log.clear();
    run();
    ASSERT_EQ(h.boxes.shown.size(), 1U);
    EXPECT_EQ(h.boxes.shown[0], (ShownMessage{MessageKind::Warning, "Output File Error",
                                              "The input and output files need to be either\r"
                                              "different names or in different directories."}));
    EXPECT_TRUE(h.log.empty());
    EXPECT_TRUE(h.platform.files.empty());
    EXPECT_TRUE(h.platform.starts.empty());
}

TEST_F(RunCommand, AnotherLetterCaseIsAnotherPathUnlessItNamesTheSameFile) {
    h.openOut("C:\\Images");
    h.txtOutputFile.setText("SCAN1.TIF");
    run();
    EXPECT_EQ(h.platform.starts.size(), 1U);

    // On a file system that ignores case, both names reach the input file.
    h.platform.sameFiles.insert({"C:\\Images\\scan1.tif", "C:\\Images\\SCAN1.TIF"});
    run();
    EXPECT_EQ(titles(), std::vector<std::string>{"Output File Error"});
    EXPECT_EQ(h.platform.starts.size(), 1U);
}

TEST_F(RunCommand, AFailedWriteIsReportedAndNoEarlierScriptIsStarted) {
    h.platform.files[kScript] = "an earlier job";
    h.platform.writeFailure = "Permission denied";
    run();
    EXPECT_EQ(h.boxes.shown, (std::vector<ShownMessage>{{MessageKind::Critical, "Batch File Error",
                                                         "Permission denied"}}));
    EXPECT_TRUE(h.platform.starts.empty());
    EXPECT_EQ(h.platform.files.at(kScript), "an earlier job");
}

TEST_F(RunCommand, AnInputThatIsNoLongerAFileIsAFendralErrorAndNothingIsWritten) {
    h.platform.missingFiles.insert("C:\\Images\\scan1.tif");
    run();
    EXPECT_EQ(h.boxes.shown, (std::vector<ShownMessage>{{MessageKind::Critical, "Fendral Error",
                                                         "C:\\Images\\scan1.tif: No such file"}}));
    EXPECT_TRUE(h.platform.files.empty());
    EXPECT_TRUE(h.platform.starts.empty());
}

TEST_F(RunCommand, AFailedStartIsAFendralError) {
    h.platform.startFailure = "No terminal program was found";
    run();
    EXPECT_EQ(h.boxes.shown, (std::vector<ShownMessage>{{MessageKind::Critical, "Fendral Error",
                                                         "No terminal program was found"}}));
    EXPECT_TRUE(h.cmdRunFendral.enabled);
}

TEST_F(RunCommand, TheScriptMayHold32767CharactersButNotOneMore) {
    // The worked example's script has this many characters besides the output name's padding.
    const std::string base = "cd\\\r\ncd \\\"Tools\\FendralWin\"\r\n"
                             "Fendral 1 10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\.tif\" & exit /b";
    const std::size_t padding = kMaxScriptLength - base.size();

    h.txtOutputFile.setText(std::string(padding, 'a') + ".tif");
    run();
    EXPECT_TRUE(h.boxes.shown.empty());
    ASSERT_EQ(h.platform.starts.size(), 1U);
    EXPECT_EQ(h.platform.files.at(kScript).size(), kMaxScriptLength + 2);

    h.platform.files[kScript] = "kept";
    h.txtOutputFile.setText(std::string(padding + 1, 'a') + ".tif");
    run();
    ASSERT_EQ(titles(), std::vector<std::string>{"Batch File Error"});
    EXPECT_NE(h.boxes.shown[0].text.find("Overflow"), std::string::npos);
    EXPECT_EQ(h.platform.files.at(kScript), "kept");
    EXPECT_EQ(h.platform.starts.size(), 1U);
}

TEST(RunCommandPosix, RefusesOnlyControlCharactersAndWritesTheShellScript) {
    FakePlatform platform;
    platform.sep = '/';
    platform.dialect = ScriptDialect::Posix;
    platform.folder = "/opt/fw";
    Harness h(platform);
    h.fs.folders["/img"] = {"in.tif"};
    h.openIn("/img");
    h.filIn.click("in.tif");
    h.txtOutputFile.type("what?\"*.tif");

    h.form->cmdRunFendral_Click();

    EXPECT_TRUE(h.boxes.shown.empty());
    ASSERT_EQ(h.platform.starts.size(), 1U);
    EXPECT_EQ(h.platform.starts[0].script, "/opt/fw/fdw.sh");
    EXPECT_NE(h.platform.starts[0].scriptText.find("'/opt/fw/what?\"*.tif'"), std::string::npos);

    h.txtOutputFile.setText("new\nline.tif");
    h.form->cmdRunFendral_Click();
    EXPECT_EQ(h.boxes.shown.size(), 1U);
}

} // namespace
} // namespace fendralwin::test
