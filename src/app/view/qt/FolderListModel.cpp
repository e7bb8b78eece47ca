#include "app/view/qt/FolderListModel.h"

#include <QApplication>
#include <QStyle>

namespace fendralwin {

FolderListModel::FolderListModel(QObject* parent)
    : QAbstractListModel(parent)
    , openIcon_(QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon))
    , closedIcon_(QApplication::style()->standardIcon(QStyle::SP_DirClosedIcon)) {}

int FolderListModel::show(const QString& folder, const QStringList& subfolders) {
    std::vector<Entry> entries;
    entries.push_back({QStringLiteral("/"), QStringLiteral("/"), 0, true});
    QString path;
    for (const QString& part : folder.split('/', Qt::SkipEmptyParts)) {
        path += '/' + part;
        entries.push_back({part, path, static_cast<int>(entries.size()), true});
    }
    const int folderRow = static_cast<int>(entries.size()) - 1;
    const QString prefix = folder == QLatin1String("/") ? folder : folder + '/';
    for (const QString& name : subfolders) {
        entries.push_back({name, prefix + name, folderRow + 1, false});
    }
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
    return folderRow;
}

int FolderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant FolderListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const Entry& entry = entries_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return entry.name;
    case Qt::DecorationRole:
        return entry.open ? openIcon_ : closedIcon_;
    case PathRole:
        return entry.path;
    case DepthRole:
        return entry.depth;
    default:
        return {};
    }
}

} // namespace fendralwin
