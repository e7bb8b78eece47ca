#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QString>
#include <vector>

namespace fendralwin {

// The entries of a folder list, each with its depth below the root.
class FolderListModel final : public QAbstractListModel {
public:
    static constexpr int PathRole = Qt::UserRole;
    static constexpr int DepthRole = Qt::UserRole + 1;

    struct Entry {
        QString name;
        QString path;
        int depth;
        bool open; // the open folder or one of its ancestors
    };

    explicit FolderListModel(QObject* parent);

    // Shows the ancestors of `folder` (an absolute, clean path), the folder itself and its
    // subfolders, already in their order. Returns the row of `folder`.
    int show(const QString& folder, const QStringList& subfolders);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<Entry> entries_;
    QIcon openIcon_;
    QIcon closedIcon_;
};

} // namespace fendralwin
