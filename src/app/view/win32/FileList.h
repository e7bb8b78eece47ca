#pragma once

#include "app/view/Controls.h"
#include "app/view/win32/ChildControl.h"

#include <vector>

namespace fendralwin::win32 {

// The files of one folder that match the control's pattern; selecting one raises Click. When
// the window is activated again, files that appeared or vanished meanwhile show, the chosen one
// staying chosen and nothing raised; when the chosen one vanished, none is chosen and Click is
// raised.
class FileList final : public ChildControl, public IFileList {
public:
    FileList(const ControlLayout& design, const ControlSite& site);

    std::string path() const override { return path_; }
    void setPath(const std::string& path) override;
    std::string selectedItem() const override;
    void commanded(int notification) override;
    void windowActivated() override;

    const std::vector<std::wstring>& names() const { return names_; }

private:
    // Lists the folder's files again, with `chosen` chosen when it is among them; false when it
    // was chosen and is not.
    bool fill(const std::wstring& chosen);

    std::string path_;
    std::vector<std::wstring> names_;
};

} // namespace fendralwin::win32
