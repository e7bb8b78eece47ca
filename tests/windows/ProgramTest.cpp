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
    PROCESS_INFORMATION process{};
    ProgramTest() { fs::copy_file(programFolderOfTests() / FENDRALWIN_FROM_TESTS, program); }
    ~ProgramTest() override {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    // Starts the program in `temp` with `arguments`; its window, once shown within a minute.
    HWND start(const std::wstring& arguments) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"FendralWin.exe" + arguments;
        EXPECT_TRUE(CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, temp.path().c_str(), &startup, &process));
        WaitForInputIdle(process.hProcess, 60000);
        HWND window = nullptr;
        for (int tries = 0; tries < 600 && window == nullptr; ++tries) {
            window = FindWindowW(L"frmFendralWrapper", L"FendralWin");
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return window;
    }
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
    const HWND window = start(L"");
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0U);
    EXPECT_FALSE(fs::exists(temp.path() / L"fdw.bat"));
}

// As Explorer's "Open With" starts it: a name outside the code page, holding what the command
// interpreter reads as its own, is chosen whole; only the first path counts.
TEST_F(ProgramTest, ChoosesTheFileItIsStartedWithAndAnswersOnItsOutput) {
    const fs::path image = temp.path() / L"R&D 50% ^!\u00e9\u65e5\u672c.tif";
    std::ofstream(image) << "x";
    const HWND window = start(L" \"" + image.filename().wstring() + L"\" gone.tif");
    ASSERT_NE(window, nullptr);
    // The path is chosen right after the window shows. (Strings appended to, not prefixed:
    // GCC 12 warns wrongly of an overlapping copy in `"literal" + string` at -O3.)
    std::string expected = "Input File: ";
    expected += utf8(image);
    std::string shown;
    for (int tries = 0; tries < 100 && shown != expected; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (HWND label = nullptr;
             (label = FindWindowExW(window, label, L"Static", nullptr)) != nullptr;) {
            wchar_t text[1024]{};
            GetWindowTextW(label, text, 1024);
            if (std::wstring_view(text).starts_with(L"Input File:")) {
                shown = windows::narrow(text);
            }
        }
    }
    EXPECT_EQ(shown, expected);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    std::string versionCommand = "\"";
    versionCommand += utf8(program);
    versionCommand += "\" --version";
    EXPECT_EQ(outputOf(versionCommand, temp.path()), "FendralWin " FENDRALWIN_VERSION "\n");
}

} // namespace
} // namespace fendralwin::test
