#pragma once

#include <QStringList>
#include <functional>
#include <string>
#include <vector>

namespace fendralwin {

// Names as the desktop's file manager orders them: by the user's collation, letter case
// ignored, numbers by their value ("frame_2" before "frame_10"). Those that `keep` refuses are
// left out, and names that are not valid UTF-8 (which no path typed or shown could reach) too.
QStringList listedNames(std::vector<std::string> names,
                        const std::function<bool(const std::string&)>& keep);

} // namespace fendralwin
