#include "decimal_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace fendral {

std::optional<double> parseDecimal(std::string_view text) {
    const auto isDigit = [](char c) {
        return c >= '0' && c <= '9';
    };
    const auto digits = std::count_if(text.begin(), text.end(), isDigit);
    const auto dots = std::count(text.begin(), text.end(), '.');
    // from_chars alone would also take "1e5" and "inf"; only digits and one dot are ours.
    if (digits == 0 || dots > 1 || static_cast<std::size_t>(digits + dots) != text.size()) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace fendral
