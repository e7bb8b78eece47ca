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
class FormWiring {
public:
    FormWiring(IFormWindow& window, IMessageBoxes& messageBoxes, Platform& platform,
               const std::string& startFolder);

    frmFendralWrapper& form() { return *form_; }

private:
    std::unique_ptr<frmFendralWrapper> form_;
};

} // namespace fendralwin
