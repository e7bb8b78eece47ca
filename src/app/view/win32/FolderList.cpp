#include "app/view/win32/FolderList.h"

#include "app/view/win32/ListedNames.h"
#include "platform/FolderContents.h"
#include "platform/Platform.h"
#include "platform/windows/SystemText.h"

#include <cwctype>
#include <optional>

namespace fendralwin::win32 {

using windows::narrow;
using windows::widen;

namespace {

// The length of a path's root: "C:\" or "\\server\share".
std::size_t rootLength(const std::wstring& path) {
    if (path.size() >= 3 && path[1] == L':') {
        return 3;
    }
    if (path.starts_with(L"\\\\")) {
        const auto shareStart = path.find(L'\\', 2);
        const auto shareEnd =
            shareStart == std::wstring::npos ? shareStart : path.find(L'\\', shareStart + 1);
        return shareEnd == std::wstring::npos ? path.size() : shareEnd;
    }
    return 0;
}

// The full path of a folder as the list reads it: a drive root keeps its "\", any other folder
// has none at its end. A drive alone ("c:") stands for that drive's current folder.
std::optional<std::wstring> fullFolderPath(const std::wstring& text) {
    const DWORD needed = GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return std::nullopt;
    }
    std::wstring full(needed, L'\0');
    full.resize(GetFullPathNameW(text.c_str(), needed, full.data(), nullptr));
    while (full.size() > rootLength(full) && full.ends_with(L'\\')) {
        full.pop_back();
    }
    if (full.size() >= 2 && full[1] == L':') {
        full[0] = static_cast<wchar_t>(std::towupper(full[0]));
    }
    return full;
}

std::wstring joined(const std::wstring& folder, const std::wstring& name) {
    return folder.ends_with(L'\\') ? folder + name : folder + L'\\' + name;
}

// The root shown as the classic lists show drives: "c:\".
std::wstring rootCaption(std::wstring root) {
    if (root.size() >= 2 && root[1] == L':') {
        root[0] = static_cast<wchar_t>(std::towlower(root[0]));
    }
    return root;
}

int textHeight(HWND window, HFONT font) {
    const HDC dc = GetDC(window);
    const HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return metrics.tmHeight;
}

// A small folder: open folders (the path down to the open one) lighter than closed ones.
void drawFolderGlyph(HDC dc, const RECT& box, bool open) {
    const int height = box.bottom - box.top;
    const int width = height + height / 4;
    const HBRUSH fill = CreateSolidBrush(open ? RGB(255, 240, 176) : RGB(240, 200, 80));
    const HPEN outline = CreatePen(PS_SOLID, 1, RGB(128, 96, 0));
    const HGDIOBJ oldBrush = SelectObject(dc, fill);
    const HGDIOBJ oldPen = SelectObject(dc, outline);
    Rectangle(dc, box.left, box.top + 1, box.left + width / 2, box.top + 4);
    Rectangle(dc, box.left, box.top + 3, box.left + width, box.bottom);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(outline);
    DeleteObject(fill);
}

} // namespace

FolderList::FolderList(const ControlLayout& design, const ControlSite& site)
    : ChildControl(L"LISTBOX",
                   WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS |
                       LBS_OWNERDRAWFIXED,
                   WS_EX_CLIENTEDGE, design, site) {
    SendMessageW(handle(), LB_SETITEMHEIGHT, 0, textHeight(handle(), site.font) + 2);
}

std::string FolderList::path() const {
    return narrow(path_);
}

bool FolderList::setPath(const std::string& path) {
    const auto folder = fullFolderPath(widen(path));
    if (!folder) {
        return false;
    }
    FolderContents contents;
    try {
        contents = readFolder(narrow(*folder));
    } catch (const PlatformError&) {
        return false;
    }
    show(*folder, listedNames(contents.folders));
    raiseEvent();
    return true;
}

void FolderList::show(const std::wstring& folder, const std::vector<std::wstring>& subfolders) {
    std::vector<Entry> entries;
    const std::wstring root = folder.substr(0, rootLength(folder));
    entries.push_back({rootCaption(root), root, 0});
    std::wstring at = root;
    for (std::size_t start = root.size(); start < folder.size();) {
        start = folder.find_first_not_of(L'\\', start);
        const std::size_t end = std::min(folder.find(L'\\', start), folder.size());
        const std::wstring part = folder.substr(start, end - start);
        at = joined(at, part);
        entries.push_back({part, at, static_cast<int>(entries.size())});
        start = end;
    }
    const auto openRow = entries.size() - 1;
    for (const std::wstring& name : subfolders) {
        entries.push_back({name, joined(folder, name), static_cast<int>(openRow) + 1});
    }
    path_ = folder;
    entries_ = std::move(entries);

    std::vector<std::wstring> names;
    names.reserve(entries_.size());
    for (const Entry& entry : entries_) {
        names.push_back(entry.name);
    }
    fillListBox(handle(), names);
    SendMessageW(handle(), LB_SETCURSEL, openRow, 0);
}

void FolderList::commanded(int notification) {
    if (notification == LBN_DBLCLK) {
        openSelectedEntry();
    }
}

void FolderList::activated() {
    openSelectedEntry();
}

void FolderList::openSelectedEntry() {
    const LRESULT selected = SendMessageW(handle(), LB_GETCURSEL, 0, 0);
    if (selected < 0 || static_cast<std::size_t>(selected) >= entries_.size()) {
        return;
    }
    const std::wstring target = entries_[static_cast<std::size_t>(selected)].path;
    if (target != path_ && !setPath(narrow(target))) {
        MessageBeep(MB_OK);
    }
}

bool FolderList::drawItem(const DRAWITEMSTRUCT& item) {
    if (item.itemID >= entries_.size()) {
        return true; // no entry at that row
    }
    const Entry& entry = entries_[item.itemID];
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    const int rowHeight = item.rcItem.bottom - item.rcItem.top;
    const int indent = rowHeight * 2 / 3;
    RECT glyph = item.rcItem;
    glyph.left += 2 + entry.depth * indent;
    glyph.top += 2;
    glyph.bottom -= 1;
    const bool open = entry.path.size() <= path_.size(); // the open folder or an ancestor
    drawFolderGlyph(dc, glyph, open);

    RECT text = item.rcItem;
    text.left = glyph.left + rowHeight + rowHeight / 4 + 3;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    DrawTextW(dc, entry.name.c_str(), static_cast<int>(entry.name.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if ((item.itemState & ODS_FOCUS) != 0) {
        DrawFocusRect(dc, &item.rcItem);
    }
    return true;
}

} // namespace fendralwin::win32
