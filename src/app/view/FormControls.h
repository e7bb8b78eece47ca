#pragma once

#include "app/view/Controls.h"

#include <string_view>
#include <tuple>

namespace fendralwin {

// The window and the controls that the window object reads, writes or handles, as each toolkit's
// window (and the test fakes) hand them over.
struct FormControls {
    IWindow* window;
    IDriveList* drvIn;
    IFolderList* dirIn;
    IFileList* filIn;
    IDriveList* drvOut;
    IFolderList* dirOut;
    ITextBox* txtOutputFile;
    IScrollBar* hscrlRadius;
    IScrollBar* hscrlMaxDiff;
    ITextBox* txtRadius;
    ITextBox* txtMaxDiff;
    ICommandButton* cmdRunFendral;
    ICommandButton* cmdExit;
    ILabel* lblInputFile;
    ILabel* lblOutputFile;
};

// A toolkit's window as the window object sees it: a window that closes and raises Refresh, and
// the controls that the window object uses.
class IFormWindow : public IWindow {
public:
    virtual FormControls controls() = 0;
};

// A control of the table that FormControls holds: its name there and its member here.
template <auto Member>
struct ControlSlot {
    template <typename Interface>
    static Interface memberInterface(Interface* FormControls::*);
    using Interface = decltype(memberInterface(Member));
    static constexpr auto member = Member;
    std::string_view name;
};

// The one place where a control's name meets its member. The control table's kinds are checked
// against these members' kinds when the program is compiled.
inline constexpr std::tuple kControlSlots{
    ControlSlot<&FormControls::drvIn>{"drvIn"},
    ControlSlot<&FormControls::dirIn>{"dirIn"},
    ControlSlot<&FormControls::filIn>{"filIn"},
    ControlSlot<&FormControls::drvOut>{"drvOut"},
    ControlSlot<&FormControls::dirOut>{"dirOut"},
    ControlSlot<&FormControls::txtOutputFile>{"txtOutputFile"},
    ControlSlot<&FormControls::hscrlRadius>{"hscrlRadius"},
    ControlSlot<&FormControls::hscrlMaxDiff>{"hscrlMaxDiff"},
    ControlSlot<&FormControls::txtRadius>{"txtRadius"},
    ControlSlot<&FormControls::txtMaxDiff>{"txtMaxDiff"},
    ControlSlot<&FormControls::cmdRunFendral>{"cmdRunFendral"},
    ControlSlot<&FormControls::cmdExit>{"cmdExit"},
    ControlSlot<&FormControls::lblInputFile>{"lblInputFile"},
    ControlSlot<&FormControls::lblOutputFile>{"lblOutputFile"},
};

// Runs `visit(slot)` for the slot of the control named `name`; false when FormControls holds no
// control of that name (a label that nothing writes).
template <typename Visit>
bool visitControlSlot(std::string_view name, Visit&& visit) {
    return std::apply(
        [&](const auto&... each) { return ((each.name == name && (visit(each), true)) || ...); },
        kControlSlots);
}

} // namespace fendralwin
