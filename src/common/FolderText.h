#pragma once

#include <string>

namespace fendralwin {

// A folder path that ends with the separator, so that a file name can be appended directly: a
// root ("C:\", "/") is kept as it is, any other folder gets the separator added.
std::string FolderText(const std::string& folderPath, char separator);

} // namespace fendralwin
