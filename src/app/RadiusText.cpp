#include "app/RadiusText.h"

#include <array>
#include <charconv>

namespace fendralwin {

std::string RadiusText(int tenths) {
    // to_chars never consults the locale, and in fixed form it gives the shortest text that
    // reads back as the same number: no exponent, no trailing zeros.
    std::array<char, 32> buffer{};
    const double radius = tenths / 10.0;
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), radius,
                                      std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

} // namespace fendralwin
