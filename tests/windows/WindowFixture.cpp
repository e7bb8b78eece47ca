#include "WindowFixture.h"

#include "app/view/ControlTable.h"

namespace fendralwin::test {

WindowTest::WindowTest()
    : folder(programFolderWithProbe(temp, L"Fendral Win"))
    , folderText(utf8(folder) + "\\")
    , platform(utf8(folder)) {
    for (const wchar_t* file : {L"scan1.tif", L"Scan2.TIF", L"\u00e9t\u00e9.tif", L"notes.txt"}) {
        std::ofstream(folder / file) << "x";
    }
    for (const wchar_t* subfolder : {L"Zeta", L"alpha", L"Beta dir"}) {
        std::filesystem::create_directory(folder / subfolder);
    }
    frontEnd = std::make_unique<win32::Win32FrontEnd>(platform, boxes);
    frontEnd->show();
    pumpMessages();
}

WindowTest::~WindowTest() {
    frontEnd.reset();
    pumpMessages();
}

std::string WindowTest::nameOf(HWND control) {
    for (const ControlLayout& design : controlTable()) {
        if (handle(design.name) == control) {
            return std::string(design.name);
        }
    }
    return "(no control)";
}

void WindowTest::notify(const char* name, int notification) {
    const HWND control = handle(name);
    SendMessageW(window().handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), notification),
                 reinterpret_cast<LPARAM>(control));
}

void WindowTest::pressKey(const char* name, WPARAM key) {
    MSG message{handle(name), WM_KEYDOWN, key, 0, 0, {}};
    if (!window().takeDialogMessage(message)) {
        SendMessageW(message.hwnd, WM_KEYDOWN, key, 0);
    }
}

void WindowTest::clickItem(const char* name, int index, bool twice) {
    const HWND list = handle(name);
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 2, item.top + 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
    if (twice) {
        SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageW(list, WM_LBUTTONUP, 0, at);
    }
}

} // namespace fendralwin::test
