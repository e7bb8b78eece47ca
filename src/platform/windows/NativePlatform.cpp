#include "platform/NativePlatform.h"

#include "common/FolderText.h"
#include "platform/windows/Interpreter.h"
#include "platform/windows/OemText.h"
#include "platform/windows/SystemText.h"

#include <array>
#include <memory>
#include <optional>
#include <windows.h>

namespace fendralwin {

using windows::narrow;
using windows::widen;

namespace {

PlatformError lastError() {
    return PlatformError(windows::systemMessage(GetLastError()));
}

struct HandleCloser {
    using pointer = HANDLE;
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

UniqueHandle openedOrNull(HANDLE handle) {
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string systemFolder() {
    std::array<wchar_t, MAX_PATH> folder{};
    const UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length == 0 || length >= folder.size()) {
        throw lastError();
    }
    return narrow(std::wstring_view(folder.data(), length));
}

void writeAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written,
                       nullptr)) {
            throw lastError();
        }
        done += written;
    }
}

struct FileIdentity {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
    bool operator==(const FileIdentity&) const = default;
};

std::optional<FileIdentity> identityOf(const std::string& path) {
    // No access rights are asked for: reading the identity needs none, and a file that another
    // program holds open is still found.
    const UniqueHandle file = openedOrNull(
        CreateFileW(widen(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.get(), &info)) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

} // namespace

std::string NativePlatform::executableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto lastSeparator = path.find_last_of(L'\\');
    // A drive root keeps its "\": "C:\".
    const bool atDriveRoot = lastSeparator == 2 && path[1] == L':';
    path.resize(atDriveRoot ? lastSeparator + 1 : lastSeparator);
    return narrow(path);
}

char NativePlatform::separator() const {
    return '\\';
}

ScriptDialect NativePlatform::scriptDialect() const {
    return ScriptDialect::Batch;
}

bool NativePlatform::programFolderHasFendral() const {
    // The kinds of file that the command interpreter runs by the bare name "Fendral".
    const std::string folder = FolderText(programFolder_, separator());
    for (const char* extension : {".exe", ".com", ".bat", ".cmd"}) {
        if (isFile(folder + "Fendral" + extension)) {
            return true;
        }
    }
    return false;
}

std::string NativePlatform::writeScript(const std::string& appDir, const std::string& text) {
    const std::string path = appDir + "fdw.bat";
    // Converted first, so that a name the code page cannot hold leaves the file untouched.
    const std::string bytes = windows::toOemCodePage(text);
    const UniqueHandle file =
        openedOrNull(CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw lastError();
    }
    writeAll(file.get(), bytes);
    return path;
}

void NativePlatform::startScript(const std::string& path, const std::string& workingFolder) {
    const std::string scriptName = path.substr(path.find_last_of('\\') + 1);
    const std::wstring interpreter = widen(systemFolder() + "\\cmd.exe");
    std::wstring commandLine = widen(windows::interpreterCommandLine(scriptName));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE, nullptr, widen(workingFolder).c_str(), &startup,
                        &process)) {
        throw lastError();
    }
    CloseHandle(process.hThread);
    lastJob_.reset(process.hProcess, [](HANDLE handle) { CloseHandle(handle); });
}

void NativePlatform::deleteScript(const std::string& appDir) noexcept {
    // The interpreter reads the script a line at a time: while the last job runs, it stays.
    if (lastJob_ && WaitForSingleObject(lastJob_.get(), 0) == WAIT_TIMEOUT) {
        return;
    }
    DeleteFileW(widen(appDir + "fdw.bat").c_str());
}

void NativePlatform::requireFile(const std::string& path) const {
    // Opened as Fendral will open it: a folder, a missing file or one locked by another program
    // fails here with the system's own reason.
    const UniqueHandle file = openedOrNull(CreateFileW(
        widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw lastError();
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        throw PlatformError(path + ": not a regular file");
    }
}

bool NativePlatform::isSameExistingFile(const std::string& a, const std::string& b) const {
    const auto first = identityOf(a);
    return first && first == identityOf(b);
}

} // namespace fendralwin
