#pragma once

#include "app/view/Controls.h"
#include "app/view/qt/ListView.h"
#include "platform/Platform.h"

#include <string>

class QStringListModel;

namespace fendralwin {

// A file list: the files of one folder whose names match a pattern, without regard to case.
// Selecting a file raises Click. A folder that cannot be read lists no files. It lists the input
// folder list's folder, whose watch reports the changes of its files.
class FileListView final : public ListView, public IFileList {
public:
    FileListView(std::string pattern, const Platform& platform, QWidget* parent);

    std::string path() const override { return path_; }
    void setPath(const std::string& path) override;
    std::string selectedItem() const override;
    void reread() override;
    bool select(const std::string& name) override;

protected:
    // One file stays chosen until another is: a click on blank space, Ctrl+click or Ctrl+Space
    // on the chosen file keep it, so that Run never loses its input to a stray click.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    // Lists the folder's files again, with `chosen` chosen when it is among them.
    void fill(const QString& chosen);

    const Platform& platform_;
    QStringListModel* model_;
    std::string pattern_;
    std::string path_;
};

} // namespace fendralwin
