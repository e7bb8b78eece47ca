#include "app/view/qt/FileListView.h"

#include "app/view/qt/ListedNames.h"
#include "app/view/qt/QtText.h"
#include "platform/FolderContents.h"
#include "platform/Platform.h"

#include <QSignalBlocker>
#include <QStringListModel>

namespace fendralwin {

FileListView::FileListView(std::string pattern, QWidget* parent)
    : QListView(parent)
    , model_(new QStringListModel(this))
    , pattern_(std::move(pattern)) {
    setModel(model_);
    setUniformItemSizes(true);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!selectedItem().empty()) {
            raiseEvent();
        }
    });
}

void FileListView::setPath(const std::string& path) {
    path_ = path;
    std::vector<std::string> files;
    try {
        files = readFolder(path, pattern_).files;
    } catch (const PlatformError&) {
        // An unreadable folder simply has no files to offer.
    }
    const auto isShown = [](const std::string& name) {
        return !name.starts_with('.');
    };
    const QSignalBlocker quiet(selectionModel());
    QStringList names;
    for (const std::string& name : listedNames(std::move(files), isShown)) {
        names.append(toQt(name));
    }
    model_->setStringList(names);
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

std::string FileListView::selectedItem() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? std::string() : fromQt(selected.front().data().toString());
}

} // namespace fendralwin
