#pragma once

#include "app/frmFendralWrapper.h"
#include "app/view/Controls.h"
#include "platform/Platform.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace fendralwin {

// Which handler of the window object each control's one event runs.
struct EventBinding {
    std::string_view control;
    ControlEvent event;
    void (frmFendralWrapper::*handler)();
};

std::span<const EventBinding> eventTable();

// The window object over a toolkit's window: opens the lists on the start folder (the program
// folder when that cannot be opened), runs the Load event, then connects every control's event
// to its handler, so that nothing runs before Load.
// A folder list also keeps its drive list on the drive of the folder it opens. Destroying it
// releases the window object, which runs its Terminate event.
class FormWiring {
public:
    FormWiring(IFormWindow& window, IMessageBoxes& messageBoxes, Platform& platform,
               const std::string& startFolder);

    frmFendralWrapper& form() { return *form_; }

private:
    std::unique_ptr<frmFendralWrapper> form_;
};

} // namespace fendralwin
