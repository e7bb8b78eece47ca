#pragma once

#include <string>

namespace fendralwin {

// A Radius scroll bar value (tenths) as the Radius text: the shortest decimal form with "." as
// separator whatever the locale: 0 -> "0", 5 -> "0.5", 15 -> "1.5", 100 -> "10".
std::string RadiusText(int tenths);

} // namespace fendralwin
