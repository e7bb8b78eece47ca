#include "app/view/qt/FolderWatcher.h"

#include "app/view/qt/QtText.h"

namespace fendralwin {

void FolderWatcher::follow(const std::string& folder) {
    const QStringList watched = directories();
    const QString wanted = toQt(folder);
    if (watched != QStringList{wanted}) {
        if (!watched.isEmpty()) {
            removePaths(watched);
        }
        addPath(wanted);
    }
}

} // namespace fendralwin
