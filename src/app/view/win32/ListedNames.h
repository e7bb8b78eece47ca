#pragma once

#include <string>
#include <vector>
#include <windows.h>

namespace fendralwin::win32 {

// UTF-8 names from a folder as a list shows them: in the order of the system's file manager.
std::vector<std::wstring> listedNames(const std::vector<std::string>& names);

// Replaces a list box's items by `names`, drawing once at the end.
void fillListBox(HWND listBox, const std::vector<std::wstring>& names);

} // namespace fendralwin::win32
