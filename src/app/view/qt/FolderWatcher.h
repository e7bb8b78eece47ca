#pragma once

#include <QFileSystemWatcher>
#include <string>

namespace fendralwin {

// Reports every change of one folder: entries added, removed or renamed, or the folder itself
// gone.
class FolderWatcher final : public QFileSystemWatcher {
public:
    using QFileSystemWatcher::QFileSystemWatcher;

    // Watches `folder` instead of the one before. A folder that vanished and came back under the
    // same name is watched again.
    void follow(const std::string& folder);
};

} // namespace fendralwin
