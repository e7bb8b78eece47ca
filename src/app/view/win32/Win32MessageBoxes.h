#pragma once

#include "app/view/Controls.h"
#include "app/view/win32/FormWindow.h"

namespace fendralwin::win32 {

// The system's modal message boxes, owned by the form window while it is open.
class Win32MessageBoxes final : public IMessageBoxes {
public:
    explicit Win32MessageBoxes(const FormWindow& owner)
        : owner_(owner) {}
    void show(MessageKind kind, const std::string& title, const std::string& text) override;

private:
    const FormWindow& owner_;
};

} // namespace fendralwin::win32
