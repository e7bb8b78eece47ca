// The Run command where only fakes can reach: failures of the platform, the script's size limit,
// the names each platform refuses, and files that are one by identity.
#include "Fakes.h"
#include "job/OutputName.h"
#include "job/Script.h"

#include <gtest/gtest.h>

namespace fendralwin::test {
namespace {

const std::string kInput = "C:\\Tools\\FendralWin\\scan1.tif";
const std::string kScript = "C:\\Tools\\FendralWin\\fdw.bat";

// Ready to run: scan1.tif chosen in the program folder and `name` typed.
std::unique_ptr<Harness> ready(const std::string& name, FakePlatform platform = {}) {
    FakeFileSystem files;
    files.folders[platform.folder] = {"scan1.tif"};
    auto h = std::make_unique<Harness>(std::move(platform), files);
    h->filIn.click("scan1.tif");
    h->txtOutputFile.setText(name);
    return h;
}

TEST(RunCommand, StartsTheScriptItWroteWithTheProgramFolderAsItsWorkingFolder) {
    const auto h = ready("clean.tif");
    h->cmdRunFendral.press();
    ASSERT_EQ(h->platform.starts.size(), 1U);
    EXPECT_EQ(h->platform.starts[0].script, kScript);
    EXPECT_EQ(h->platform.starts[0].workingFolder, "C:\\Tools\\FendralWin");
}

TEST(RunCommand, AFailureIsShownInItsBoxAndNothingFurtherIsDone) {
    struct Case {
        void (*fail)(FakePlatform&);
        const char* name;
        ShownMessage box;
        std::size_t written; // scripts written
    };
    const Case cases[]{
        {[](FakePlatform& p) { p.writeFailure = "Permission denied"; },
         "clean.tif",
         {MessageKind::Critical, "Batch File Error", "Permission denied"},
         0},
        {[](FakePlatform& p) { p.startFailure = "No terminal"; },
         "clean.tif",
         {MessageKind::Critical, "Fendral Error", "No terminal"},
         1},
        {[](FakePlatform& p) { p.missingFiles.insert(kInput); },
         "clean.tif",
         {MessageKind::Critical, "Fendral Error", kInput + ": No such file"},
         0},
        // Two names of one file, as on a file system that ignores letter case.
        {[](FakePlatform& p) {
             p.sameFiles.insert({kInput, "C:\\Tools\\FendralWin\\SCAN1.TIF"});
         },
         "SCAN1.TIF",
         {MessageKind::Warning, "Output File Error",
          "The input and output files need to be either\rdifferent names or in different "
          "directories."},
         0},
    };
    for (const Case& c : cases) {
        FakePlatform platform;
        c.fail(platform);
        const auto h = ready(c.name, platform);
        h->cmdRunFendral.press();
        EXPECT_EQ(h->boxes.shown, std::vector<ShownMessage>{c.box}) << c.box.text;
        EXPECT_EQ(h->platform.files.size(), c.written) << c.box.text;
        EXPECT_TRUE(h->platform.starts.empty()) << c.box.text;
        EXPECT_TRUE(h->cmdRunFendral.enabled);
    }
}

TEST(RunCommand, TheScriptMayHold32767CharactersButNotOneMore) {
    // The script's length besides the output name's padding.
    const std::size_t base = composeBatchScript({.programFolder = "C:\\Tools\\FendralWin",
                                                 .radius = "1",
                                                 .maxDiff = "10",
                                                 .inputPath = kInput,
                                                 .outputPath = "C:\\Tools\\FendralWin\\.tif"})
                                 .size() -
                             2;
    const auto h = ready(std::string(kMaxScriptLength - base, 'a') + ".tif");
    h->cmdRunFendral.press();
    EXPECT_TRUE(h->boxes.shown.empty());
    EXPECT_EQ(h->platform.files.at(kScript).size(), kMaxScriptLength + 2);

    h->platform.files[kScript] = "kept";
    h->txtOutputFile.setText(std::string(kMaxScriptLength - base + 1, 'a') + ".tif");
    h->cmdRunFendral.press();
    EXPECT_EQ(h->boxes.shown,
              (std::vector<ShownMessage>{{MessageKind::Critical, "Batch File Error", "Overflow"}}));
    EXPECT_EQ(h->platform.files.at(kScript), "kept");
    EXPECT_EQ(h->platform.starts.size(), 1U);
}

TEST(RunCommand, WindowsRefusesTheCharactersNoFileNameMayHoldAndPosixOnlyControlCharacters) {
    FakePlatform posix;
    posix.sep = '/';
    posix.dialect = ScriptDialect::Posix;
    posix.folder = "/opt/fw";
    for (const char* name : {"a\"b.tif", "a|b.tif", "a<b.tif", "a>b.tif", "a*.tif", "a?.tif"}) {
        const auto windows = ready(name);
        windows->cmdRunFendral.press();
        EXPECT_EQ(windows->boxes.shown.size(), 1U) << name;
        const auto onPosix = ready(name, posix);
        onPosix->cmdRunFendral.press();
        EXPECT_EQ(onPosix->platform.starts.size(), 1U) << name;
    }
}

// The rule behind the extension check; what Run does with a refused name is a behaviour row.
TEST(OutputName, EndsInTifOfAnyLetterCaseAndNothingAfter) {
    const std::pair<const char*, bool> names[]{
        {"clean.tif", true},   {"CLEAN.TIF", true},   {"clean.Tif", true}, {".tif", true},
        {"clean.tiff", false}, {"clean.tf", false},   {"clean", false},    {"abc", false},
        {"tif", false},        {"clean.tif ", false},
    };
    for (const auto& [name, tif] : names) {
        EXPECT_EQ(HasTifExtension(name), tif) << name;
    }
}

} // namespace
} // namespace fendralwin::test
