#include "app/SettingText.h"

#include <array>
#include <charconv>

namespace fendralwin {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string SettingText(int steps, int stepsPerUnit) {
    // to_chars never consults the locale, and in fixed form it gives the shortest text that
    // reads back as the same number: no exponent, no trailing zeros.
    std::array<char, 32> buffer{};
    const double setting = static_cast<double>(steps) / stepsPerUnit;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), setting,
                                      std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

std::optional<int> barPositionOf(std::string_view text, int stepsPerUnit, int maximum) {
    const auto point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) {
        return std::nullopt;
    }
    long steps = 0;
    for (const char c : whole) {
        if (!isDigit(c) || (steps = steps * 10 + (c - '0')) > maximum) {
            return std::nullopt;
        }
    }
    steps *= stepsPerUnit;
    // Each digit after the point is worth a tenth of the one before; finer than a step, only
    // zeros keep the text exact.
    for (int worth = stepsPerUnit; const char c : fraction) {
        worth /= 10;
        if (!isDigit(c) || (worth == 0 && c != '0')) {
            return std::nullopt;
        }
        steps += worth * (c - '0');
    }
    return steps <= maximum ? std::optional<int>(static_cast<int>(steps)) : std::nullopt;
}

} // namespace fendralwin
