#include "app/view/qt/FileListView.h"

#include "app/view/qt/ListedNames.h"
#include "platform/FolderContents.h"
#include "platform/Platform.h"

#include <QSignalBlocker>
#include <QStringListModel>

namespace fendralwin {

FileListView::FileListView(const QString& pattern, QWidget* parent)
    : QListView(parent)
    , model_(new QStringListModel(this))
    , pattern_(pattern.toStdString()) {
    setModel(model_);
    setUniformItemSizes(true);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!selectedName().isEmpty()) {
            emit fileChosen();
        }
    });
}

void FileListView::setFolderPath(const QString& path) {
    path_ = path;
    std::vector<std::string> files;
    try {
        files = readFolder(path.toStdString(), pattern_).files;
    } catch (const PlatformError&) {
        // An unreadable folder simply has no files to offer.
    }
    const auto isShown = [](const std::string& name) {
        return !name.starts_with('.');
    };
    const QSignalBlocker quiet(selectionModel());
    model_->setStringList(listedNames(std::move(files), isShown));
    selectionModel()->clear();
}

QItemSelectionModel::SelectionFlags FileListView::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
    const auto command = QListView::selectionCommand(index, event);
    if (!index.isValid() ||
        (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))) {
        return QItemSelectionModel::NoUpdate;
    }
    return command;
}

QString FileListView::selectedName() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QString() : selected.front().data().toString();
}

} // namespace fendralwin
