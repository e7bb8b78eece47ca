#pragma once

#include "app/view/Controls.h"
#include "app/view/win32/ChildControl.h"

#include <vector>

namespace fendralwin::win32 {

// The files of one folder that match the control's pattern; selecting one raises Click.
class FileList final : public ChildControl, public IFileList {
public:
    FileList(const ControlLayout& design, const ControlSite& site);

    std::string path() const override { return path_; }
    void setPath(const std::string& path) override;
    std::string selectedItem() const override;
    void commanded(int notification) override;

    const std::vector<std::wstring>& names() const { return names_; }

private:
    std::string path_;
    std::vector<std::wstring> names_;
};

} // namespace fendralwin::win32
