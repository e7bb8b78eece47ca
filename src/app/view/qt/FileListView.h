#pragma once

#include "app/view/Controls.h"

#include <QListView>
#include <string>

class QStringListModel;

namespace fendralwin {

class FolderWatcher;

// A file list: the files of one folder whose names match a pattern, without regard to case.
// Selecting a file raises Click. A folder that cannot be read lists no files. Files that appear
// or vanish in the folder show at once, the chosen one staying chosen and nothing raised; when
// the chosen one vanishes, none is chosen and Click is raised.
class FileListView final : public QListView, public IFileList, public EventSource {
public:
    FileListView(std::string pattern, QWidget* parent);

    std::string path() const override { return path_; }
    void setPath(const std::string& path) override;
    std::string selectedItem() const override;

protected:
    // One file stays chosen until another is: a click on blank space, Ctrl+click or Ctrl+Space
    // on the chosen file keep it, as the classic single-choice list does.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    // Lists the folder's files again, with `chosen` chosen when it is among them; false when it
    // was chosen and is not.
    bool fill(const QString& chosen);
    void refresh();

    QStringListModel* model_;
    FolderWatcher* watcher_;
    std::string pattern_;
    std::string path_;
};

} // namespace fendralwin
