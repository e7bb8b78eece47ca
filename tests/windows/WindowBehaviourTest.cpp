#include "WindowFixture.h"
#include "app/view/win32/FileList.h"
#include "app/view/win32/FolderList.h"

namespace fendralwin::test {
namespace {

class WindowBehaviour : public WindowTest {
protected:
    void scroll(const char* bar, int request, int position = 0) {
        SendMessageW(window().handle(), WM_HSCROLL, MAKEWPARAM(request, position),
                     reinterpret_cast<LPARAM>(handle(bar)));
    }
    std::vector<std::string> folderEntries(const char* list) {
        std::vector<std::string> shown;
        for (const auto& entry : control<win32::FolderList>(list).entries()) {
            shown.push_back(std::string(static_cast<std::size_t>(entry.depth), ' ') +
                            windows::narrow(entry.name));
        }
        return shown;
    }
    int rowOf(const char* list, const wchar_t* name) {
        const auto& entries = control<win32::FolderList>(list).entries();
        for (std::size_t row = 0; row < entries.size(); ++row) {
            if (entries[row].name == name) {
                return static_cast<int>(row);
            }
        }
        return -1;
    }
};

TEST_F(WindowBehaviour, OnlyADragOfTheSliderWritesTheSetting) {
    struct Step {
        const char* bar;
        int request;
        int position;
        int value;           // the bar's value afterwards
        const char* setting; // the box's text afterwards
    };
    const Step steps[]{
        {"hscrlRadius", SB_THUMBTRACK, 37, 37, "3.7"},
        {"hscrlRadius", SB_LINERIGHT, 0, 38, "3.7"},
        {"hscrlRadius", SB_PAGERIGHT, 0, 48, "3.7"},
        {"hscrlRadius", SB_THUMBPOSITION, 60, 60, "3.7"},
        {"hscrlRadius", SB_THUMBTRACK, 100, 100, "10"},
        {"hscrlRadius", SB_LINERIGHT, 0, 100, "10"},
        {"hscrlMaxDiff", SB_THUMBTRACK, 50, 50, "50"},
        {"hscrlMaxDiff", SB_PAGELEFT, 0, 40, "50"},
        {"hscrlMaxDiff", SB_LEFT, 0, 0, "50"},
    };
    for (const Step& step : steps) {
        scroll(step.bar, step.request, step.position);
        EXPECT_EQ(GetScrollPos(handle(step.bar), SB_CTL), step.value) << step.request;
        const char* box = std::string_view(step.bar) == "hscrlRadius" ? "txtRadius" : "txtMaxDiff";
        EXPECT_EQ(text(box), step.setting) << step.bar << " " << step.request;
    }
    // The bar's own arrow key moves it without writing the setting.
    SendMessageW(handle("hscrlMaxDiff"), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(GetScrollPos(handle("hscrlMaxDiff"), SB_CTL), 1);
    EXPECT_EQ(text("txtMaxDiff"), "50");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(WindowBehaviour, ARefusedCharacterGivesOneMessageAndEmptiesTheBox) {
    SetFocus(handle("txtRadius"));
    SendMessageW(handle("txtRadius"), EM_SETSEL, 1, 1);
    SendMessageW(handle("txtRadius"), WM_CHAR, L'x', 0);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(boxes.shown[0],
              (ShownMessage{MessageKind::Plain, "FendralWin",
                            "Only numeric values are valid for the Radius setting."}));
    EXPECT_EQ(text("txtRadius"), "");
    EXPECT_EQ(GetFocus(), handle("txtRadius"));
}

TEST_F(WindowBehaviour, TheListsOpenOnTheProgramFolder) {
    EXPECT_EQ(control<win32::FileList>("filIn").names(),
              (std::vector<std::wstring>{L"scan1.tif", L"Scan2.TIF", L"\u00e9t\u00e9.tif"}));
    EXPECT_EQ(SendMessageW(handle("filIn"), LB_GETCURSEL, 0, 0), LB_ERR);
    const std::vector<std::string> entries = folderEntries("dirIn");
    ASSERT_GE(entries.size(), 4U);
    EXPECT_EQ(entries.front(), "c:\\");
    EXPECT_EQ(std::vector(entries.end() - 4, entries.end()),
              (std::vector<std::string>{
                  std::string(entries.size() - 4, ' ') + "Fendral Win",
                  std::string(entries.size() - 3, ' ') + "alpha",
                  std::string(entries.size() - 3, ' ') + "Beta dir",
                  std::string(entries.size() - 3, ' ') + "Zeta",
              }));
    EXPECT_EQ(control<win32::FolderList>("dirOut").path(), utf8(folder));
    const LRESULT drive = SendMessageW(handle("drvIn"), CB_GETCURSEL, 0, 0);
    wchar_t item[64]{};
    SendMessageW(handle("drvIn"), CB_GETLBTEXT, drive, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(std::wstring(item).substr(0, 2), L"c:");
}

TEST_F(WindowBehaviour, ChoosingAFileShowsItsPathAndReadiness) {
    clickItem("filIn", 2);
    EXPECT_EQ(text("lblInputFile"), "Input File: " + folderText + "\xC3\xA9t\xC3\xA9.tif");
    EXPECT_FALSE(IsWindowEnabled(handle("cmdRunFendral")));
    SetWindowTextW(handle("txtOutputFile"), L"clean.tif");
    EXPECT_EQ(text("lblOutputFile"), "Output File: " + folderText + "clean.tif");
    EXPECT_TRUE(IsWindowEnabled(handle("cmdRunFendral")));
}

TEST_F(WindowBehaviour, AFolderOpensByDoubleClickOrEnterAndTheRootKeepsItsSeparator) {
    clickItem("filIn", 0);
    clickItem("dirIn", rowOf("dirIn", L"alpha"), true);
    EXPECT_EQ(control<win32::FolderList>("dirIn").path(), utf8(folder / L"alpha"));
    EXPECT_EQ(frontEnd->form().variables().strInDir, utf8(folder / L"alpha") + "\\");
    EXPECT_TRUE(control<win32::FileList>("filIn").names().empty());
    EXPECT_EQ(text("lblInputFile"), "Input File:");

    SetFocus(handle("dirOut"));
    SendMessageW(handle("dirOut"), LB_SETCURSEL, 0, 0);
    pressKey("dirOut", VK_RETURN);
    EXPECT_EQ(control<win32::FolderList>("dirOut").path(), "C:\\");
    EXPECT_EQ(frontEnd->form().variables().strOutDir, "C:\\");
    EXPECT_EQ(text("lblOutputFile"), "Output File: C:\\");
}

TEST_F(WindowBehaviour, ADriveOpensItsCurrentFolderAndTheProcessKeepsItsOwn) {
    std::wstring current(MAX_PATH, L'\0');
    current.resize(GetCurrentDirectoryW(MAX_PATH, current.data()));
    ASSERT_EQ(current.substr(1, 2), L":\\");
    const std::string drive{static_cast<char>(std::tolower(current[0])), ':'};

    auto& folders = control<win32::FolderList>("dirIn");
    EXPECT_TRUE(folders.setPath(drive));
    EXPECT_EQ(folders.path(), windows::narrow(current));
    EXPECT_EQ(control<win32::FileList>("filIn").path(), windows::narrow(current));
    EXPECT_FALSE(folders.setPath(utf8(folder / L"no such folder")));
    EXPECT_EQ(folders.path(), windows::narrow(current));

    std::wstring after(MAX_PATH, L'\0');
    after.resize(GetCurrentDirectoryW(MAX_PATH, after.data()));
    EXPECT_EQ(after, current);
}

TEST_F(WindowBehaviour, TheDriveListRaisesChangeOnlyForAnotherDrive) {
    const LRESULT programDrive = SendMessageW(handle("drvOut"), CB_GETCURSEL, 0, 0);
    clickItem("dirOut", rowOf("dirOut", L"Zeta"), true);
    notify("drvOut", CBN_SELCHANGE);
    EXPECT_EQ(control<win32::FolderList>("dirOut").path(), utf8(folder / L"Zeta"));

    const LRESULT other = programDrive == 0 ? 1 : 0;
    ASSERT_GT(SendMessageW(handle("drvOut"), CB_GETCOUNT, 0, 0), 1) << "Wine has C: and Z:";
    SendMessageW(handle("drvOut"), CB_SETCURSEL, other, 0);
    notify("drvOut", CBN_SELCHANGE);
    const std::string opened = control<win32::FolderList>("dirOut").path();
    EXPECT_NE(std::tolower(opened[0]), 'c') << opened;
    EXPECT_EQ(frontEnd->form().variables().strOutDir.substr(0, 3), opened.substr(0, 3));
}

TEST_F(WindowBehaviour, ExitEndsTheWindowAndReleasingItDeletesTheScript) {
    std::ofstream(folder / L"fdw.bat") << "x";
    SendMessageW(handle("cmdExit"), BM_CLICK, 0, 0);
    EXPECT_FALSE(window().isOpen());
    EXPECT_TRUE(std::filesystem::exists(folder / L"fdw.bat")) << "deleted at the end only";
    frontEnd.reset();
    EXPECT_FALSE(std::filesystem::exists(folder / L"fdw.bat"));
}

TEST_F(WindowBehaviour, RunStartsTheScriptThatRunsFendralOnTheChosenFiles) {
    clickItem("filIn", 1);
    // The chosen file stays chosen: a click below the items and a Ctrl+click on it keep it.
    RECT list{};
    GetClientRect(handle("filIn"), &list);
    const LPARAM blank = MAKELPARAM(4, list.bottom - 2);
    SendMessageW(handle("filIn"), WM_LBUTTONDOWN, MK_LBUTTON, blank);
    SendMessageW(handle("filIn"), WM_LBUTTONUP, 0, blank);
    RECT chosen{};
    SendMessageW(handle("filIn"), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&chosen));
    const LPARAM onChosen = MAKELPARAM(chosen.left + 2, chosen.top + 2);
    SendMessageW(handle("filIn"), WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, onChosen);
    SendMessageW(handle("filIn"), WM_LBUTTONUP, MK_CONTROL, onChosen);
    EXPECT_EQ(SendMessageW(handle("filIn"), LB_GETCURSEL, 0, 0), 1);
    SetWindowTextW(handle("txtOutputFile"), L"clean 50%.tif");
    SendMessageW(handle("cmdRunFendral"), BM_CLICK, 0, 0);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(probeArguments(folder), (std::vector<std::string>{"1", "10", folderText + "Scan2.TIF",
                                                                folderText + "clean 50%.tif"}));
    EXPECT_TRUE(IsWindowEnabled(handle("cmdRunFendral")));
}

} // namespace
} // namespace fendralwin::test
