#include "app/view/win32/SimpleControls.h"

#include <algorithm>

namespace fendralwin::win32 {

namespace {

bool showsPath(const ControlLayout& design) {
    return design.style == LabelStyle::Path;
}

} // namespace

// A path label takes the mouse (SS_NOTIFY), so that its tool tip can show.
Label::Label(const ControlLayout& design, const ControlSite& site)
    : ChildControl(L"STATIC",
                   SS_LEFT | SS_NOPREFIX | (showsPath(design) ? SS_PATHELLIPSIS | SS_NOTIFY : 0), 0,
                   design, site)
    , toolTips_(site.toolTips) {
    if (showsPath(design)) {
        setToolTip(toolTips_, handle(), std::string(design.text));
    }
}

void Label::setCaption(const std::string& caption) {
    setWindowText(handle(), caption);
    if (showsPath(design())) {
        setToolTip(toolTips_, handle(), caption);
    }
}

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
        raiseEvent(ControlEvent::Change);
    }
}

CommandButton::CommandButton(const ControlLayout& design, const ControlSite& site)
    : ChildControl(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | (design.enabled ? 0 : WS_DISABLED), 0,
                   design, site) {}

void CommandButton::commanded(int notification) {
    if (notification == BN_CLICKED) {
        raiseEvent(ControlEvent::Click);
    }
}

void CommandButton::activated() {
    if (IsWindowEnabled(handle())) {
        raiseEvent(ControlEvent::Click);
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
        showValue(position);
        raiseEvent(ControlEvent::Scroll);
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

void ScrollBar::showValue(int position) {
    SetScrollPos(handle(), SB_CTL, std::clamp(position, 0, design().maximum), TRUE);
}

void ScrollBar::moveTo(int position) {
    const int before = value();
    showValue(position);
    if (value() != before) {
        raiseEvent(ControlEvent::Change);
    }
}

} // namespace fendralwin::win32
