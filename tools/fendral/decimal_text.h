#pragma once

#include <optional>
#include <string_view>

namespace fendral {

// Reads a non-negative decimal written with '.', such as "1", "1.5", "5." or ".5", whatever the
// locale. Signs, exponents, spaces and anything else give nullopt.
std::optional<double> parseDecimal(std::string_view text);

} // namespace fendral
