// The real Win32 window: the behaviour scenarios, the layout of the control table, and what
// only the system's controls do.
#include "BehaviourSuite.h"
#include "Win32Driver.h"
#include "app/view/win32/DriveList.h"
#include "app/view/win32/FileList.h"
#include "app/view/win32/FolderList.h"
#include "app/view/win32/SimpleControls.h"
#include "platform/windows/SystemText.h"

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

// A dropped name outside the code page, holding what the interpreter reads as its own, arrives
// whole through the shell's wide drop.
TEST_F(Win32Window, ADroppedNameOutsideTheCodePageIsChosenWhole) {
    const std::string image = window.path("R&D 50% ^!\xC3\xA9\xE6\x97\xA5.tif");
    std::ofstream(std::filesystem::path(windows::widen(image))) << "x";
    ASSERT_TRUE(window.drop({image}, WindowHalf::Input));
    std::string expected = "Input File: "; // appended: see ProgramTest
    expected += image;
    EXPECT_EQ(window.text("lblInputFile"), expected);
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

// A screen reader names a list or an edit box by the static text just before it.
TEST_F(Win32Window, EachListAndBoxComesRightAfterTheCaptionThatNamesIt) {
    for (const char* named : {"drvIn", "dirIn", "filIn", "drvOut", "dirOut", "txtOutputFile",
                              "txtRadius", "txtMaxDiff"}) {
        EXPECT_EQ(window.nameOf(GetWindow(window.handle(named), GW_HWNDPREV)),
                  labelOf(controlNamed(named)))
            << named;
    }
}

TEST_F(Win32Window, ALongPathKeepsItsFileNameInViewAndAllOfItAsTheTip) {
    const std::string caption =
        "Input File: C:\\" + std::string(200, 'd') + "\\" + std::string(190, 'e') + "\\scan1.tif";
    window.control<win32::Label>("lblInputFile").setCaption(caption);
    EXPECT_EQ(GetWindowLongPtrW(window.handle("lblInputFile"), GWL_STYLE) & SS_ELLIPSISMASK,
              SS_PATHELLIPSIS);
    EXPECT_EQ(window.text("lblInputFile"), caption);
    EXPECT_EQ(window.toolTip("lblInputFile"), caption);
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

// The icon resource's two images: transparent corners around an opaque grey square.
TEST_F(Win32Window, TheWindowCarriesTheIconAtBothSizes) {
    for (const auto& [which, size] : {std::pair{GCLP_HICON, 32}, {GCLP_HICONSM, 16}}) {
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(
            reinterpret_cast<HICON>(GetClassLongPtrW(window.window().handle(), which)), &info));
        const HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, info.hbmMask);
        EXPECT_EQ(GetPixel(dc, 0, 0) & 0xFFFFFF, 0xFFFFFFU) << "a transparent corner at " << size;
        EXPECT_EQ(GetPixel(dc, size / 2, size * 10 / 16) & 0xFFFFFF, 0U) << size;
        SelectObject(dc, info.hbmColor);
        EXPECT_EQ(GetPixel(dc, size / 2, size * 10 / 16) & 0xFFFFFF, 0xC0C0C0U) << size;
        DeleteDC(dc);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
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
    // Closed at once, the window leaves the script to the interpreter that still reads it.
    window.frontEnd.reset();
    EXPECT_TRUE(std::filesystem::exists(window.root / L"fdw.bat"));
    EXPECT_EQ(probeArguments(window.root),
              (std::vector<std::string>{"1", "10", window.path("Scan2.TIF"),
                                        window.path("clean 50%.tif")}));
}

} // namespace
} // namespace fendralwin::test
