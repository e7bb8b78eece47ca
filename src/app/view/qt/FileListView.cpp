#include "app/view/qt/FileListView.h"

#include "app/view/qt/ListedNames.h"
#include "app/view/qt/QtText.h"

#include <QSignalBlocker>
#include <QStringListModel>

namespace fendralwin {

FileListView::FileListView(std::string pattern, const Platform& platform, QWidget* parent)
    : ListView(parent)
    , platform_(platform)
    , model_(new QStringListModel(this))
    , pattern_(std::move(pattern)) {
    setModel(model_);
    setUniformItemSizes(true);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!selectedItem().empty()) {
            raiseEvent(ControlEvent::Click);
        }
    });
}

void FileListView::setPath(const std::string& path) {
    path_ = path;
    fill({});
    // Another folder's files are seen from their first.
    scrollToTop();
}

void FileListView::reread() {
    fill(toQt(selectedItem()));
}

bool FileListView::select(const std::string& name) {
    const QModelIndexList found =
        model_->match(model_->index(0, 0), Qt::DisplayRole, toQt(name), 1, Qt::MatchExactly);
    if (found.isEmpty()) {
        return false;
    }
    // Selected as a click selects it: the selection's change raises Click.
    selectionModel()->setCurrentIndex(found.front(), QItemSelectionModel::ClearAndSelect);
    scrollTo(found.front());
    return true;
}

void FileListView::fill(const QString& chosen) {
    std::vector<std::string> files;
    try {
        files = platform_.readFolder(path_, pattern_).files;
    } catch (const PlatformError&) {
        // An unreadable folder simply has no files to offer.
    }
    const QStringList names = listedNames(std::move(files));
    const auto row = chosen.isEmpty() ? -1 : names.indexOf(chosen);
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (names == model_->stringList() &&
        row == (selected.isEmpty() ? -1 : selected.front().row())) {
        return; // the list stays exactly as it is
    }
    const QString top = indexAt(QPoint(0, 0)).data().toString();
    const QSignalBlocker quiet(selectionModel());
    // Setting the names clears the selection: the chosen file, still listed, is chosen again.
    model_->setStringList(names);
    if (row >= 0) {
        selectionModel()->setCurrentIndex(model_->index(static_cast<int>(row)),
                                          QItemSelectionModel::ClearAndSelect);
    }
    // The item at the top stays there where it is still listed.
    if (const auto topRow = names.indexOf(top); topRow >= 0) {
        scrollTo(model_->index(static_cast<int>(topRow)), PositionAtTop);
    }
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
