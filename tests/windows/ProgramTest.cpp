// FendralWin.exe as a user starts it: its version record, its window, and its end.
#include "TempFolder.h"
#include "WindowsTestSupport.h"
#include "platform/windows/SystemText.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <windows.h>

namespace fendralwin::test {
namespace {

namespace fs = std::filesystem;

std::string versionText(const fs::path& program, const wchar_t* name) {
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), nullptr);
    std::vector<char> record(size);
    GetFileVersionInfoW(program.c_str(), 0, size, record.data());
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(record.data(), key.c_str(), reinterpret_cast<void**>(&text), &length)) {
        return "(none)";
    }
    return windows::narrow(text);
}

struct ProgramTest : testing::Test {
    TempFolder temp;
    fs::path program = temp.path() / L"FendralWin.exe";
    ProgramTest() { fs::copy_file(programFolderOfTests() / FENDRALWIN_FROM_TESTS, program); }
};

TEST_F(ProgramTest, CarriesItsVersionRecord) {
    const std::pair<const wchar_t*, const char*> fields[]{
        {L"ProductName", "FendralWin"},
        {L"InternalName", "FendralWin"},
        {L"OriginalFilename", "FendralWin.exe"},
        {L"FileDescription", "Windows interface to Fendral DOS application"},
        {L"Comments", "Initial release of a very un-tested app."},
        {L"FileVersion", FENDRALWIN_RECORD_VERSION},
        {L"ProductVersion", FENDRALWIN_RECORD_VERSION},
    };
    for (const auto& [name, value] : fields) {
        EXPECT_EQ(versionText(program, name), value) << windows::narrow(name);
    }
}

TEST_F(ProgramTest, ClosingItsWindowEndsItAndDeletesTheScript) {
    std::ofstream(temp.path() / L"fdw.bat") << "x";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"FendralWin.exe";
    ASSERT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, temp.path().c_str(), &startup, &process));
    WaitForInputIdle(process.hProcess, 60000);
    HWND window = nullptr;
    for (int tries = 0; tries < 600 && window == nullptr; ++tries) {
        window = FindWindowW(L"frmFendralWrapper", L"FendralWin");
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0U);
    EXPECT_FALSE(fs::exists(temp.path() / L"fdw.bat"));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace
} // namespace fendralwin::test
