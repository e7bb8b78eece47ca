#pragma once

#include "BehaviourDriver.h"
#include "TempFolder.h"
#include "WindowsTestSupport.h"
#include "app/view/win32/FileList.h"
#include "app/view/win32/FolderList.h"
#include "app/view/win32/Win32FrontEnd.h"
#include "platform/NativePlatform.h"
#include "platform/windows/SystemText.h"

#include <algorithm>
#include <commctrl.h>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <shlobj.h>

namespace fendralwin::test {

// The real Win32 window over the real Windows platform on the behaviour scenarios' folder tree,
// shown. The program folder ("Fendral Win") holds the probe as its Fendral. Message boxes are
// recorded; a job is recorded too unless `startJobs`, when the command interpreter runs it.
class Win32Driver final : public WindowDriver {
public:
    explicit Win32Driver(bool startJobs = false, const std::string& startFolder = {})
        : root(programFolderWithProbe(temp, L"Fendral Win"))
        , system(utf8(root)) {
        for (const std::string_view file : kTreeFiles) {
            std::filesystem::create_directories((root / file).parent_path());
            std::ofstream(root / file) << "x";
        }
        frontEnd = std::make_unique<win32::Win32FrontEnd>(
            startJobs ? static_cast<Platform&>(system) : recorder_, path(startFolder), boxes);
        frontEnd->show();
        pumpMessages();
    }
    ~Win32Driver() override {
        frontEnd.reset();
        pumpMessages();
    }

