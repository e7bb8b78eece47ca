#include "platform/FolderContents.h"
#include "platform/NamePattern.h"
#include "platform/Platform.h"
#include "platform/windows/SystemText.h"

#include <memory>
#include <windows.h>

namespace fendralwin {

using windows::narrow;
using windows::widen;

namespace {

struct FindCloser {
    using pointer = HANDLE;
    void operator()(HANDLE search) const { FindClose(search); }
};

bool isDotOrDotDot(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

PlatformError unreadable(const std::string& path, DWORD error) {
    return PlatformError("Cannot read the folder " + path + ": " + windows::systemMessage(error));
}

} // namespace

FolderContents readFolder(const std::string& path, const std::string& filePattern) {
    const std::string everything = path.ends_with('\\') ? path + "*" : path + "\\*";
    WIN32_FIND_DATAW entry{};
    // The basic form leaves out the short 8.3 names, and large fetches read big folders faster.
    const HANDLE first =
        FindFirstFileExW(widen(everything).c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
    FolderContents contents;
    if (first == INVALID_HANDLE_VALUE) {
        // An empty drive root has not even "." to list.
        if (GetLastError() == ERROR_FILE_NOT_FOUND) {
            return contents;
        }
        throw unreadable(path, GetLastError());
    }
    const std::unique_ptr<void, FindCloser> search(first);
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            if (!isDotOrDotDot(entry.cFileName)) {
                contents.folders.push_back(narrow(entry.cFileName));
            }
        } else {
            std::string name = narrow(entry.cFileName);
            if (matchesNamePattern(name, filePattern)) {
                contents.files.push_back(std::move(name));
            }
        }
    } while (FindNextFileW(search.get(), &entry));
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        throw unreadable(path, GetLastError());
    }
    return contents;
}

} // namespace fendralwin
