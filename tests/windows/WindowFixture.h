#pragma once

#include "Fakes.h"
#include "TempFolder.h"
#include "WindowsTestSupport.h"
#include "app/view/win32/Win32FrontEnd.h"
#include "platform/windows/SystemText.h"
#include "platform/windows/WindowsPlatform.h"

#include <gtest/gtest.h>
#include <memory>

namespace fendralwin::test {

// The real window, shown, on a program folder that holds the probe as Fendral, three TIF files
// (scan1.tif, Scan2.TIF, été.tif), one other file and three subfolders (alpha, Beta dir, Zeta).
// Message boxes are recorded instead of shown.
class WindowTest : public testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    win32::FormWindow& window() { return frontEnd->window(); }
    HWND handle(std::string_view name) { return window().control(name).handle(); }
    template <typename Control>
    Control& control(std::string_view name) {
        return window().control<Control>(name);
    }
    std::string text(std::string_view name) { return win32::windowText(handle(name)); }
    // The name of the control with that window handle.
    std::string nameOf(HWND control);

    // What the user's actions send: a notification of a control to the window, a key through
    // the dialog keys, a click on an item of a list.
    void notify(const char* name, int notification);
    void pressKey(const char* name, WPARAM key);
    void clickItem(const char* name, int index, bool twice = false);

    TempFolder temp;
    std::filesystem::path folder;
    std::string folderText; // the program folder as folder text
    WindowsPlatform platform;
    FakeMessageBoxes boxes;
    std::unique_ptr<win32::Win32FrontEnd> frontEnd;
};

} // namespace fendralwin::test
