#pragma once

#include "app/view/Controls.h"
#include "app/view/FolderRows.h"
#include "app/view/win32/ChildControl.h"
#include "platform/Platform.h"

namespace fendralwin::win32 {

// A folder tree drawn as one list: the open folder's ancestors from its drive's root down, the
// open folder itself, then its subfolders, each one level further in. Double-click or Enter on
// an entry opens it. Folders are read by path: the process's current folder is never changed.
class FolderList final : public ChildControl, public IFolderList {
public:
    FolderList(const ControlLayout& design, const ControlSite& site, const Platform& platform);

    std::string path() const override;
    bool setPath(const std::string& path) override;
    void commanded(int notification) override;
    bool reread() override { return show(path_); }
    void activated() override;
    bool drawItem(const DRAWITEMSTRUCT& item) override;

    const FolderRows& rows() const { return rows_; }

private:
    void openSelectedEntry();
    // Shows the rows of `path`; false, changing nothing, when it cannot be read.
    bool show(const std::string& path);

    const Platform& platform_;
    std::string path_;
    FolderRows rows_{};
};

} // namespace fendralwin::win32
