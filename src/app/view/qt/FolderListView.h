#pragma once

#include "app/view/Controls.h"

#include <QListView>

namespace fendralwin {

class FolderListModel;

// A folder list: the open folder's ancestors from the root down, the open folder, and its
// subfolders indented below it. A double-click or Enter on an entry opens that folder. Opening
// a folder raises Change.
class FolderListView final : public QListView, public IFolderList, public EventSource {
public:
    explicit FolderListView(QWidget* parent);

    std::string path() const override { return path_; }
    bool setPath(const std::string& path) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openEntry(const QModelIndex& index);

    FolderListModel* model_;
    std::string path_;
};

} // namespace fendralwin
