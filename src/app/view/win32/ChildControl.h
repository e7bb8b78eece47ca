#pragma once

#include "app/view/ControlTable.h"
#include "app/view/Controls.h"

#include <string>
#include <string_view>
#include <windows.h>

namespace fendralwin::win32 {

// Control IDs follow the tab index, so a control is also found from its row of the table:
// GetDlgItem(window, controlId(controlNamed("txtRadius"))).
inline constexpr int kFirstControlId = 1000;
inline int controlId(const ControlLayout& design) {
    return kFirstControlId + design.tabIndex;
}

// Where a control stands in the client area, in pixels.
struct Place {
    int left;
    int top;
    int width;
    int height;
};

// What a control is made in: its parent window, its place, its font, and the window's tool tips.
struct ControlSite {
    HWND parent;
    Place place;
    HFONT font;
    HWND toolTips;
};

// One child window of the form, made from its row of the control table. The form window passes
// on the notifications that the control sends to its parent; the control raises its events
// (Change, Click or Scroll) from them.
class ChildControl {
public:
    ChildControl(const wchar_t* windowClass, DWORD style, DWORD extendedStyle,
                 const ControlLayout& design, const ControlSite& site);
    virtual ~ChildControl() = default;
    ChildControl(const ChildControl&) = delete;
    ChildControl& operator=(const ChildControl&) = delete;

    HWND handle() const { return handle_; }
    const ControlLayout& design() const { return design_; }

    // WM_COMMAND from the control.
    virtual void commanded(int /*notification*/) {}
    // WM_HSCROLL from the control; `position` is the slider's position during a drag.
    virtual void scrolled(int /*request*/, int /*position*/) {}
    // Enter while the control has the focus.
    virtual void activated() {}
    // WM_DRAWITEM of an owner-drawn control; false when the control draws nothing itself.
    virtual bool drawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }

private:
    HWND handle_;
    const ControlLayout& design_;
};

// A window's text as UTF-8, and back.
std::string windowText(HWND window);
void setWindowText(HWND window, const std::string& text);

// Shows `text` as the tool tip of `control`, in place of any it had.
void setToolTip(HWND toolTips, HWND control, const std::string& text);

} // namespace fendralwin::win32
