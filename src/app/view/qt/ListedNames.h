#pragma once

#include <functional>
#include <string>
#include <vector>

namespace fendralwin {

// Names as a list shows them: sorted without regard to letter case, those that `keep` refuses
// left out, and names that are not valid UTF-8 (which no path typed or shown could reach) too.
std::vector<std::string> listedNames(std::vector<std::string> names,
                                     const std::function<bool(const std::string&)>& keep);

} // namespace fendralwin
