#pragma once

#include "app/view/Controls.h"
#include "app/view/win32/ChildControl.h"

#include <string>
#include <vector>

namespace fendralwin::win32 {

// The system's drives, shown as "c: [LABEL]". The chosen drive reads "c:", which a folder list
// opens on that drive's current folder. Choosing another drive raises Change.
class DriveList final : public ChildControl, public IDriveList {
public:
    DriveList(const ControlLayout& design, const ControlSite& site);

    std::string drive() const override;
    void showDriveOf(const std::string& path) override;
    void reread() override;
    void commanded(int notification) override;

private:
    std::vector<std::wstring> items_; // "c: [LABEL]", the letter in lower case, as listed
    LRESULT shownIndex_ = CB_ERR;
};

} // namespace fendralwin::win32
