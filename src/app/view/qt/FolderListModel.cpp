#include "app/view/qt/FolderListModel.h"

#include <QApplication>
#include <QStyle>

namespace fendralwin {

FolderListModel::FolderListModel(QObject* parent)
    : QAbstractListModel(parent)
    , openIcon_(QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon))
    , closedIcon_(QApplication::style()->standardIcon(QStyle::SP_DirClosedIcon)) {}

int FolderListModel::show(const QString& folder, QStringList subfolders) {
    std::vector<Ancestor> openPath{{QStringLiteral("/"), QStringLiteral("/")}};
    QString path;
    for (const QString& part : folder.split('/', Qt::SkipEmptyParts)) {
        path += '/' + part;
        openPath.push_back({part, path});
    }
    beginResetModel();
    openPath_ = std::move(openPath);
    subfolders_ = std::move(subfolders);
    subfolderPrefix_ = folder == QLatin1String("/") ? folder : folder + '/';
    endResetModel();
    return static_cast<int>(openPath_.size()) - 1;
}

int FolderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(openPath_.size() + subfolders_.size());
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    const bool open = row < openPath_.size();
    const auto subfolder = static_cast<qsizetype>(row - openPath_.size());
    switch (role) {
    case Qt::DisplayRole:
        return open ? openPath_[row].name : subfolders_[subfolder];
    case Qt::DecorationRole:
        return open ? openIcon_ : closedIcon_;
    case PathRole:
        return open ? openPath_[row].path : subfolderPrefix_ + subfolders_[subfolder];
    case DepthRole:
        return static_cast<int>(open ? row : openPath_.size());
    default:
        return {};
    }
}

} // namespace fendralwin
