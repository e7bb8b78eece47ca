#include "app/CommandLine.h"
#include "app/view/win32/Win32FrontEnd.h"
#include "platform/NativePlatform.h"
#include "platform/windows/SystemText.h"

#include <shellapi.h>
#include <sstream>
#include <windows.h>

namespace {

using fendralwin::windows::narrow;
using fendralwin::windows::widen;

// The arguments after the program's name, from the wide command line: names outside the code
// page arrive whole.
std::vector<std::string> arguments() {
    int count = 0;
    LPWSTR* const wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> texts;
    for (int i = 1; wide != nullptr && i < count; ++i) {
        texts.push_back(narrow(wide[i]));
    }
    LocalFree(wide);
    return texts;
}

// A program with windows has no console of its own: it answers where its output was sent, or
// else on the console it was started from.
void write(DWORD stream, const std::string& text) {
    HANDLE out = GetStdHandle(stream);
    bool opened = false;
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr);
        opened = out != INVALID_HANDLE_VALUE;
    }
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    if (opened) {
        CloseHandle(out);
    }
}

std::string fullPath(const std::string& path) {
    const std::wstring given = widen(path);
    std::wstring full(MAX_PATH, L'\0');
    for (DWORD needed = 0;;) {
        needed =
            GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (needed == 0) {
            return path; // said to be unusable when it is opened
        }
        if (needed < full.size()) {
            full.resize(needed);
            return narrow(full);
        }
        full.resize(needed);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    const auto commandLine = fendralwin::parseCommandLine(arguments());
    std::ostringstream out;
    std::ostringstream errors;
    if (const auto status =
            fendralwin::answerCommandLine(commandLine, FENDRALWIN_VERSION, out, errors)) {
        write(STD_OUTPUT_HANDLE, out.str());
        write(STD_ERROR_HANDLE, errors.str());
        return *status;
    }
    // The window scales its layout and fonts to the screen's DPI itself.
    SetProcessDPIAware();
    fendralwin::NativePlatform platform;
    // The lists open where the user started the program, not in the program's own folder.
    fendralwin::win32::Win32FrontEnd frontEnd(platform, ".");
    frontEnd.show(showCommand);
    if (commandLine.path) {
        frontEnd.form().openGivenPath(fullPath(*commandLine.path));
    }

    fendralwin::win32::FormWindow& window = frontEnd.window();
    MSG message{};
    while (window.isOpen() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.takeDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // Leaving releases the window object: its Terminate event deletes the job script.
    return 0;
}
