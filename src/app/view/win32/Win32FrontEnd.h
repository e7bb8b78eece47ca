#pragma once

#include "app/frmFendralWrapper.h"
#include "app/view/win32/FormWindow.h"
#include "app/view/win32/Win32MessageBoxes.h"
#include "platform/Platform.h"

#include <memory>

namespace fendralwin::win32 {

// The Win32 window with its window object: builds the window, opens the lists on the program
// folder, runs the Load event, and then connects the controls' events to the handlers.
// Destroying it releases the window object, which runs its Terminate event.
class Win32FrontEnd {
public:
    // With the system's message boxes, or with the ones given.
    explicit Win32FrontEnd(Platform& platform);
    Win32FrontEnd(Platform& platform, IMessageBoxes& messageBoxes);
    Win32FrontEnd(const Win32FrontEnd&) = delete;
    Win32FrontEnd& operator=(const Win32FrontEnd&) = delete;

    // Shows the window with the focus on the input drive list.
    void show(int showCommand = SW_SHOWNORMAL);

    FormWindow& window() { return window_; }
    frmFendralWrapper& form() { return *form_; }

private:
    void openListsOn(const std::string& folder);
    void connectEvents();

    FormWindow window_;
    Win32MessageBoxes systemBoxes_;
    // Last, so that it goes first: its Terminate event runs while the controls still exist.
    std::unique_ptr<frmFendralWrapper> form_;
};

} // namespace fendralwin::win32
