#include "app/view/qt/FolderListView.h"

#include "app/view/qt/FolderListModel.h"
#include "app/view/qt/ListedNames.h"
#include "app/view/qt/QtText.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace fendralwin {

namespace {

// Indents each entry by its depth, as a tree drawn in a flat list.
class IndentDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented = option;
        indented.rect.adjust(indentOf(index), 0, 0, 0);
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indentOf(index), 0);
    }

private:
    static int indentOf(const QModelIndex& index) {
        constexpr int pixelsPerLevel = 8;
        return index.data(FolderListModel::DepthRole).toInt() * pixelsPerLevel;
    }
};

} // namespace

FolderListView::FolderListView(const Platform& platform, QWidget* parent)
    : ListView(parent)
    , platform_(platform)
    , model_(new FolderListModel(this))
    , watcher_(new FolderWatcher(this)) {
    setModel(model_);
    setItemDelegate(new IndentDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    connect(this, &QListView::doubleClicked, this, &FolderListView::openEntry);
}

bool FolderListView::setPath(const std::string& path) {
    if (!show(fromQt(QDir::cleanPath(QDir(toQt(path)).absolutePath())))) {
        return false;
    }
    setCurrentIndex(model_->index(static_cast<int>(model_->rows().openRow)));
    // Scrolling lays out every entry; left to the event loop, it costs the caller nothing.
    QMetaObject::invokeMethod(
        this, [this] { scrollTo(currentIndex(), PositionAtTop); }, Qt::QueuedConnection);
    raiseEvent(ControlEvent::Change);
    return true;
}

bool FolderListView::show(const std::string& folder) {
    FolderContents contents;
    try {
        contents = platform_.readFolder(folder, {});
    } catch (const PlatformError&) {
        return false;
    }
    std::vector<std::string> subfolders;
    for (const QString& name : listedNames(std::move(contents.folders))) {
        subfolders.push_back(fromQt(name));
    }
    if (FolderRows rows = folderRows(folder, subfolders, '/'); rows != model_->rows()) {
        // The keyboard's place and the entry at the top stay on the entries they were on, where
        // those are still shown. A list that did not change is left exactly as it is.
        const QVariant current = currentIndex().data(FolderListModel::PathRole);
        const QVariant top = indexAt(QPoint(0, 0)).data(FolderListModel::PathRole);
        model_->show(std::move(rows));
        const auto find = [this](const QVariant& path) {
            return model_->match(model_->index(0), FolderListModel::PathRole, path, 1,
                                 Qt::MatchExactly);
        };
        const QModelIndexList same = find(current);
        setCurrentIndex(same.isEmpty() ? model_->index(static_cast<int>(model_->rows().openRow))
                                       : same.front());
        if (const QModelIndexList atTop = find(top); !atTop.isEmpty()) {
            scrollTo(atTop.front(), PositionAtTop);
        }
    }
    const FolderRows& rows = model_->rows();
    watcher_->follow(rows.openRow == 0 ? std::vector{folder}
                                       : std::vector{folder, rows.rows[rows.openRow - 1].path});
    path_ = folder;
    return true;
}

void FolderListView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        openEntry(currentIndex());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void FolderListView::openEntry(const QModelIndex& index) {
    const std::string target = fromQt(index.data(FolderListModel::PathRole).toString());
    if (target != path_ && !setPath(target)) {
        QApplication::beep();
    }
}

} // namespace fendralwin
