#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fendralwin {

// One entry of a folder list: what it shows, the folder it opens, and how far it is indented.
struct FolderRow {
    std::string name;
    std::string path;
    int depth;
    bool operator==(const FolderRow&) const = default;
};

// A folder tree drawn as one list: the root of `folder`, the folders down to `folder` itself,
// each one level further in, then its `subfolders` (in the order given) one level further still.
struct FolderRows {
    std::vector<FolderRow> rows;
    std::size_t openRow; // the row of `folder`
    bool operator==(const FolderRows&) const = default;
};

// `folder` is a full path without a trailing separator except at its root: "/", "/home/u",
// "C:\", "C:\Images", "\\server\share\dir". A drive root is shown in lower case ("c:\"), as the
// drive list names drives.
FolderRows folderRows(const std::string& folder, const std::vector<std::string>& subfolders,
                      char separator);

} // namespace fendralwin
