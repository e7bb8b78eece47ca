#pragma once

#include <QStringList>
#include <string>
#include <vector>

namespace fendralwin {

// Names as the desktop's file manager shows them: hidden ones (".name") left out, and names that
// are not valid UTF-8 (which no path typed or shown could reach) too; ordered by the user's
// collation, letter case ignored, numbers by their value ("frame_2" before "frame_10").
QStringList listedNames(std::vector<std::string> names);

} // namespace fendralwin