    win32::FormWindow& window() { return frontEnd->window(); }
    HWND handle(std::string_view name) { return window().child(name).handle(); }
    template <typename Control>
    Control& control(std::string_view name) {
        return dynamic_cast<Control&>(window().child(name));
    }
    // The name of the control with that window handle.
    std::string nameOf(HWND control) {
        for (const ControlLayout& design : controlTable()) {
            if (handle(design.name) == control) {
                return std::string(design.name);
            }
        }
        return "(no control)";
    }
    // A key through the window's dialog keys, as the message loop hands it on.
    void pressKey(const char* name, WPARAM key) {
        MSG message{handle(name), WM_KEYDOWN, key, 0, 0, {}};
        if (!window().takeDialogMessage(message)) {
            SendMessageW(message.hwnd, WM_KEYDOWN, key, 0);
        }
    }
    void clickItem(const char* name, int index, bool twice = false, WPARAM keys = 0) {
        RECT item{};
        SendMessageW(handle(name), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        for (int click = 0; click < (twice ? 2 : 1); ++click) {
            SendMessageW(handle(name), click ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MK_LBUTTON | keys,
                         MAKELPARAM(item.left + 2, item.top + 2));
            SendMessageW(handle(name), WM_LBUTTONUP, keys, MAKELPARAM(item.left + 2, item.top + 2));
        }
    }

    std::string path(std::string_view relative) const override {
        return treePath(utf8(root), '\\', relative);
    }
    void openFolder(const std::string& list, const std::string& relative) override {
        const std::string folder = relative.empty() ? utf8(root) : path(relative);
        const auto& rows = control<win32::FolderList>(list).rows().rows;
        const auto row = std::ranges::find(rows, folder, &FolderRow::path);
        ASSERT_NE(row, rows.end()) << folder;
        clickItem(list.c_str(), static_cast<int>(row - rows.begin()), true);
    }
    void clickFile(const std::string& name) override {
        const auto& names = control<win32::FileList>("filIn").names();
        const auto found = std::ranges::find(names, windows::widen(name));
        ASSERT_NE(found, names.end()) << name;
        clickItem("filIn", static_cast<int>(found - names.begin()));
    }
    void type(const std::string& box, const std::string& text) override {
        SetFocus(handle(box));
        SendMessageW(handle(box), EM_SETSEL, 0x7FFF, 0x7FFF);
        for (const wchar_t c : windows::widen(text)) {
            SendMessageW(handle(box), WM_CHAR, c, 0);
        }
    }
    void paste(const std::string& box, const std::string& text) override {
        SendMessageW(handle(box), EM_SETSEL, 0, -1);
        SendMessageW(handle(box), EM_REPLACESEL, TRUE,
                     reinterpret_cast<LPARAM>(windows::widen(text).c_str()));
    }
    void dragSlider(const std::string& bar, int position) override {
        for (const int request : {SB_THUMBTRACK, SB_THUMBPOSITION}) {
            SendMessageW(window().handle(), WM_HSCROLL, MAKEWPARAM(request, position),
                         reinterpret_cast<LPARAM>(handle(bar)));
        }
    }
    void moveBar(const std::string& bar, const std::string& how) override {
        if (how == "key") {
            SetFocus(handle(bar));
            SendMessageW(handle(bar), WM_KEYDOWN, VK_RIGHT, 0);
            return;
        }
        // What the bar tells its window when its right arrow or its track is clicked.
        SendMessageW(window().handle(), WM_HSCROLL, how == "arrow" ? SB_LINERIGHT : SB_PAGERIGHT,
                     reinterpret_cast<LPARAM>(handle(bar)));
    }
    void press(const std::string& button) override {
        SendMessageW(handle(button), BM_CLICK, 0, 0);
        pumpMessages();
    }
    void remove(const std::string& relative) override {
        std::filesystem::remove_all(windows::widen(path(relative)));
    }
    void rename(const std::string& relative, const std::string& newName) override {
        const std::filesystem::path from = windows::widen(path(relative));
        std::filesystem::rename(from, from.parent_path() / windows::widen(newName));
    }
    void makeFolder(const std::string& relative) override {
        std::filesystem::create_directory(windows::widen(path(relative)));
    }
    void makeFile(const std::string& relative) override {
        std::ofstream(std::filesystem::path(windows::widen(path(relative)))) << "x";
    }
    // The user comes back to the window from another one.
    void refresh() override {
        SendMessageW(window().handle(), WM_ACTIVATE, WA_INACTIVE, 0);
        SendMessageW(window().handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    }
    void startWith(const std::string& path) override { frontEnd->form().openGivenPath(path); }
    // Dropped on the middle of a half, as the shell drops files. Its drop has no cursor that
    // refuses: the window object's answer, which the Qt window's cursor shows, stands for one.
    bool drop(const std::vector<std::string>& paths, WindowHalf half) override {
        std::wstring names;
        for (const std::string& path : paths) {
            names += windows::widen(path) + L'\0';
        }
        names += L'\0';
        const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * 2);
        auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
        RECT client{};
        GetClientRect(window().handle(), &client);
        files->pFiles = sizeof(DROPFILES);
        files->pt = {half == WindowHalf::Input ? client.right / 4 : client.right * 3 / 4, 100};
        files->fWide = TRUE;
        std::memcpy(files + 1, names.data(), names.size() * 2);
        GlobalUnlock(memory);
        const bool taken = frontEnd->form().Form_OLEDragOver(paths, half);
        SendMessageW(window().handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
        return taken;
    }

    std::string text(const std::string& control) override {
        return win32::windowText(handle(control));
    }
    bool isEnabled(const std::string& control) override {
        return IsWindowEnabled(handle(control)) != FALSE;
    }
    int barValue(const std::string& bar) override { return GetScrollPos(handle(bar), SB_CTL); }
    void scrollTo(const std::string& list, const std::string& item) override {
        const LRESULT index = SendMessageW(handle(list), LB_FINDSTRINGEXACT, -1,
                                           reinterpret_cast<LPARAM>(windows::widen(item).c_str()));
        ASSERT_GE(index, 0) << item;
        SendMessageW(handle(list), LB_SETTOPINDEX, index, 0);
    }
    std::optional<std::string> listPlace(const std::string& list) override {
        const auto itemText = [this, &list](UINT message) {
            const LRESULT index = SendMessageW(handle(list), message, 0, 0);
            std::wstring text(MAX_PATH, L'\0');
            SendMessageW(handle(list), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
            return windows::narrow(text.c_str());
        };
        return itemText(LB_GETTOPINDEX) + "," + itemText(LB_GETCURSEL);
    }
    std::string folderOf(const std::string& list) override {
        return list == "filIn" ? control<win32::FileList>(list).path()
                               : control<win32::FolderList>(list).path();
    }
    std::string focus() override { return nameOf(GetFocus()); }
    bool isOpen() override { return window().isOpen(); }
    RecordingMessageBoxes& messageBoxes() override { return boxes; }
    std::vector<std::string> startedScripts() override { return recorder_.startedScripts; }
    const Platform& platform() override { return recorder_; }

    std::string title() override { return win32::windowText(window().handle()); }
    int dpi() override { return window().dpi(); }
    Place clientArea() override {
        RECT client{};
        GetClientRect(window().handle(), &client);
        return {client.left, client.top, client.right - client.left, client.bottom - client.top};
    }
    bool isFixedSize() override {
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(window().handle(), GWL_STYLE));
        return (style & (WS_THICKFRAME | WS_MAXIMIZEBOX)) == 0;
    }
    Place place(const std::string& control) override {
        RECT place{};
        GetWindowRect(handle(control), &place);
        MapWindowPoints(nullptr, window().handle(), reinterpret_cast<POINT*>(&place), 2);
        return {place.left, place.top, place.right - place.left, place.bottom - place.top};
    }
    std::string toolTip(const std::string& control) override {
        wchar_t tip[1024]{};
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = window().handle();
        tool.uId = reinterpret_cast<UINT_PTR>(handle(control));
        tool.lpszText = tip;
        SendMessageW(window().toolTip(), TTM_GETTEXTW, std::size(tip),
                     reinterpret_cast<LPARAM>(&tool));
        return windows::narrow(tip);
    }
    int barMaximum(const std::string& bar) override {
        int low = -1;
        int high = -1;
        GetScrollRange(handle(bar), SB_CTL, &low, &high);
        EXPECT_EQ(low, 0) << bar;
        return high;
    }
    ShownFont font(const std::string& label) override {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(handle(label), WM_GETFONT, 0, 0)),
                   sizeof font, &font);
        return {windows::narrow(font.lfFaceName), -font.lfHeight * 72.0 / dpi(),
                font.lfItalic != 0};
    }
    std::pair<Rgb, Rgb> colours(const std::string& label) override {
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
    std::vector<std::string> tabCycle() override {
        std::vector<std::string> names;
        HWND at = handle("drvIn");
        do {
            names.push_back(nameOf(at));
            at = GetNextDlgTabItem(window().handle(), at, FALSE);
        } while (at != handle("drvIn") && names.size() < controlTable().size());
        return names;
    }

    TempFolder temp;
    std::filesystem::path root;
    NativePlatform system;
    RecordingMessageBoxes boxes;
    std::unique_ptr<win32::Win32FrontEnd> frontEnd;

private:
    RecordingPlatform recorder_{system};
};

} // namespace fendralwin::test
