#include "Win32Driver.h"

#include "app/view/win32/FileList.h"
#include "app/view/win32/FolderList.h"
#include "common/FolderText.h"
#include "platform/windows/SystemText.h"

#include <algorithm>
#include <cmath>
#include <commctrl.h>
#include <gtest/gtest.h>

namespace fendralwin::test {

using windows::narrow;
using windows::widen;

Win32Driver::Win32Driver(bool startJobs)
    : root(programFolderWithProbe(temp, L"Fendral Win"))
    , system(utf8(root)) {
    for (const wchar_t* file : {L"scan1.tif", L"Scan2.TIF", L"notes.txt"}) {
        std::ofstream(root / file) << "x";
    }
    std::filesystem::create_directories(root / L"Images");
    std::filesystem::create_directories(root / L"Out");
    for (const wchar_t* file : {L"photo.tif", L"b.tif"}) {
        std::ofstream(root / L"Images" / file) << "x";
    }
    frontEnd = std::make_unique<win32::Win32FrontEnd>(
        startJobs ? static_cast<Platform&>(system) : recorder_, utf8(root), boxes);
    frontEnd->show();
    pumpMessages();
}

Win32Driver::~Win32Driver() {
    frontEnd.reset();
    pumpMessages();
}

std::string Win32Driver::path(std::string_view relative) const {
    std::string path = FolderText(utf8(root), '\\') + std::string(relative);
    std::ranges::replace(path, '/', '\\');
    return path;
}

void Win32Driver::openFolder(const std::string& list, const std::string& relative) {
    std::string folder = relative.empty() ? utf8(root) : path(relative);
    const auto& rows = control<win32::FolderList>(list).rows().rows;
    const auto row = std::ranges::find(rows, folder, &FolderRow::path);
    ASSERT_NE(row, rows.end()) << folder;
    clickItem(list.c_str(), static_cast<int>(row - rows.begin()), true);
}

void Win32Driver::clickFile(const std::string& name) {
    const auto& names = control<win32::FileList>("filIn").names();
    const auto found = std::ranges::find(names, widen(name));
    ASSERT_NE(found, names.end()) << name;
    clickItem("filIn", static_cast<int>(found - names.begin()));
}

void Win32Driver::type(const std::string& box, const std::string& text) {
    SetFocus(handle(box));
    SendMessageW(handle(box), EM_SETSEL, 0x7FFF, 0x7FFF);
    for (const wchar_t c : widen(text)) {
        SendMessageW(handle(box), WM_CHAR, c, 0);
    }
}

void Win32Driver::paste(const std::string& box, const std::string& text) {
    SendMessageW(handle(box), EM_SETSEL, 0, -1);
    SendMessageW(handle(box), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(widen(text).c_str()));
}

void Win32Driver::dragSlider(const std::string& bar, int position) {
    for (const int request : {SB_THUMBTRACK, SB_THUMBPOSITION}) {
        SendMessageW(window().handle(), WM_HSCROLL, MAKEWPARAM(request, position),
                     reinterpret_cast<LPARAM>(handle(bar)));
    }
}

void Win32Driver::stepRight(const std::string& bar) {
    SetFocus(handle(bar));
    SendMessageW(handle(bar), WM_KEYDOWN, VK_RIGHT, 0);
}

void Win32Driver::press(const std::string& button) {
    SendMessageW(handle(button), BM_CLICK, 0, 0);
    pumpMessages();
}

void Win32Driver::removeFile(const std::string& relative) {
    std::filesystem::remove(widen(path(relative)));
}

std::string Win32Driver::text(const std::string& control) {
    return win32::windowText(handle(control));
}

bool Win32Driver::isEnabled(const std::string& control) {
    return IsWindowEnabled(handle(control)) != FALSE;
}

int Win32Driver::barValue(const std::string& bar) {
    return GetScrollPos(handle(bar), SB_CTL);
}

std::string Win32Driver::focus() {
    return nameOf(GetFocus());
}

std::string Win32Driver::nameOf(HWND control) {
    for (const ControlLayout& design : controlTable()) {
        if (handle(design.name) == control) {
            return std::string(design.name);
        }
    }
    return "(no control)";
}

void Win32Driver::pressKey(const char* name, WPARAM key) {
    MSG message{handle(name), WM_KEYDOWN, key, 0, 0, {}};
    if (!window().takeDialogMessage(message)) {
        SendMessageW(message.hwnd, WM_KEYDOWN, key, 0);
    }
}

void Win32Driver::clickItem(const char* name, int index, bool twice) {
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

std::string Win32Driver::title() {
    return win32::windowText(window().handle());
}

Place Win32Driver::clientArea() {
    RECT client{};
    GetClientRect(window().handle(), &client);
    return {client.left, client.top, client.right - client.left, client.bottom - client.top};
}

bool Win32Driver::isFixedSize() {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window().handle(), GWL_STYLE));
    return (style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) == 0;
}

Place Win32Driver::place(const std::string& control) {
    RECT place{};
    GetWindowRect(handle(control), &place);
    MapWindowPoints(nullptr, window().handle(), reinterpret_cast<POINT*>(&place), 2);
    return {place.left, place.top, place.right - place.left, place.bottom - place.top};
}

std::string Win32Driver::toolTip(const std::string& control) {
    wchar_t tip[128]{};
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window().handle();
    tool.uId = reinterpret_cast<UINT_PTR>(handle(control));
    tool.lpszText = tip;
    SendMessageW(window().toolTip(), TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
    return narrow(tip);
}

int Win32Driver::barMaximum(const std::string& bar) {
    int low = -1;
    int high = -1;
    GetScrollRange(handle(bar), SB_CTL, &low, &high);
    EXPECT_EQ(low, 0) << bar;
    return high;
}

ShownFont Win32Driver::font(const std::string& label) {
    LOGFONTW font{};
    const auto shown = reinterpret_cast<HFONT>(SendMessageW(handle(label), WM_GETFONT, 0, 0));
    GetObjectW(shown, sizeof font, &font);
    return {narrow(font.lfFaceName), -font.lfHeight * 72.0 / dpi(), font.lfItalic != 0};
}

std::pair<Rgb, Rgb> Win32Driver::colours(const std::string& label) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(window().handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(handle(label))));
    LOGBRUSH fill{};
    GetObjectW(brush, sizeof fill, &fill);
    const auto rgb = [](COLORREF c) {
        return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)};
    };
    EXPECT_EQ(GetBkColor(dc), fill.lbColor) << label;
    const std::pair colours{rgb(fill.lbColor), rgb(GetTextColor(dc))};
    DeleteDC(dc);
    return colours;
}

std::vector<std::string> Win32Driver::tabCycle() {
    std::vector<std::string> names;
    HWND at = handle("drvIn");
    do {
        names.push_back(nameOf(at));
        at = GetNextDlgTabItem(window().handle(), at, FALSE);
    } while (at != handle("drvIn") && names.size() < controlTable().size());
    return names;
}

} // namespace fendralwin::test
