#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace fendralwin {

// The length of a full path's root: 1 for "/", 3 for "C:\", all of "\\server\share".
std::size_t rootLength(std::string_view path, char separator);

// The folder that holds `folderPath`, in the form a folder list reads (a root keeps its
// separator, any other folder has none at its end); nothing for a root.
std::optional<std::string> parentFolder(const std::string& folderPath, char separator);

// A folder path that ends with the separator, so that a file name can be appended directly: a
// root ("C:\", "/") is kept as it is, any other folder gets the separator added.
std::string FolderText(const std::string& folderPath, char separator);

} // namespace fendralwin
