#pragma once

#include "app/view/Controls.h"
#include "app/view/win32/ChildControl.h"
#include "platform/Platform.h"

#include <vector>

namespace fendralwin::win32 {

// The files of one folder that match the control's pattern; selecting one raises Click.
class FileList final : public ChildControl, public IFileList {
public:
    FileList(const ControlLayout& design, const ControlSite& site, const Platform& platform);

    std::string path() const override { return path_; }
    void setPath(const std::string& path) override;
    std::string selectedItem() const override;
    void reread() override;
    bool select(const std::string& name) override;
    void commanded(int notification) override;

    const std::vector<std::wstring>& names() const { return names_; }

private:
    // Lists the folder's files again, with `chosen` chosen when it is among them.
    void fill(const std::wstring& chosen);

    const Platform& platform_;
    std::string path_;
    std::vector<std::wstring> names_;
};

} // namespace fendralwin::win32
