// The composed fdw.bat run by the real command interpreter, with a probe in place of Fendral:
// names that the interpreter could read as its own syntax must reach Fendral unchanged.
#include "TempFolder.h"
#include "WindowsTestSupport.h"
#include "job/Script.h"
#include "platform/NativePlatform.h"

#include <chrono>
#include <gtest/gtest.h>
#include <set>
#include <thread>
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

std::set<std::vector<std::string>> heldProbeArguments(const std::filesystem::path& folder) {
    std::set<std::vector<std::string>> received;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().wstring().starts_with(L"fendral-args-")) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::vector<std::string> lines;
            for (std::string line; std::getline(in, line);) {
                lines.push_back(line);
            }
            received.insert(lines);
        }
    }
    return received;
}

// A bounded wait for another process, not a measure of its speed.
template <typename Condition>
void waitUntil(Condition done) {
    for (int tries = 0; tries < 600 && !done(); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// A second Run while the first job's Fendral still works: the interpreter reopens its script
// after each command, and must find nothing of the second Run's names to run.
TEST(BatchRun, ASecondRunDuringAJobRunsNothingOfItsNamesInTheFirst) {
    TempFolder temp;
    const auto folder = programFolderWithProbe(temp, L"prog");
    const auto hold = temp.path() / L"go";
    ASSERT_TRUE(SetEnvironmentVariableW(L"PROBE_HOLD", hold.c_str()));
    NativePlatform platform(utf8(folder));
    const auto job = [&](std::string input, std::string output) {
        return ScriptInputs{.programFolder = utf8(folder),
                            .programFolderHasFendral = true,
                            .radius = "1",
                            .maxDiff = "10",
                            .inputPath = std::move(input),
                            .outputPath = std::move(output)};
    };
    std::string attack;
    // Both lines stay within the interpreter's 8191 characters; the second is the longer, so
    // that where the first would read on lies inside the second's name.
    while (attack.size() < 6000) {
        attack += "x&echo.>PWNED&";
    }
    const ScriptInputs first = job("C:\\in\\" + std::string(3000, 'a') + ".tif", "C:\\out\\a.tif");
    const ScriptInputs second = job("C:\\in\\b.tif", "C:\\out\\" + attack + ".tif");
    const auto arguments = [](const ScriptInputs& inputs) {
        return std::vector<std::string>{inputs.radius, inputs.maxDiff, inputs.inputPath,
                                        inputs.outputPath};
    };
    const std::string appDir = utf8(folder) + "\\";
    std::set expected{arguments(first)};
    platform.startScript(platform.writeScript(appDir, composeBatchScript(first)), utf8(folder));
    waitUntil([&] { return heldProbeArguments(folder).size() == 1; });
    try {
        platform.startScript(platform.writeScript(appDir, composeBatchScript(second)),
                             utf8(folder));
        expected.insert(arguments(second));
        waitUntil([&] { return heldProbeArguments(folder).size() == 2; });
    } catch (const PlatformError&) {
        // Wine's interpreter keeps its script open while it runs, so the rewrite is refused.
    }
    std::ofstream(hold) << "";
    SetEnvironmentVariableW(L"PROBE_HOLD", nullptr);
    // The interpreter has ended once nobody holds the script open any more.
    waitUntil([&] {
        const HANDLE script = CreateFileW((folder / L"fdw.bat").c_str(), GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        CloseHandle(script);
        return script != INVALID_HANDLE_VALUE;
    });
    EXPECT_EQ(heldProbeArguments(folder), expected);
    EXPECT_FALSE(std::filesystem::exists(folder / L"PWNED"));
}

} // namespace
} // namespace fendralwin::test
