#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <vector>

namespace fendralwin {

// The entries of a folder list: the root, the open folder's ancestors and the folder itself, each
// one level deeper than the one before, then its subfolders one level deeper still.
class FolderListModel final : public QAbstractListModel {
public:
    static constexpr int PathRole = Qt::UserRole;
    static constexpr int DepthRole = Qt::UserRole + 1;

    explicit FolderListModel(QObject* parent);

    // Shows `folder` (an absolute, clean path) with its subfolders, already in their order.
    // Returns the row of `folder`.
    int show(const QString& folder, QStringList subfolders);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    struct Ancestor {
        QString name;
        QString path;
    };

    std::vector<Ancestor> openPath_; // from the root down to the open folder
    QStringList subfolders_;
    QString subfolderPrefix_; // the open folder's path ending with "/"
    QIcon openIcon_;
    QIcon closedIcon_;
};

} // namespace fendralwin
