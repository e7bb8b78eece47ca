// Stands in for Fendral: writes the arguments it was given, one per line in UTF-8, to
// fendral-args.txt in its current folder. The file appears whole, so a test may read it as soon
// as it exists. With PROBE_HOLD set, the file is named by the probe's process number instead,
// and the probe then waits until the file that PROBE_HOLD names exists.
#include "platform/windows/SystemText.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <windows.h>

int wmain(int argc, wchar_t* argv[]) {
    std::string lines;
    for (int i = 1; i < argc; ++i) {
        lines += fendralwin::windows::narrow(argv[i]) + "\n";
    }
    const wchar_t* hold = _wgetenv(L"PROBE_HOLD");
    const std::filesystem::path partial =
        L"fendral-args.tmp" + std::to_wstring(GetCurrentProcessId());
    std::ofstream(partial, std::ios::binary) << lines;
    std::filesystem::rename(partial, hold ? L"fendral-args-" +
                                                std::to_wstring(GetCurrentProcessId()) + L".txt"
                                          : std::wstring(L"fendral-args.txt"));
    while (hold && !std::filesystem::exists(hold)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return 0;
}
