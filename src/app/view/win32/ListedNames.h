#pragma once

#include <string>
#include <vector>
#include <windows.h>

namespace fendralwin::win32 {

// UTF-8 names from a folder as a list shows them: sorted without regard to letter case; names
// that differ only in case keep a fixed order.
std::vector<std::wstring> listedNames(const std::vector<std::string>& names);

// Replaces a list box's items by `names`, drawing once at the end.
void fillListBox(HWND listBox, const std::vector<std::wstring>& names);

} // namespace fendralwin::win32
