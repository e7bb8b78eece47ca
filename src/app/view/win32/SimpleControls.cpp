#include "app/view/win32/SimpleControls.h"

#include <algorithm>

namespace fendralwin::win32 {

Label::Label(const ControlLayout& design, const ControlSite& site)
    : ChildControl(L"STATIC", SS_LEFT | SS_NOPREFIX, 0, design, site) {}

TextBox::TextBox(const ControlLayout& design, const ControlSite& site)
    : ChildControl(L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, design, site) {
}

void TextBox::setText(const std::string& text) {
    if (text != this->text()) {
        setWindowText(handle(), text);
    }
}

void TextBox::commanded(int notification) {
    if (notification == EN_CHANGE) {
        raiseEvent();
    }
}

CommandButton::CommandButton(const ControlLayout& design, const ControlSite& site)
    : ChildControl(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | (design.enabled ? 0 : WS_DISABLED), 0,
                   design, site) {}

void CommandButton::commanded(int notification) {
    if (notification == BN_CLICKED) {
        raiseEvent();
    }
}

void CommandButton::activated() {
    if (IsWindowEnabled(handle())) {
        raiseEvent();
    }
}

ScrollBar::ScrollBar(const ControlLayout& design, const ControlSite& site)
    : ChildControl(L"SCROLLBAR", WS_TABSTOP | SBS_HORZ, 0, design, site) {
    // No page size is set: it would shorten the reachable range by the page's length.
    SetScrollRange(handle(), SB_CTL, 0, design.maximum, FALSE);
    SetScrollPos(handle(), SB_CTL, design.value, TRUE);
}

void ScrollBar::scrolled(int request, int position) {
    const int now = value();
    switch (request) {
    case SB_THUMBTRACK:
        moveTo(position);
        raiseEvent();
        return;
    case SB_THUMBPOSITION:
        moveTo(position);
        return;
    case SB_LINELEFT:
        moveTo(now - kLineStep);
        return;
    case SB_LINERIGHT:
        moveTo(now + kLineStep);
        return;
    case SB_PAGELEFT:
        moveTo(now - kPageStep);
        return;
    case SB_PAGERIGHT:
        moveTo(now + kPageStep);
        return;
    case SB_LEFT:
        moveTo(0);
        return;
    case SB_RIGHT:
        moveTo(design().maximum);
        return;
    default:
        return;
    }
}

void ScrollBar::moveTo(int position) {
    SetScrollPos(handle(), SB_CTL, std::clamp(position, 0, design().maximum), TRUE);
}

} // namespace fendralwin::win32
