#pragma once

#include <QIcon>

namespace fendralwin {

// The program's icon: a grey bevelled square with the dark outline of a building with two
// stacks, drawn at 16 and 32 pixels.
QIcon fendralWinIcon();

} // namespace fendralwin
