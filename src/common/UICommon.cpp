#include "common/UICommon.h"

#include <algorithm>

namespace UICommon {

bool IsNumericText(std::string_view text, bool decimalPointAllowed, bool minusSignAllowed) {
    // Only ASCII digits count: the settings are handed on to a program that reads ASCII numbers,
    // so a full-width or other script's digit (a multi-byte UTF-8 sequence here) is refused.
    const bool charactersAllowed = std::ranges::all_of(text, [&](char c) {
        if (c == '.') {
            return decimalPointAllowed;
        }
        if (c == '-') {
            return minusSignAllowed;
        }
        return c >= '0' && c <= '9';
    });
    if (!charactersAllowed) {
        return false;
    }
    if (std::ranges::count(text, '.') > 1) {
        return false;
    }
    const auto minus = text.find('-', 1);
    return minus == std::string_view::npos;
}

} // namespace UICommon
