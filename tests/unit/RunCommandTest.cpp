// The Run command where only fakes can reach: failures of the platform, the script's size limit,
// the names each platform refuses, and files that are one by identity.
#include "Fakes.h"
#include "job/Script.h"

#include <gtest/gtest.h>

namespace fendralwin::test {
namespace {

const std::string kScript = "C:\\Tools\\FendralWin\\fdw.bat";

// Ready to run: scan1.tif chosen in C:\Images, output folder D:\Out, name clean.tif.
class RunCommand : public testing::Test {
protected:
    explicit RunCommand(FakePlatform platform = {})
        : h(std::move(platform)) {
        h.fs.folders[h.platform.folder] = {"scan1.tif"};
        h.filIn.click("scan1.tif");
        h.txtOutputFile.setText("clean.tif");
        h.log.clear();
    }
    void run() { h.cmdRunFendral.press(); }
    std::vector<std::string> titles() const {
        std::vector<std::string> result;
        for (const auto& box : h.boxes.shown) {
            result.push_back(box.title);
        }
        return result;
    }
    Harness h;
};

TEST_F(RunCommand, StartsTheScriptItWroteInTheProgramFolder) {
    run();
    ASSERT_EQ(h.platform.starts.size(), 1U);
    EXPECT_EQ(h.platform.starts[0].script, kScript);
    EXPECT_EQ(h.platform.starts[0].workingFolder, "C:\\Tools\\FendralWin");
}

TEST_F(RunCommand, AFailedWriteIsReportedAndNoEarlierScriptIsStarted) {
    h.platform.files[kScript] = "an earlier job";
    h.platform.writeFailure = "Permission denied";
    run();
    EXPECT_EQ(h.boxes.shown, (std::vector<ShownMessage>{{MessageKind::Critical, "Batch File Error",
                                                         "Permission denied"}}));
    EXPECT_TRUE(h.platform.starts.empty());
}

TEST_F(RunCommand, AFailedStartIsAFendralError) {
    h.platform.startFailure = "No terminal program was found";
    run();
    EXPECT_EQ(h.boxes.shown, (std::vector<ShownMessage>{{MessageKind::Critical, "Fendral Error",
                                                         "No terminal program was found"}}));
    EXPECT_TRUE(h.cmdRunFendral.enabled);
}

TEST_F(RunCommand, AMissingInputIsNamedInAFendralErrorAndNothingIsWritten) {
    h.platform.missingFiles.insert("C:\\Tools\\FendralWin\\scan1.tif");
    run();
    EXPECT_EQ(h.boxes.shown,
              (std::vector<ShownMessage>{{MessageKind::Critical, "Fendral Error",
                                          "C:\\Tools\\FendralWin\\scan1.tif: No such file"}}));
    EXPECT_TRUE(h.platform.files.empty());
}

TEST_F(RunCommand, AnotherPathToTheInputFileIsTheSameFile) {
    h.txtOutputFile.setText("SCAN1.TIF");
    h.platform.sameFiles.insert(
        {"C:\\Tools\\FendralWin\\scan1.tif", "C:\\Tools\\FendralWin\\SCAN1.TIF"});
    run();
    EXPECT_EQ(titles(), std::vector<std::string>{"Output File Error"});
    EXPECT_TRUE(h.platform.files.empty());
}

TEST_F(RunCommand, TheScriptMayHold32767CharactersButNotOneMore) {
    // The script's length besides the output name's padding.
    const std::size_t base = composeBatchScript({.programFolder = h.platform.folder,
                                                 .radius = "1",
                                                 .maxDiff = "10",
                                                 .inputPath = "C:\\Tools\\FendralWin\\scan1.tif",
                                                 .outputPath = "C:\\Tools\\FendralWin\\.tif"})
                                 .size() -
                             2;
    const std::size_t padding = kMaxScriptLength - base;

    h.txtOutputFile.setText(std::string(padding, 'a') + ".tif");
    run();
    EXPECT_TRUE(h.boxes.shown.empty());
    ASSERT_EQ(h.platform.starts.size(), 1U);
    EXPECT_EQ(h.platform.files.at(kScript).size(), kMaxScriptLength + 2);

    h.platform.files[kScript] = "kept";
    h.txtOutputFile.setText(std::string(padding + 1, 'a') + ".tif");
    run();
    ASSERT_EQ(titles(), std::vector<std::string>{"Batch File Error"});
    EXPECT_EQ(h.boxes.shown[0].text,
              "Overflow: the script would be 32768 characters long; it can hold at most 32767.");
    EXPECT_EQ(h.platform.files.at(kScript), "kept");
    EXPECT_EQ(h.platform.starts.size(), 1U);
}

TEST_F(RunCommand, WindowsRefusesTheCharactersNoFileNameMayHold) {
    for (const char* name : {"a\"b.tif", "a|b.tif", "a<b.tif", "a>b.tif", "a*.tif", "a?.tif"}) {
        h.txtOutputFile.setText(name);
        run();
    }
    EXPECT_EQ(h.boxes.shown.size(), 6U);
    EXPECT_TRUE(h.platform.starts.empty());
}

class PosixRunCommand : public RunCommand {
protected:
    static FakePlatform posix() {
        FakePlatform platform;
        platform.sep = '/';
        platform.dialect = ScriptDialect::Posix;
        platform.folder = "/opt/fw";
        return platform;
    }
    PosixRunCommand()
        : RunCommand(posix()) {}
};

TEST_F(PosixRunCommand, TakesWhatWindowsRefusesButNotALineBreak) {
    h.txtOutputFile.setText("what?\"*<>|.tif");
    run();
    EXPECT_TRUE(h.boxes.shown.empty());
    ASSERT_EQ(h.platform.starts.size(), 1U);
    EXPECT_EQ(h.platform.starts[0].script, "/opt/fw/fdw.sh");

    h.txtOutputFile.setText("new\nline.tif");
    run();
    EXPECT_EQ(h.boxes.shown.size(), 1U);
}

} // namespace
} // namespace fendralwin::test
