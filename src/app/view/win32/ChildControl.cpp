#include "app/view/win32/ChildControl.h"

#include "platform/windows/SystemText.h"

#include <commctrl.h>

namespace fendralwin::win32 {

using windows::narrow;
using windows::widen;

ChildControl::ChildControl(const wchar_t* windowClass, DWORD style, DWORD extendedStyle,
                           const ControlLayout& design, const ControlSite& site)
    : handle_(CreateWindowExW(extendedStyle, windowClass, widen(design.text).c_str(),
                              WS_CHILD | WS_VISIBLE | style, site.place.left, site.place.top,
                              site.place.width, site.place.height, site.parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(design))),
                              GetModuleHandleW(nullptr), nullptr))
    , design_(design) {
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(site.font), FALSE);
}

std::string windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

void setWindowText(HWND window, const std::string& text) {
    SetWindowTextW(window, widen(text).c_str());
}

void setToolTip(HWND toolTips, HWND control, const std::string& text) {
    std::wstring wide = widen(text);
    TOOLINFOW tool{};
    // The size that every version of the common controls accepts.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    SendMessageW(toolTips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    tool.lpszText = wide.data();
    SendMessageW(toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

} // namespace fendralwin::win32
