#pragma once

#include <QListView>
#include <QString>
#include <string>

class QStringListModel;

namespace fendralwin {

// A file list: the files of one folder whose names match a pattern, without regard to case.
class FileListView final : public QListView {
    Q_OBJECT
public:
    FileListView(const QString& pattern, QWidget* parent);

    // The listed folder, as the folder list gives it.
    QString folderPath() const { return path_; }
    // Lists the matching files of `path`, none selected. A folder that cannot be read lists none.
    void setFolderPath(const QString& path);
    // The selected file's name; empty when none is selected.
    QString selectedName() const;

protected:
    // One file stays chosen until another is: a click on blank space, Ctrl+click or Ctrl+Space
    // on the chosen file keep it, as the classic single-choice list does.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

signals:
    // The user selected a file (mouse or keyboard).
    void fileChosen();

private:
    QStringListModel* model_;
    std::string pattern_;
    QString path_;
};

} // namespace fendralwin
