#pragma once

#include "app/view/Controls.h"
#include "app/view/win32/ChildControl.h"

// The window logic's label, text box, button and scroll bar over the system's controls.
namespace fendralwin::win32 {

// Left-aligned text that wraps at blanks and is cut off at the label's edges. A path label keeps
// its caption on one line: one that does not fit is drawn with its folders cut short, so that
// the start of the path and the whole file name stay in view, and the whole caption is its tool
// tip.
class Label final : public ChildControl, public ILabel {
public:
    Label(const ControlLayout& design, const ControlSite& site);
    void setCaption(const std::string& caption) override;

private:
    HWND toolTips_;
};

// A one-line box. The system sends EN_CHANGE from inside WM_SETTEXT, so a written text raises
// Change before setText returns, as a typed one does.
class TextBox final : public ChildControl, public ITextBox {
public:
    TextBox(const ControlLayout& design, const ControlSite& site);
    std::string text() const override { return windowText(handle()); }
    void setText(const std::string& text) override;
    void giveFocus() override { SetFocus(handle()); }
    void commanded(int notification) override;
};

class CommandButton final : public ChildControl, public ICommandButton {
public:
    CommandButton(const ControlLayout& design, const ControlSite& site);
    void setEnabled(bool enabled) override { EnableWindow(handle(), enabled ? TRUE : FALSE); }
    void commanded(int notification) override;
    void activated() override;
};

// A horizontal bar from 0 to its maximum. A drag of the slider raises Scroll; the arrows, the
// track and the keys raise Change when they move it.
class ScrollBar final : public ChildControl, public IScrollBar {
public:
    static constexpr int kLineStep = 1;
    static constexpr int kPageStep = 10;

    ScrollBar(const ControlLayout& design, const ControlSite& site);
    int value() const override { return GetScrollPos(handle(), SB_CTL); }
    void showValue(int value) override;
    void scrolled(int request, int position) override;

private:
    // Moves the slider as the user asked, raising Change.
    void moveTo(int position);
};

} // namespace fendralwin::win32
