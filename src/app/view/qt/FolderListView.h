#pragma once

#include "app/view/Controls.h"
#include "app/view/qt/FolderWatcher.h"
#include "app/view/qt/ListView.h"
#include "platform/Platform.h"

namespace fendralwin {

class FolderListModel;

// A folder list: the open folder's ancestors from the root down, the open folder, and its
// subfolders indented below it. A double-click or Enter on an entry opens that folder. Opening
// a folder raises Change.
class FolderListView final : public ListView, public IFolderList {
public:
    FolderListView(const Platform& platform, QWidget* parent);

    std::string path() const override { return path_; }
    bool setPath(const std::string& path) override;
    bool reread() override { return show(path_); }
    // Reports every change of the open folder and of the folder that holds it: a folder removed
    // while it is some process's current folder (ours, when the lists opened there) tells its
    // own watch nothing until it is left, its parent at once.
    const FolderWatcher& diskWatch() const { return *watcher_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openEntry(const QModelIndex& index);
    // Shows the rows of `folder` and watches it; false, changing nothing, when it cannot be read.
    bool show(const std::string& folder);

    const Platform& platform_;
    FolderListModel* model_;
    FolderWatcher* watcher_;
    std::string path_;
};

} // namespace fendralwin
