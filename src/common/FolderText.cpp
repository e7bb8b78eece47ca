#include "common/FolderText.h"

namespace fendralwin {

std::string FolderText(const std::string& folderPath, char separator) {
    if (folderPath.ends_with(separator)) {
        return folderPath;
    }
    return folderPath + separator;
}

} // namespace fendralwin
