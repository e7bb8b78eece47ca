#include "common/FolderText.h"

#include <algorithm>

namespace fendralwin {

std::size_t rootLength(std::string_view path, char separator) {
    if (separator == '/') {
        return 1;
    }
    if (path.size() >= 3 && path[1] == ':') {
        return 3;
    }
    const auto shareStart = path.find('\\', 2);
    const auto shareEnd =
        shareStart == std::string_view::npos ? shareStart : path.find('\\', shareStart + 1);
    return shareEnd == std::string_view::npos ? path.size() : shareEnd;
}

std::optional<std::string> parentFolder(const std::string& folderPath, char separator) {
    const std::size_t root = rootLength(folderPath, separator);
    if (folderPath.size() <= root) {
        return std::nullopt;
    }
    return folderPath.substr(0, std::max(folderPath.find_last_of(separator), root));
}

std::string FolderText(const std::string& folderPath, char separator) {
    if (folderPath.ends_with(separator)) {
        return folderPath;
    }
    return folderPath + separator;
}

} // namespace fendralwin
