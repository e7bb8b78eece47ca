#include "app/view/win32/DriveList.h"

#include <array>
#include <cwctype>
#include <string>
#include <utility>

namespace fendralwin::win32 {

namespace {

// The drives' roots: "C:\", "D:\", ...
std::vector<std::wstring> driveRoots() {
    std::wstring buffer(GetLogicalDriveStringsW(0, nullptr), L'\0');
    buffer.resize(GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data()));
    std::vector<std::wstring> roots;
    for (const wchar_t* root = buffer.c_str(); *root != L'\0'; root += wcslen(root) + 1) {
        roots.emplace_back(root);
    }
    return roots;
}

// Only drives that always hold their medium are asked for a label: asking an empty removable
// drive can stall or bring up a system message.
std::wstring volumeLabel(const std::wstring& root) {
    const UINT type = GetDriveTypeW(root.c_str());
    if (type != DRIVE_FIXED && type != DRIVE_REMOTE && type != DRIVE_RAMDISK) {
        return {};
    }
    std::array<wchar_t, MAX_PATH + 1> label{};
    if (!GetVolumeInformationW(root.c_str(), label.data(), static_cast<DWORD>(label.size()),
                               nullptr, nullptr, nullptr, nullptr, 0)) {
        return {};
    }
    return label.data();
}

// The height given to a drop-down list at its making also holds its opened list.
ControlSite withOpenedList(ControlSite site) {
    constexpr int openedRows = 8;
    site.place.height *= openedRows;
    return site;
}

int closedHeight(HWND box) {
    RECT closed{};
    GetWindowRect(box, &closed);
    return closed.bottom - closed.top;
}

// The closed box is as high as its font makes it; its field grows or shrinks to the designed
// height. Some systems add padding to the field height that is asked for, so the request is
// corrected by what it gave.
void fitClosedHeight(HWND box, int height) {
    LRESULT request = SendMessageW(box, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 3 && closedHeight(box) != height; ++attempt) {
        request += height - closedHeight(box);
        SendMessageW(box, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), request);
    }
}

} // namespace

DriveList::DriveList(const ControlLayout& design, const ControlSite& site)
    : ChildControl(L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0,
                   design, withOpenedList(site)) {
    fitClosedHeight(handle(), site.place.height);
    reread();
}

void DriveList::reread() {
    std::vector<std::wstring> items;
    for (const std::wstring& root : driveRoots()) {
        std::wstring item{static_cast<wchar_t>(std::towlower(root[0])), L':'};
        if (const std::wstring label = volumeLabel(root); !label.empty()) {
            item += L" [" + label + L"]";
        }
        items.push_back(std::move(item));
    }
    if (items == items_) {
        return;
    }
    const std::string shown = drive();
    items_ = std::move(items);
    SendMessageW(handle(), CB_RESETCONTENT, 0, 0);
    for (const std::wstring& item : items_) {
        SendMessageW(handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    shownIndex_ = CB_ERR;
    showDriveOf(shown);
}

std::string DriveList::drive() const {
    const LRESULT chosen = SendMessageW(handle(), CB_GETCURSEL, 0, 0);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= items_.size()) {
        return {};
    }
    return {static_cast<char>(items_[static_cast<std::size_t>(chosen)][0]), ':'};
}

void DriveList::showDriveOf(const std::string& path) {
    if (path.size() < 2 || path[1] != ':') {
        return; // a network path has no drive to show
    }
    const auto letter = static_cast<wchar_t>(std::towlower(static_cast<unsigned char>(path[0])));
    for (std::size_t index = 0; index < items_.size(); ++index) {
        if (items_[index][0] == letter) {
            // A selection made by the program sends no CBN_SELCHANGE.
            shownIndex_ = static_cast<LRESULT>(index);
            SendMessageW(handle(), CB_SETCURSEL, index, 0);
        }
    }
}

void DriveList::commanded(int notification) {
    if (notification != CBN_SELCHANGE) {
        return;
    }
    const LRESULT chosen = SendMessageW(handle(), CB_GETCURSEL, 0, 0);
    if (chosen != shownIndex_) {
        shownIndex_ = chosen;
        raiseEvent(ControlEvent::Change);
    }
}

} // namespace fendralwin::win32
