#include "app/view/win32/ListedNames.h"

#include "platform/windows/SystemText.h"

#include <algorithm>
#include <shlwapi.h>

namespace fendralwin::win32 {

std::vector<std::wstring> listedNames(const std::vector<std::string>& names) {
    std::vector<std::wstring> listed;
    listed.reserve(names.size());
    for (const std::string& name : names) {
        listed.push_back(windows::widen(name));
    }
    // As the system's file manager orders them: numbers by their value ("frame_2" before
    // "frame_10"), letter case ignored; names it takes as equal keep a fixed order.
    std::ranges::sort(listed, [](const std::wstring& a, const std::wstring& b) {
        const int order = StrCmpLogicalW(a.c_str(), b.c_str());
        return order == 0 ? a < b : order < 0;
    });
    return listed;
}

void fillListBox(HWND listBox, const std::vector<std::wstring>& names) {
    SendMessageW(listBox, WM_SETREDRAW, FALSE, 0);
    SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
    SendMessageW(listBox, LB_INITSTORAGE, names.size(), 0);
    for (const std::wstring& name : names) {
        SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    SendMessageW(listBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, TRUE);
}

} // namespace fendralwin::win32
