#pragma once

#include <string>
#include <vector>
#include <windows.h>

namespace fendralwin::win32 {

// UTF-8 names from a folder as a list shows them: in the order of the system's file manager.
std::vector<std::wstring> listedNames(const std::vector<std::string>& names);

// Shows `names` in a list box with the item at `selected` selected (none when it is -1). A list
// that shows them so already is left exactly as it is: its top item, selection and caret. Otherwise
// the items are replaced, drawing once at the end, and the item that was at the top stays there
// where it is still listed.
void fillListBox(HWND listBox, const std::vector<std::wstring>& names, LRESULT selected);

} // namespace fendralwin::win32
