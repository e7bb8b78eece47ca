#pragma once

#include <cstddef>
#include <string_view>

// Counting in the units that the window's limits are stated in, on UTF-8 text.
namespace fendralwin::utf8 {

// Length of the text in UTF-16 code units (a character outside the BMP counts twice).
std::size_t utf16Length(std::string_view text);

// The text without its first `count` characters (code points); empty when it has fewer.
std::string_view dropCharacters(std::string_view text, std::size_t count);

} // namespace fendralwin::utf8
