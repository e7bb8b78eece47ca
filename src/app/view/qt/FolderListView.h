#pragma once

#include "app/view/Controls.h"

#include <QListView>

namespace fendralwin {

class FolderListModel;
class FolderWatcher;

// A folder list: the open folder's ancestors from the root down, the open folder, and its
// subfolders indented below it. A double-click or Enter on an entry opens that folder. Opening
// a folder raises Change. Subfolders that appear or vanish show at once and raise nothing; when
// the open folder vanishes, the nearest folder above it that can be opened is opened.
class FolderListView final : public QListView, public IFolderList, public EventSource {
public:
    explicit FolderListView(QWidget* parent);

    std::string path() const override { return path_; }
    bool setPath(const std::string& path) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openEntry(const QModelIndex& index);
    // Shows the rows of `folder` and watches it; false, changing nothing, when it cannot be read.
    bool show(const std::string& folder);
    void refresh();

    FolderListModel* model_;
    FolderWatcher* watcher_;
    std::string path_;
};

} // namespace fendralwin
