#include "app/view/FolderRows.h"

#include "common/FolderText.h"

namespace fendralwin {

namespace {

std::string rootCaption(std::string root) {
    if (root.size() >= 2 && root[1] == ':' && root[0] >= 'A' && root[0] <= 'Z') {
        root[0] = static_cast<char>(root[0] - 'A' + 'a');
    }
    return root;
}

} // namespace

FolderRows folderRows(const std::string& folder, const std::vector<std::string>& subfolders,
                      char separator) {
    std::vector<FolderRow> rows;
    rows.reserve(subfolders.size() + 8);
    const std::string root = folder.substr(0, rootLength(folder, separator));
    rows.push_back({rootCaption(root), root, 0});
    std::string at = root;
    for (std::size_t start = root.size(); start < folder.size();) {
        start = folder.find_first_not_of(separator, start);
        const std::size_t end = std::min(folder.find(separator, start), folder.size());
        const std::string part = folder.substr(start, end - start);
        at = FolderText(at, separator) + part;
        rows.push_back({part, at, static_cast<int>(rows.size())});
        start = end;
    }
    const std::size_t openRow = rows.size() - 1;
    const std::string prefix = FolderText(folder, separator);
    for (const std::string& name : subfolders) {
        rows.push_back({name, prefix + name, static_cast<int>(openRow) + 1});
    }
    return {std::move(rows), openRow};
}

} // namespace fendralwin
