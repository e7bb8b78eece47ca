#pragma once

#include <QListView>
#include <QString>

namespace fendralwin {

class FolderListModel;

// A folder list: the open folder's ancestors from the root down, the open folder, and its
// subfolders indented below it. A double-click or Enter on an entry opens that folder.
class FolderListView final : public QListView {
    Q_OBJECT
public:
    explicit FolderListView(QWidget* parent);

    // The open folder; no trailing "/" except at the root.
    QString folderPath() const { return path_; }
    // Opens `path` and emits folderChanged() before returning; returns false, changing nothing,
    // when the folder cannot be read.
    bool openFolder(const QString& path);

signals:
    void folderChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openEntry(const QModelIndex& index);

    FolderListModel* model_;
    QString path_;
};

} // namespace fendralwin
