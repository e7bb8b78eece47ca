#pragma once

#include <QFileSystemWatcher>
#include <string>
#include <vector>

namespace fendralwin {

// Reports every change of the folders it follows: entries added, removed or renamed, or a
// folder itself gone.
class FolderWatcher final : public QFileSystemWatcher {
public:
    using QFileSystemWatcher::QFileSystemWatcher;

    // Watches `folders` instead of the ones before. A folder that vanished and came back under
    // the same name is watched again.
    void follow(const std::vector<std::string>& folders);
};

} // namespace fendralwin
