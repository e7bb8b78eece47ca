#include "app/view/qt/FolderWatcher.h"

#include "app/view/qt/QtText.h"

namespace fendralwin {

void FolderWatcher::follow(const std::vector<std::string>& folders) {
    QStringList wanted;
    for (const std::string& folder : folders) {
        wanted.append(toQt(folder));
    }
    if (directories() != wanted) {
        if (!directories().isEmpty()) {
            removePaths(directories());
        }
        addPaths(wanted);
    }
}

} // namespace fendralwin
