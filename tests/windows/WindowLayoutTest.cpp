#include "DesignedPixels.h"
#include "WindowFixture.h"
#include "app/view/ControlTable.h"

#include <commctrl.h>

namespace fendralwin::test {
namespace {

class WindowLayout : public WindowTest {
protected:
    RECT placeOf(const char* name) {
        RECT place{};
        GetWindowRect(handle(name), &place);
        MapWindowPoints(nullptr, window().handle(), reinterpret_cast<POINT*>(&place), 2);
        return place;
    }
    LOGFONTW fontOf(const char* name) {
        LOGFONTW font{};
        const auto handle =
            reinterpret_cast<HFONT>(SendMessageW(this->handle(name), WM_GETFONT, 0, 0));
        GetObjectW(handle, sizeof font, &font);
        return font;
    }
};

TEST_F(WindowLayout, EveryControlStandsAtItsPlaceAt96Dpi) {
    ASSERT_EQ(window().dpi(), 96) << "the pixels below are those at 96 DPI";
    RECT client{};
    GetClientRect(window().handle(), &client);
    EXPECT_EQ(client.right, kClientWidthAt96Dpi);
    EXPECT_EQ(client.bottom, kClientHeightAt96Dpi);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window().handle(), GWL_STYLE));
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0U) << "the frame is fixed";

    for (const PixelPlace& expected : kDesignedPixelsAt96Dpi) {
        const RECT place = placeOf(expected.name);
        EXPECT_EQ(place.left, expected.left) << expected.name;
        EXPECT_EQ(place.top, expected.top) << expected.name;
        EXPECT_EQ(place.right - place.left, expected.width) << expected.name;
        EXPECT_EQ(place.bottom - place.top, expected.height) << expected.name;
    }
}

TEST_F(WindowLayout, CaptionsTextsAndTipAreExactlyAsDesigned) {
    EXPECT_EQ(win32::windowText(window().handle()), "FendralWin");
    for (const ControlLayout& design : controlTable()) {
        if (design.kind == ControlKind::Label || design.kind == ControlKind::CommandButton ||
            design.kind == ControlKind::TextBox) {
            EXPECT_EQ(text(design.name), design.text) << design.name;
        }
    }

    wchar_t tip[128]{};
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window().handle();
    tool.uId = reinterpret_cast<UINT_PTR>(handle("txtOutputFile"));
    tool.lpszText = tip;
    SendMessageW(window().toolTip(), TTM_GETTEXTW, std::size(tip), reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(windows::narrow(tip), "Select an output file below or type in a file name");
}

TEST_F(WindowLayout, LabelsHaveTheirFontsAndColours) {
    for (const char* heading : {"Label1", "lblOutput"}) {
        const LOGFONTW font = fontOf(heading);
        EXPECT_STREQ(font.lfFaceName, L"Arial") << heading;
        EXPECT_EQ(font.lfHeight, -19) << "14.25 points";
        EXPECT_TRUE(font.lfItalic);
        EXPECT_EQ(font.lfWeight, FW_NORMAL);

        const HDC dc = CreateCompatibleDC(nullptr);
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(window().handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(handle(heading))));
        LOGBRUSH fill{};
        GetObjectW(brush, sizeof fill, &fill);
        EXPECT_EQ(fill.lbColor, RGB(0, 0, 255)) << heading;
        EXPECT_EQ(GetBkColor(dc), RGB(0, 0, 255));
        EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
        DeleteDC(dc);
    }
    for (const char* path : {"lblInputFile", "lblOutputFile"}) {
        const LOGFONTW font = fontOf(path);
        EXPECT_STREQ(font.lfFaceName, L"Tahoma") << path;
        EXPECT_EQ(font.lfHeight, -9) << "6.75 points";
        EXPECT_FALSE(font.lfItalic);
    }
    // The standard font fits one line into the lowest labels, 13 pixels high.
    EXPECT_LE(-fontOf("lblSelInDrive").lfHeight, 11);
    for (const ControlLayout& design : controlTable()) {
        if (design.kind == ControlKind::Label) {
            const auto style = GetWindowLongPtrW(handle(design.name), GWL_STYLE);
            EXPECT_EQ(style & (SS_TYPEMASK | SS_NOPREFIX), SS_LEFT | SS_NOPREFIX) << design.name;
        }
    }
}

TEST_F(WindowLayout, ButtonsAndScrollBarsStartAsDesigned) {
    EXPECT_FALSE(IsWindowEnabled(handle("cmdRunFendral")));
    EXPECT_TRUE(IsWindowEnabled(handle("cmdExit")));
    for (const auto& [name, maximum] : {std::pair{"hscrlRadius", 100}, {"hscrlMaxDiff", 50}}) {
        int low = -1;
        int high = -1;
        GetScrollRange(handle(name), SB_CTL, &low, &high);
        EXPECT_EQ(low, 0) << name;
        EXPECT_EQ(high, maximum) << name;
        EXPECT_EQ(GetScrollPos(handle(name), SB_CTL), 10) << name;
    }
}

TEST_F(WindowLayout, TheFocusStartsOnTheInputDriveAndTabFollowsTheTable) {
    EXPECT_EQ(GetFocus(), handle("drvIn"));
    const auto cycle = [this] {
        std::vector<std::string> names;
        HWND at = handle("drvIn");
        do {
            names.push_back(nameOf(at));
            at = GetNextDlgTabItem(window().handle(), at, FALSE);
        } while (at != handle("drvIn") && names.size() < controlTable().size());
        return names;
    };
    const std::vector<std::string> withoutRun{
        "drvIn",        "dirIn",       "filIn",     "drvOut",     "dirOut", "txtOutputFile",
        "hscrlMaxDiff", "hscrlRadius", "txtRadius", "txtMaxDiff", "cmdExit"};
    EXPECT_EQ(cycle(), withoutRun);
    EnableWindow(handle("cmdRunFendral"), TRUE);
    std::vector<std::string> withRun = withoutRun;
    withRun.insert(withRun.end() - 1, "cmdRunFendral");
    EXPECT_EQ(cycle(), withRun);

    // Tab and Shift+Tab through the window's dialog keys.
    pressKey("drvIn", VK_TAB);
    EXPECT_EQ(GetFocus(), handle("dirIn"));
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    pressKey("dirIn", VK_TAB);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(GetFocus(), handle("drvIn"));
}

TEST_F(WindowLayout, TheIconIsAGreySquareWithTransparentCornersAndABuilding) {
    for (const auto& [which, size] : {std::pair{GCLP_HICON, 32}, {GCLP_HICONSM, 16}}) {
        const auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(window().handle(), which));
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info)) << size;
        BITMAPINFO format{};
        format.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size * size));
        const HDC screen = GetDC(nullptr);
        GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(size), pixels.data(), &format,
                  DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        const int unit = size / 16;
        const auto at = [&](int x, int y) {
            return pixels[static_cast<std::size_t>(y * unit * size + x * unit)];
        };
        EXPECT_EQ(at(0, 0) >> 24, 0U) << "a transparent corner at " << size;
        EXPECT_EQ(at(8, 10), 0xFFC0C0C0U) << "grey inside the hall at " << size;
        EXPECT_EQ(at(3, 10), 0xFF404040U) << "the hall's dark outline at " << size;
        EXPECT_EQ(at(6, 2), 0xFFC0C0C0U) << "grey above the first stack at " << size;
        EXPECT_EQ(at(6, 5), 0xFFC0C0C0U) << "grey inside the first stack at " << size;
    }
}

} // namespace
} // namespace fendralwin::test
