#pragma once

#include "app/view/FormWiring.h"
#include "app/view/win32/FormWindow.h"
#include "app/view/win32/Win32MessageBoxes.h"
#include "platform/Platform.h"

namespace fendralwin::win32 {

// The Win32 window with its window object, its lists opened on the start folder. Destroying it
// releases the window object, which runs its Terminate event.
class Win32FrontEnd {
public:
    // With the system's message boxes, or with the ones given.
    Win32FrontEnd(Platform& platform, const std::string& startFolder);
    Win32FrontEnd(Platform& platform, const std::string& startFolder, IMessageBoxes& messageBoxes);
    Win32FrontEnd(const Win32FrontEnd&) = delete;
    Win32FrontEnd& operator=(const Win32FrontEnd&) = delete;

    // Shows the window with the focus on the input drive list.
    void show(int showCommand = SW_SHOWNORMAL);

    FormWindow& window() { return window_; }
    frmFendralWrapper& form() { return wiring_.form(); }

private:
    FormWindow window_;
    Win32MessageBoxes systemBoxes_;
    // Last, so that it goes first: its Terminate event runs while the controls still exist.
    FormWiring wiring_;
};

} // namespace fendralwin::win32
