#include "app/view/win32/FolderList.h"

#include "app/view/win32/ListedNames.h"
#include "common/FolderText.h"
#include "platform/windows/SystemText.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace fendralwin::win32 {

using windows::narrow;
using windows::widen;

namespace {

// The full path of a folder as the list reads it: a drive root keeps its "\", any other folder
// has none at its end. A drive alone ("c:") stands for that drive's current folder.
std::optional<std::string> fullFolderPath(const std::wstring& text) {
    const DWORD needed = GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return std::nullopt;
    }
    std::wstring wide(needed, L'\0');
    wide.resize(GetFullPathNameW(text.c_str(), needed, wide.data(), nullptr));
    std::string full = narrow(wide);
    while (full.size() > rootLength(full, '\\') && full.ends_with('\\')) {
        full.pop_back();
    }
    if (full.size() >= 2 && full[1] == ':' && full[0] >= 'a' && full[0] <= 'z') {
        full[0] = static_cast<char>(full[0] - 'a' + 'A');
    }
    return full;
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

FolderList::FolderList(const ControlLayout& design, const ControlSite& site,
                       const Platform& platform)
    : ChildControl(L"LISTBOX",
                   WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS |
                       LBS_OWNERDRAWFIXED,
                   WS_EX_CLIENTEDGE, design, site)
    , platform_(platform) {
    SendMessageW(handle(), LB_SETITEMHEIGHT, 0, textHeight(handle(), site.font) + 2);
}

std::string FolderList::path() const {
    return path_;
}

bool FolderList::setPath(const std::string& path) {
    if (!show(path)) {
        return false;
    }
    SendMessageW(handle(), LB_SETCURSEL, rows_.openRow, 0);
    raiseEvent(ControlEvent::Change);
    return true;
}

bool FolderList::show(const std::string& path) {
    const auto folder = fullFolderPath(widen(path));
    if (!folder) {
        return false;
    }
    FolderContents contents;
    try {
        contents = platform_.readFolder(*folder, {});
    } catch (const PlatformError&) {
        return false;
    }
    std::vector<std::string> subfolders;
    for (const std::wstring& name : listedNames(contents.folders)) {
        subfolders.push_back(narrow(name));
    }
    // The keyboard's place stays on the entry it was on, where that entry is still shown.
    const LRESULT selected = SendMessageW(handle(), LB_GETCURSEL, 0, 0);
    const std::string current =
        selected >= 0 && static_cast<std::size_t>(selected) < rows_.rows.size()
            ? rows_.rows[static_cast<std::size_t>(selected)].path
            : std::string();
    path_ = *folder;
    const FolderRows before = std::exchange(rows_, folderRows(path_, subfolders, '\\'));
    std::vector<std::wstring> names;
    names.reserve(rows_.rows.size());
    for (const FolderRow& row : rows_.rows) {
        names.push_back(widen(row.name));
    }
    const auto same = std::ranges::find(rows_.rows, current, &FolderRow::path);
    fillListBox(handle(), names,
                same == rows_.rows.end() ? static_cast<LRESULT>(rows_.openRow)
                                         : same - rows_.rows.begin());
    if (rows_ != before) {
        // The same names may stand for other rows, whose open folder is drawn elsewhere.
        InvalidateRect(handle(), nullptr, TRUE);
    }
    return true;
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
    if (selected < 0 || static_cast<std::size_t>(selected) >= rows_.rows.size()) {
        return;
    }
    const std::string target = rows_.rows[static_cast<std::size_t>(selected)].path;
    if (target != path_ && !setPath(target)) {
        MessageBeep(MB_OK);
    }
}

bool FolderList::drawItem(const DRAWITEMSTRUCT& item) {
    if (item.itemID >= rows_.rows.size()) {
        return true; // no entry at that row
    }
    const FolderRow& entry = rows_.rows[item.itemID];
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    const int rowHeight = item.rcItem.bottom - item.rcItem.top;
    const int indent = rowHeight * 2 / 3;
    RECT glyph = item.rcItem;
    glyph.left += 2 + entry.depth * indent;
    glyph.top += 2;
    glyph.bottom -= 1;
    drawFolderGlyph(dc, glyph, item.itemID <= rows_.openRow);

    RECT text = item.rcItem;
    text.left = glyph.left + rowHeight + rowHeight / 4 + 3;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::wstring name = widen(entry.name);
    DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if ((item.itemState & ODS_FOCUS) != 0) {
        DrawFocusRect(dc, &item.rcItem);
    }
    return true;
}

} // namespace fendralwin::win32
