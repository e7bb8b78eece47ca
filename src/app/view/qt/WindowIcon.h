#pragma once

#include <QIcon>

namespace fendralwin {

// The program's icon at 16 and 32 pixels, rendered from the one drawing that the desktop's icons
// come from (a grey bevelled square with the dark outline of a building with two stacks).
QIcon fendralWinIcon();

} // namespace fendralwin
