// The composed fdw.bat run by the real command interpreter, with a probe in place of Fendral:
// names that the interpreter could read as its own syntax must reach Fendral unchanged.
#include "TempFolder.h"
#include "WindowsTestSupport.h"
#include "job/Script.h"
#include "platform/NativePlatform.h"
#include "platform/windows/Interpreter.h"
#include "platform/windows/SystemText.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace fendralwin::test {
namespace {

struct BatchCase {
    const char* what;
    std::wstring programFolder; // below a temporary folder on drive C:
    std::string radius;
    std::string inputPath;
    std::string outputPath;
};

class BatchRun : public testing::TestWithParam<BatchCase> {};

TEST_P(BatchRun, FendralReceivesExactlyTheIntendedArguments) {
    const BatchCase& c = GetParam();
    TempFolder temp;
    const auto folder = programFolderWithProbe(temp, c.programFolder);
    const ScriptInputs inputs{
        .programFolder = utf8(folder),
        .programFolderHasFendral = true,
        .radius = c.radius,
        .maxDiff = "10",
        .inputPath = c.inputPath,
        .outputPath = c.outputPath,
    };
    NativePlatform platform(inputs.programFolder);
    const std::string script =
        platform.writeScript(inputs.programFolder + "\\", composeBatchScript(inputs));
    platform.startScript(script, inputs.programFolder);
    EXPECT_EQ(probeArguments(folder),
              (std::vector<std::string>{c.radius, "10", c.inputPath, c.outputPath}));
}

// A job whose last command failed keeps its console until a key is pressed; one that worked
// lets it close, whatever the failing level, a crash's negative one too. (Wine's interpreter
// forgets the error level at a closing "exit /b", which the real one keeps: here the failing
// command ends the script. Its "if errorlevel 1" also holds for a negative level, which the real
// one's does not: the exact command line is checked too.)
TEST(JobConsole, WaitsForAKeyOnlyAfterAFailure) {
    EXPECT_EQ(
        windows::interpreterCommandLine("fdw.bat"),
        R"(cmd.exe /d /v:off /s /c "call .\fdw.bat & if errorlevel 1 (pause) else if not errorlevel 0 pause")");
    TempFolder temp;
    for (const auto& [last, held] : {std::pair{"cmd /c exit 0", false},
                                     {"cmd /c exit 3", true},
                                     {"cmd /c exit -1073741819", true},
                                     {"NoSuchFendral 1 10 a.tif b.tif", true}}) {
        std::ofstream(temp.path() / L"job.bat") << "@echo off\r\n" << last << "\r\n";
        const std::string output =
            outputOf(windows::interpreterCommandLine("job.bat"), temp.path());
        EXPECT_EQ(output.find("Press any key") != std::string::npos, held)
            << last << ": " << output;
    }
}

INSTANTIATE_TEST_SUITE_P(
    HostileNames, BatchRun,
    testing::Values(
        BatchCase{"Blanks", L"Program Files\\Fendral Win", "1.5", "C:\\My Images\\scan 1.tif",
                  "D:\\Out Put\\clean  copy.tif"},
        BatchCase{"Percent", L"x%OS%y 50%", "1", "C:\\50% off\\%OS%.tif", "C:\\%PATH%\\100%%.tif"},
        BatchCase{"Ampersand caret bang", L"R&D ^1!", "2", "C:\\R&D\\a^b!c!.tif",
                  "C:\\x & y\\^!%.tif"},
        BatchCase{"NonAscii", L"\u00e9t\u00e9", "0.5", "C:\\\xC3\xA9t\xC3\xA9\\\xC3\xA9.tif",
                  "C:\\\xC3\x89T\xC3\x89\\\xC3\xBC\xC3\xB1.tif"}),
    [](const testing::TestParamInfo<BatchCase>& info) {
        std::string name = info.param.what;
        std::erase(name, ' ');
        return name;
    });

} // namespace
} // namespace fendralwin::test
