#include "app/view/win32/FileList.h"

#include "app/view/win32/ListedNames.h"
#include "platform/windows/SystemText.h"

#include <algorithm>

namespace fendralwin::win32 {

FileList::FileList(const ControlLayout& design, const ControlSite& site, const Platform& platform)
    : ChildControl(L"LISTBOX",
                   WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                   WS_EX_CLIENTEDGE, design, site)
    , platform_(platform) {}

void FileList::setPath(const std::string& path) {
    path_ = path;
    fill({});
    // Another folder's files are seen from their first.
    SendMessageW(handle(), LB_SETTOPINDEX, 0, 0);
}

void FileList::reread() {
    fill(windows::widen(selectedItem()));
}

void FileList::fill(const std::wstring& chosen) {
    std::vector<std::string> files;
    try {
        files = platform_.readFolder(path_, std::string(design().pattern)).files;
    } catch (const PlatformError&) {
        // An unreadable folder simply has no files to offer.
    }
    names_ = listedNames(files);
    const auto found = std::ranges::find(names_, chosen);
    // Filling the list and choosing in it from here notify nothing.
    fillListBox(handle(), names_,
                chosen.empty() || found == names_.end() ? -1 : found - names_.begin());
}

bool FileList::select(const std::string& name) {
    const auto found = std::ranges::find(names_, windows::widen(name));
    if (found == names_.end()) {
        return false;
    }
    // Choosing from here notifies nothing; a user's choice would.
    SendMessageW(handle(), LB_SETCURSEL, found - names_.begin(), 0);
    raiseEvent(ControlEvent::Click);
    return true;
}

std::string FileList::selectedItem() const {
    const LRESULT selected = SendMessageW(handle(), LB_GETCURSEL, 0, 0);
    if (selected < 0 || static_cast<std::size_t>(selected) >= names_.size()) {
        return {};
    }
    return windows::narrow(names_[static_cast<std::size_t>(selected)]);
}

void FileList::commanded(int notification) {
    if (notification == LBN_SELCHANGE && !selectedItem().empty()) {
        raiseEvent(ControlEvent::Click);
    }
}

} // namespace fendralwin::win32
