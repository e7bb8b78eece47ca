#include "job/Script.h"

#include <gtest/gtest.h>

namespace fendralwin {
namespace {

// The worked example: C:\Tools\FendralWin, Radius 1, MaxDiff 10, C:\Images\scan1.tif to
// D:\Out\clean.tif; each case changes one thing.
ScriptInputs workedExample(void (*change)(ScriptInputs&) = [](ScriptInputs&) {}) {
    ScriptInputs inputs{.programFolder = "C:\\Tools\\FendralWin",
                        .programFolderHasFendral = true,
                        .radius = "1",
                        .maxDiff = "10",
                        .inputPath = "C:\\Images\\scan1.tif",
                        .outputPath = "D:\\Out\\clean.tif"};
    change(inputs);
    return inputs;
}

TEST(BatchScript, IsExactlyThreeCrLfLines) {
    EXPECT_EQ(composeBatchScript(workedExample()),
              "cd\\\r\ncd \\\"Tools\\FendralWin\"\r\n"
              "Fendral 1 10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\clean.tif\" & exit /b\r\n");
}

TEST(BatchScript, TakesEachEntryAsItStandsButForPercentSigns) {
    struct Case {
        const char* what;
        ScriptInputs inputs;
        const char* line2;
        const char* line3;
    };
    // clang-format off
    const Case cases[]{
        {"a drive root", workedExample([](ScriptInputs& i) { i.programFolder = "C:\\"; }),
         "cd \\\"\"", "Fendral 1 10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\clean.tif\""},
        {"blanks", workedExample([](ScriptInputs& i) { i.programFolder = "C:\\Program Files\\FW"; }),
         "cd \\\"Program Files\\FW\"", "Fendral 1 10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\clean.tif\""},
        // The first three characters go whatever they are.
        {"a network share", workedExample([](ScriptInputs& i) { i.programFolder = "\\\\server\\share\\apps"; }),
         "cd \\\"erver\\share\\apps\"", "Fendral 1 10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\clean.tif\""},
        {"three characters, not bytes", workedExample([](ScriptInputs& i) { i.programFolder = "\\\\\xC3\xA9server\\apps"; }),
         "cd \\\"server\\apps\"", "Fendral 1 10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\clean.tif\""},
        {"settings untrimmed", workedExample([](ScriptInputs& i) { i.radius = " 5 "; }),
         "cd \\\"Tools\\FendralWin\"", "Fendral  5  10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\clean.tif\""},
        {"letter case kept", workedExample([](ScriptInputs& i) { i.outputPath = "D:\\Out\\CLEAN.Tif"; }),
         "cd \\\"Tools\\FendralWin\"", "Fendral 1 10 \"C:\\Images\\scan1.tif\" \"D:\\Out\\CLEAN.Tif\""},
        {"no file selected", workedExample([](ScriptInputs& i) { i.inputPath = "C:\\Images\\"; }),
         "cd \\\"Tools\\FendralWin\"", "Fendral 1 10 \"C:\\Images\\\" \"D:\\Out\\clean.tif\""},
        // The interpreter expands "%" even inside quotes; doubled, it hands it on.
        {"percent signs", workedExample([](ScriptInputs& i) {
             i.programFolder = "C:\\100%"; i.inputPath = "C:\\50% off.tif"; i.outputPath = "D:\\%OS%.tif"; }),
         "cd \\\"100%%\"", "Fendral 1 10 \"C:\\50%% off.tif\" \"D:\\%%OS%%.tif\""},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(composeBatchScript(c.inputs),
                  std::string("cd\\\r\n") + c.line2 + "\r\n" + c.line3 + " & exit /b\r\n")
            << c.what;
    }
}

TEST(PosixScript, QuotesEveryArgumentRemovesItselfAndWaitsForEnter) {
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
