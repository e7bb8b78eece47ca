// Stands in for Fendral: writes the arguments it was given, one per line in UTF-8, to
// fendral-args.txt in its current folder. The file appears whole, so a test may read it as soon
// as it exists.
#include "platform/windows/SystemText.h"

#include <filesystem>
#include <fstream>

int wmain(int argc, wchar_t* argv[]) {
    std::string lines;
    for (int i = 1; i < argc; ++i) {
        lines += fendralwin::windows::narrow(argv[i]) + "\n";
    }
    const std::filesystem::path partial = L"fendral-args.tmp";
    std::ofstream(partial, std::ios::binary) << lines;
    std::filesystem::rename(partial, L"fendral-args.txt");
    return 0;
}
