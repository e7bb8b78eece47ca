#include "job/Script.h"

#include <gtest/gtest.h>

namespace fendralwin {
namespace {

ScriptInputs workedExample() {
    return {.programFolder = "C:\\Tools\\FendralWin",
            .programFolderHasFendral = true,
            .radius = "1",
            .maxDiff = "10",
            .inputPath = "C:\\Images\\scan1.tif",
            .outputPath = "D:\\Out\\clean.tif"};
}

struct BatchCase {
    const char* what;
    ScriptInputs inputs;
    std::string expected;
};

void PrintTo(const BatchCase& c, std::ostream* out) {
    *out << c.what;
}

class BatchScriptTest : public testing::TestWithParam<BatchCase> {};

TEST_P(BatchScriptTest, IsExactlyThreeCrLfLines) {
    EXPECT_EQ(composeBatchScript(GetParam().inputs), GetParam().expected) << GetParam().what;
}

ScriptInputs with(void (*change)(ScriptInputs&)) {
    ScriptInputs inputs = workedExample();
    change(inputs);
    return inputs;
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, BatchScriptTest,
    testing::Values(
        BatchCase{"worked example", workedExample(),
                  "cd\\\r\ncd \\\"Tools\\FendralWin\"\r\n"
                  "Fendral 1 10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\clean.tif\" & exit /b\r\n"},
        BatchCase{"drive root", with([](ScriptInputs& i) { i.programFolder = "C:\\"; }),
                  "cd\\\r\ncd \\\"\"\r\n"
                  "Fendral 1 10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\clean.tif\" & exit /b\r\n"},
        BatchCase{"blanks in the folder",
                  with([](ScriptInputs& i) { i.programFolder = "C:\\Program Files\\FendralWin"; }),
                  "cd\\\r\ncd \\\"Program Files\\FendralWin\"\r\n"
                  "Fendral 1 10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\clean.tif\" & exit /b\r\n"},
        BatchCase{"network share: the first three characters go whatever they are",
                  with([](ScriptInputs& i) { i.programFolder = "\\\\server\\share\\apps"; }),
                  "cd\\\r\ncd \\\"erver\\share\\apps\"\r\n"
                  "Fendral 1 10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\clean.tif\" & exit /b\r\n"},
        BatchCase{"settings are not trimmed", with([](ScriptInputs& i) { i.radius = " 5 "; }),
                  "cd\\\r\ncd \\\"Tools\\FendralWin\"\r\n"
                  "Fendral  5  10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\clean.tif\" & exit /b\r\n"},
        BatchCase{"the output name keeps its letter case",
                  with([](ScriptInputs& i) { i.outputPath = "D:\\Out\\CLEAN.Tif"; }),
                  "cd\\\r\ncd \\\"Tools\\FendralWin\"\r\n"
                  "Fendral 1 10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\CLEAN.Tif\" & exit /b\r\n"},
        BatchCase{"percent signs are doubled so the interpreter hands them on",
                  with([](ScriptInputs& i) {
                      i.programFolder = "C:\\100%";
                      i.inputPath = "C:\\Images\\50% off.tif";
                      i.outputPath = "D:\\%OS%.tif";
                  }),
                  "cd\\\r\ncd \\\"100%%\"\r\n"
                  "Fendral 1 10 \"C:\\Images\\50%% off.tif\" \"D:\\%%OS%%.tif\" & exit /b\r\n"},
        BatchCase{"no file selected leaves the folder alone",
                  with([](ScriptInputs& i) { i.inputPath = "C:\\Images\\"; }),
                  "cd\\\r\ncd \\\"Tools\\FendralWin\"\r\n"
                  "Fendral 1 10 \"C:\\Images\\\" \"D:\\Out\\clean.tif\" & exit /b\r\n"}));

TEST(BatchScript, DropsThreeCharactersNotThreeBytes) {
    ScriptInputs inputs = workedExample();
    inputs.programFolder = "\\\\\xC3\xA9server\\apps"; // \\éserver\apps
    EXPECT_NE(composeBatchScript(inputs).find("cd \\\"server\\apps\""), std::string::npos);
}

TEST(PosixScript, QuotesEveryArgumentAndNamesTheProgramFoldersFendral) {
    const ScriptInputs inputs{.programFolder = "/opt/fw",
                              .programFolderHasFendral = true,
                              .radius = "1.5",
                              .maxDiff = "10",
                              .inputPath = "/home/u/it's.tif",
                              .outputPath = "/home/u/out.tif"};
    EXPECT_EQ(composePosixScript(inputs),
              "#!/bin/sh\n"
              "rm -f -- \"$0\"; cd '/opt/fw' || exit 1\n"
              "if '/opt/fw/Fendral' '1.5' '10' '/home/u/it'\\''s.tif' '/home/u/out.tif'; "
              "then echo; echo 'Fendral finished.'; else echo; echo 'Fendral failed.'; fi; "
              "printf 'Press Enter to close this window. '; read -r _\n");
}

TEST(PosixScript, FallsBackToTheSearchPathAndHandlesTheRootFolder) {
    ScriptInputs inputs{.programFolder = "/",
                        .radius = "1",
                        .maxDiff = "2",
                        .inputPath = "/a.tif",
                        .outputPath = "/b.tif"};
    EXPECT_NE(composePosixScript(inputs).find("\nif Fendral '1' '2'"), std::string::npos);
    inputs.programFolderHasFendral = true;
    EXPECT_NE(composePosixScript(inputs).find("\nif '/Fendral' '1'"), std::string::npos);
}

TEST(ScriptLength, CountsUtf16UnitsWithoutTheFinalLineBreak) {
    EXPECT_EQ(scriptLength(ScriptDialect::Batch, "ab\r\n"), 2U);
    EXPECT_EQ(scriptLength(ScriptDialect::Posix, "ab\n"), 2U);
    EXPECT_EQ(scriptLength(ScriptDialect::Batch, "\xC3\xA9\r\n"), 1U);         // é
    EXPECT_EQ(scriptLength(ScriptDialect::Batch, "\xF0\x9F\x98\x80\r\n"), 2U); // an emoji
}

} // namespace
} // namespace fendralwin
