#pragma once

#include "app/view/FormControls.h"
#include "app/view/win32/ChildControl.h"
#include "platform/Platform.h"

#include <memory>
#include <string_view>
#include <vector>
#include <windows.h>

namespace fendralwin::win32 {

// The program's one window (class "frmFendralWrapper", caption "FendralWin"), built from the
// control table: a fixed frame around the designed client area, scaled to the screen's DPI, and
// the 24 controls as direct children; Tab follows the table's order. Each control is found by
// its name with child(name), or by its control ID (see controlId). Activated again, or told that
// a drive came or went, the window raises Refresh.
class FormWindow final : public IFormWindow {
public:
    explicit FormWindow(const Platform& platform);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND handle() const { return window_; }
    bool isOpen() const { return window_ != nullptr; }
    int dpi() const { return dpi_; }
    // The tool tip window that holds the controls' tips.
    HWND toolTip() const { return toolTip_; }

    // Throws std::out_of_range for a name that the table does not hold.
    ChildControl& child(std::string_view name) const;
    FormControls controls() override { return formControls_; }

    // Shows the window with the keyboard focus on `focus`.
    void show(int showCommand, const ChildControl& focus);
    // Closing ends the window; it cannot be refused.
    void close() override;
    // Tab, Shift+Tab and Enter for the controls; true when `message` was used up by them.
    bool takeDialogMessage(MSG& message);

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls(const Platform& platform);
    // Files and folders dropped on the window, offered for the half they were dropped on.
    void drop(WPARAM dropped);
    ChildControl* controlWithId(int id) const;
    ChildControl* controlWithHandle(HWND handle) const;
    int pixels(int twips) const;

    struct GdiDeleter {
        void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
    };
    using GdiObject = std::unique_ptr<void, GdiDeleter>;

    int dpi_;
    GdiObject standardFont_;
    GdiObject headingFont_;
    GdiObject pathFont_;
    GdiObject headingBrush_;
    HWND window_ = nullptr;
    HWND toolTip_ = nullptr;
    HWND lastFocus_ = nullptr;
    std::vector<std::unique_ptr<ChildControl>> children_;
    FormControls formControls_{};
};

} // namespace fendralwin::win32
