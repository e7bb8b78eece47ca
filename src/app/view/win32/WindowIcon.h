#pragma once

#include <windows.h>

namespace fendralwin::win32 {

// The program's icon, `size` (16 or 32) pixels square: a grey bevelled square with transparent
// corners and the dark grey outline of a building with two stacks.
HICON makeWindowIcon(int size);

} // namespace fendralwin::win32
