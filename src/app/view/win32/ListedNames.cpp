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

namespace {

std::vector<std::wstring> itemsOf(HWND listBox) {
    std::vector<std::wstring> items(
        static_cast<std::size_t>(std::max<LRESULT>(SendMessageW(listBox, LB_GETCOUNT, 0, 0), 0)));
    for (std::size_t index = 0; index < items.size(); ++index) {
        items[index].resize(
            static_cast<std::size_t>(SendMessageW(listBox, LB_GETTEXTLEN, index, 0)));
        std::vector<wchar_t> text(items[index].size() + 1);
        SendMessageW(listBox, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        items[index].assign(text.data(), items[index].size());
    }
    return items;
}

} // namespace

void fillListBox(HWND listBox, const std::vector<std::wstring>& names, LRESULT selected) {
    const std::vector<std::wstring> items = itemsOf(listBox);
    if (items == names && SendMessageW(listBox, LB_GETCURSEL, 0, 0) == selected) {
        return;
    }
    const auto top = static_cast<std::size_t>(SendMessageW(listBox, LB_GETTOPINDEX, 0, 0));
    SendMessageW(listBox, WM_SETREDRAW, FALSE, 0);
    SendMessageW(listBox, LB_RESETCONTENT, 0, 0);
    SendMessageW(listBox, LB_INITSTORAGE, names.size(), 0);
    for (const std::wstring& name : names) {
        SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    // Selecting scrolls the selection into view; the top item is put back after it.
    SendMessageW(listBox, LB_SETCURSEL, selected, 0);
    if (top < items.size()) {
        if (const auto same = std::ranges::find(names, items[top]); same != names.end()) {
            SendMessageW(listBox, LB_SETTOPINDEX, same - names.begin(), 0);
        }
    }
    SendMessageW(listBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(listBox, nullptr, TRUE);
}

} // namespace fendralwin::win32
