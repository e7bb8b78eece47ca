// The real Win32 window: the behaviour scenarios, the layout of the control table, and what
// only the system's controls do.
#include "BehaviourSuite.h"
#include "Win32Driver.h"
#include "app/view/win32/DriveList.h"
#include "app/view/win32/FileList.h"
#include "app/view/win32/FolderList.h"
#include "platform/windows/SystemText.h"

#include <cstdint>

namespace fendralwin::test {
namespace {

class Win32Behaviour : public BehaviourTest {
    std::unique_ptr<BehaviourDriver> makeDriver(const std::string& startFolder) override {
        return std::make_unique<Win32Driver>(false, startFolder);
    }
};

TEST_P(Win32Behaviour, Holds) {
    runScenario();
}
INSTANTIATE_TEST_SUITE_P(Win32, Win32Behaviour, testing::ValuesIn(behaviourScenarios()),
                         scenarioName);

class Win32Window : public testing::Test {
protected:
    Win32Driver window;
};

TEST_F(Win32Window, IsLaidOutAsTheControlTableSaysAt96Dpi) {
    ASSERT_EQ(window.dpi(), 96);
    checkLayoutAgainstTheTable(window);
    // The standard font fits one line into the lowest labels, 13 pixels high, and no caption
    // reads "&" as the mark of a shortcut key.
    EXPECT_LE(window.font("lblSelInDrive").points * 96 / 72, 11);
    for (const ControlLayout& design : controlTable()) {
        if (design.kind == ControlKind::Label) {
            const auto style = GetWindowLongPtrW(window.handle(design.name), GWL_STYLE);
            EXPECT_EQ(style & (SS_TYPEMASK | SS_NOPREFIX), SS_LEFT | SS_NOPREFIX) << design.name;
        }
    }
}

TEST_F(Win32Window, ShiftTabGoesBackThroughTheDialogKeys) {
    window.pressKey("drvIn", VK_TAB);
    EXPECT_EQ(window.focus(), "dirIn");
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    window.pressKey("dirIn", VK_TAB);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(window.focus(), "drvIn");
}

TEST_F(Win32Window, TheListsShowTheDriveTheFolderTreeAndTheFilesInTheirOrder) {
    EXPECT_EQ(window.control<win32::FileList>("filIn").names(),
              (std::vector<std::wstring>{L"scan1.tif", L"Scan2.TIF"}));
    const FolderRows& folders = window.control<win32::FolderList>("dirIn").rows();
    EXPECT_EQ(folders.rows.front().name, "c:\\");
    ASSERT_EQ(folders.openRow + 3, folders.rows.size());
    EXPECT_EQ(folders.rows[folders.openRow].name, "Fendral Win");
    EXPECT_EQ(folders.rows.back().name, "Out");
    EXPECT_EQ(folders.rows.back().depth, static_cast<int>(folders.openRow) + 1);
    EXPECT_EQ(SendMessageW(window.handle("dirIn"), LB_GETCURSEL, 0, 0),
              static_cast<LRESULT>(folders.openRow));
    EXPECT_EQ(window.control<win32::DriveList>("drvIn").drive(), "c:");
}

TEST_F(Win32Window, AnActivatedWindowShowsFilesThatCameOrWentAndKeepsTheChoiceQuietly) {
    window.clickFile("scan1.tif");
    for (const wchar_t* file : {L"frame_10.tif", L"frame_2.tif"}) {
        std::ofstream(window.root / file) << "x";
    }
    std::filesystem::remove(window.root / L"Scan2.TIF");
    SendMessageW(window.window().handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    auto& files = window.control<win32::FileList>("filIn");
    EXPECT_EQ(files.names(),
              (std::vector<std::wstring>{L"frame_2.tif", L"frame_10.tif", L"scan1.tif"}));
    EXPECT_EQ(files.selectedItem(), "scan1.tif");
    EXPECT_TRUE(window.messages().empty());
}

TEST_F(Win32Window, EnterOpensTheRootWhichKeepsItsSeparator) {
    SetFocus(window.handle("dirOut"));
    SendMessageW(window.handle("dirOut"), LB_SETCURSEL, 0, 0);
    window.pressKey("dirOut", VK_RETURN);
    EXPECT_EQ(window.control<win32::FolderList>("dirOut").path(), "C:\\");
    EXPECT_EQ(window.text("lblOutputFile"), "Output File: C:\\");
}

TEST_F(Win32Window, ADriveOpensItsCurrentFolderAndTheProcessKeepsItsOwn) {
    std::wstring current(MAX_PATH, L'\0');
    current.resize(GetCurrentDirectoryW(MAX_PATH, current.data()));
    ASSERT_EQ(current.substr(1, 2), L":\\");
    const std::string drive{static_cast<char>(std::tolower(current[0])), ':'};

    auto& folders = window.control<win32::FolderList>("dirIn");
    EXPECT_TRUE(folders.setPath(drive));
    EXPECT_EQ(folders.path(), windows::narrow(current));
    EXPECT_EQ(window.control<win32::FileList>("filIn").path(), windows::narrow(current));
    EXPECT_FALSE(folders.setPath(window.path("no such folder")));
    EXPECT_EQ(folders.path(), windows::narrow(current));

    std::wstring after(MAX_PATH, L'\0');
    after.resize(GetCurrentDirectoryW(MAX_PATH, after.data()));
    EXPECT_EQ(after, current);
}

TEST_F(Win32Window, TheDriveListRaisesChangeOnlyForAnotherDrive) {
    const HWND drives = window.handle("drvOut");
    const auto chooseDrive = [&](LRESULT index) {
        SendMessageW(drives, CB_SETCURSEL, index, 0);
        SendMessageW(window.window().handle(), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(drives), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(drives));
    };
    const LRESULT programDrive = SendMessageW(drives, CB_GETCURSEL, 0, 0);
    window.openFolder("dirOut", "Out");
    chooseDrive(programDrive);
    EXPECT_EQ(window.control<win32::FolderList>("dirOut").path(), window.path("Out"));

    ASSERT_GT(SendMessageW(drives, CB_GETCOUNT, 0, 0), 1) << "Wine has C: and Z:";
    chooseDrive(programDrive == 0 ? 1 : 0);
    const std::string opened = window.control<win32::FolderList>("dirOut").path();
    EXPECT_NE(std::tolower(opened[0]), 'c') << opened;
    EXPECT_EQ(window.text("lblOutputFile"), "Output File: " + opened + "\\");
}

TEST_F(Win32Window, TheIconIsAGreySquareWithTransparentCornersAndABuilding) {
    for (const auto& [which, size] : {std::pair{GCLP_HICON, 32}, {GCLP_HICONSM, 16}}) {
        const auto icon =
            reinterpret_cast<HICON>(GetClassLongPtrW(window.window().handle(), which));
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info)) << size;
        // A 16-colour icon: colours without alpha, and a mask that is white where transparent.
        BITMAPINFO format{};
        format.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        std::vector<std::uint32_t> colours(static_cast<std::size_t>(size * size));
        std::vector<std::uint32_t> mask(colours.size());
        const HDC screen = GetDC(nullptr);
        for (const auto& [bitmap, pixels] :
             {std::pair{info.hbmColor, colours.data()}, {info.hbmMask, mask.data()}}) {
            GetDIBits(screen, bitmap, 0, static_cast<UINT>(size), pixels, &format, DIB_RGB_COLORS);
            DeleteObject(bitmap);
        }
        ReleaseDC(nullptr, screen);
        const int unit = size / 16;
        const auto at = [&](const std::vector<std::uint32_t>& pixels, int x, int y) {
            return pixels[static_cast<std::size_t>(y * unit * size + x * unit)] & 0xFFFFFFU;
        };
        EXPECT_EQ(at(mask, 0, 0), 0xFFFFFFU) << "a transparent corner at " << size;
        EXPECT_EQ(at(mask, 8, 10), 0U) << "an opaque square at " << size;
        EXPECT_EQ(at(colours, 8, 10), 0xC0C0C0U) << "grey inside the hall at " << size;
        EXPECT_EQ(at(colours, 3, 10), 0x404040U) << "the hall's dark outline at " << size;
        EXPECT_EQ(at(colours, 6, 2), 0xC0C0C0U) << "grey above the first stack at " << size;
        EXPECT_EQ(at(colours, 6, 5), 0xC0C0C0U) << "grey inside the first stack at " << size;
    }
}

TEST(Win32Program, ReleasingTheWindowDeletesTheScriptAtTheEndOnly) {
    Win32Driver window;
    std::ofstream(window.root / L"fdw.bat") << "x";
    window.press("cmdExit");
    EXPECT_FALSE(window.isOpen());
    EXPECT_TRUE(std::filesystem::exists(window.root / L"fdw.bat")) << "deleted at the end only";
    window.frontEnd.reset();
    EXPECT_FALSE(std::filesystem::exists(window.root / L"fdw.bat"));
}

TEST(Win32Program, RunHasTheCommandInterpreterRunFendralOnTheChosenFile) {
    Win32Driver window(true);
    window.clickItem("filIn", 1);
    // The chosen file stays chosen: a click below the items and a Ctrl+click on it keep it.
    RECT list{};
    GetClientRect(window.handle("filIn"), &list);
    SendMessageW(window.handle("filIn"), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(4, list.bottom - 2));
    SendMessageW(window.handle("filIn"), WM_LBUTTONUP, 0, MAKELPARAM(4, list.bottom - 2));
    window.clickItem("filIn", 1, false, MK_CONTROL);

    window.paste("txtOutputFile", "clean 50%.tif");
    window.press("cmdRunFendral");
    EXPECT_TRUE(window.messages().empty());
    EXPECT_EQ(probeArguments(window.root),
              (std::vector<std::string>{"1", "10", window.path("Scan2.TIF"),
                                        window.path("clean 50%.tif")}));
}

} // namespace
} // namespace fendralwin::test
