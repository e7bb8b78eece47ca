#pragma once

#include <string>
#include <vector>

namespace fendralwin {

// The names in one folder, split into subfolders and other entries, in directory order; "." and
// ".." left out. A link counts as what it points to; a broken link or a link loop is a file.
struct FolderContents {
    std::vector<std::string> folders;
    std::vector<std::string> files;
};

// Reads a folder, keeping the files whose names match `filePattern` (see matchesNamePattern).
// Throws PlatformError when the folder cannot be read.
FolderContents readFolder(const std::string& path, const std::string& filePattern = "*");

} // namespace fendralwin
