#include "WindowsTestSupport.h"

#include "platform/windows/SystemText.h"

#include <chrono>
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

} // namespace fendralwin::test
