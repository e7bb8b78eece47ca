#pragma once

#include "app/view/FolderRows.h"

#include <QAbstractListModel>
#include <QIcon>

namespace fendralwin {

// The rows of a folder list, for a list view: each row's name, its folder's path (PathRole), its
// depth (DepthRole), and an open folder's icon down to the open folder, a closed one below.
class FolderListModel final : public QAbstractListModel {
public:
    static constexpr int PathRole = Qt::UserRole;
    static constexpr int DepthRole = Qt::UserRole + 1;

    explicit FolderListModel(QObject* parent);

    void show(FolderRows rows);
    const FolderRows& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    FolderRows rows_{};
    QIcon openIcon_;
    QIcon closedIcon_;
};

} // namespace fendralwin
