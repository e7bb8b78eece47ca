#pragma once

#include <string_view>

// Checks shared by the window's entry boxes.
namespace UICommon {

// True when `text` may stay in a numeric entry box while the user types: ASCII digits only, plus
// at most one "." when `decimalPointAllowed`, plus a "-" in front only when `minusSignAllowed`.
// Every prefix of an acceptable number passes ("", ".", "5.", "-").
bool IsNumericText(std::string_view text, bool decimalPointAllowed, bool minusSignAllowed);

} // namespace UICommon
