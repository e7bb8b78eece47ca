#include "app/view/qt/FolderListModel.h"

#include "app/view/qt/QtText.h"

#include <QApplication>
#include <QStyle>

namespace fendralwin {

FolderListModel::FolderListModel(QObject* parent)
    : QAbstractListModel(parent)
    , openIcon_(QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon))
    , closedIcon_(QApplication::style()->standardIcon(QStyle::SP_DirClosedIcon)) {}

void FolderListModel::show(FolderRows rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int FolderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.rows.size());
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    const FolderRow& entry = rows_.rows[row];
    switch (role) {
    case Qt::DisplayRole:
        return toQt(entry.name);
    case Qt::DecorationRole:
        return row <= rows_.openRow ? openIcon_ : closedIcon_;
    case PathRole:
        return toQt(entry.path);
    case DepthRole:
        return entry.depth;
    default:
        return {};
    }
}

} // namespace fendralwin
