#pragma once

#include "app/view/FormWiring.h"
#include "app/view/qt/FormWindow.h"
#include "app/view/qt/QtMessageBoxes.h"
#include "platform/Platform.h"

namespace fendralwin {

// The Qt window with its window object, its lists opened on the start folder. Destroying it
// releases the window object, which runs its Terminate event.
class QtFrontEnd {
public:
    // With Qt's message boxes, or with the ones given.
    QtFrontEnd(Platform& platform, const std::string& startFolder);
    QtFrontEnd(Platform& platform, const std::string& startFolder, IMessageBoxes& messageBoxes);

    // Shows the window with the focus on the input drive list.
    void show();

    FormWindow& window() { return window_; }
    frmFendralWrapper& form() { return wiring_.form(); }

private:
    FormWindow window_;
    QtMessageBoxes qtBoxes_;
    // Last, so that it goes first: its Terminate event runs while the controls still exist.
    FormWiring wiring_;
};

} // namespace fendralwin
