#pragma once

#include "app/frmFendralWrapper.h"
#include "app/view/FormControls.h"
#include "platform/Platform.h"

#include <memory>
#include <string>

namespace fendralwin {

// The window object over a toolkit's window: it opens the lists on the start folder, runs the
// Load event, then connects each event of the window and its controls to its handler, so that
// nothing runs before Load. Destroying it releases the window object, which runs its Terminate
// event.
//
// Each handler runs to its end before the next: a refresh asked for while a handler runs (the
// window activated as its own message box closes, a disk change reported inside the box's loop)
// waits until the outermost handler has returned, then runs once.
class FormWiring {
public:
    FormWiring(IFormWindow& window, IMessageBoxes& messageBoxes, Platform& platform,
               const std::string& startFolder);
    FormWiring(const FormWiring&) = delete;
    FormWiring& operator=(const FormWiring&) = delete;

    frmFendralWrapper& form() { return *form_; }

private:
    void handle(ControlEvent event, void (frmFendralWrapper::*handler)());
    void run(void (frmFendralWrapper::*handler)());

    std::unique_ptr<frmFendralWrapper> form_;
    int running_ = 0; // handlers running, one inside another
    bool refreshWaits_ = false;
};

} // namespace fendralwin
