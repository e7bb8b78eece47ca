#include "WindowsTestSupport.h"

#include "platform/windows/SystemText.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <windows.h>

namespace fendralwin::test {

std::filesystem::path programFolderOfTests() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return std::filesystem::path(path).parent_path();
}

std::string utf8(const std::filesystem::path& path) {
    return windows::narrow(path.wstring());
}

std::filesystem::path programFolderWithProbe(const TempFolder& temp, const std::wstring& name) {
    const auto folder = temp.path() / name;
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(programFolderOfTests() / L"fendral_probe.exe",
                               folder / L"Fendral.exe");
    return folder;
}

std::vector<std::string> probeArguments(const std::filesystem::path& folder) {
    // A bounded wait for another process, not a measure of its speed.
    const auto file = folder / L"fendral-args.txt";
    for (int tries = 0; tries < 600 && !std::filesystem::exists(file); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void pumpMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::string outputOf(const std::string& commandLine, const std::filesystem::path& folder) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    EXPECT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherited, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    const HANDLE nothing =
        CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ, &inherited, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nothing;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::wstring line = windows::widen(commandLine);
    EXPECT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               folder.c_str(), &startup, &process));
    CloseHandle(writeEnd);
    CloseHandle(nothing);
    std::string output;
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        output.append(buffer, got);
    }
    CloseHandle(readEnd);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return output;
}

} // namespace fendralwin::test
