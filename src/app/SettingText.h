#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fendralwin {

// A scroll bar's position as its setting's text, the bar moving in steps of 1/`stepsPerUnit`
// (a power of ten): the shortest decimal form, with "." as separator whatever the locale.
// Radius in tenths: 0 -> "0", 5 -> "0.5", 15 -> "1.5", 100 -> "10"; MaxDiff in ones: 12 -> "12".
std::string SettingText(int steps, int stepsPerUnit);

// The position at which a bar shows the setting `text` exactly: digits with at most one ".", a
// whole number of steps, from 0 to `maximum` steps. Nothing for any other text ("", ".",
// "1.55" in tenths, "200" beyond the end).
std::optional<int> barPositionOf(std::string_view text, int stepsPerUnit, int maximum);

} // namespace fendralwin
