#include "common/Utf8.h"

namespace fendralwin::utf8 {

namespace {

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
}

bool startsFourByteSequence(char c) {
    return (static_cast<unsigned char>(c) & 0xF8U) == 0xF0U;
}

} // namespace

std::size_t utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (const char c : text) {
        if (!isContinuationByte(c)) {
            units += startsFourByteSequence(c) ? 2 : 1;
        }
    }
    return units;
}

std::string_view dropCharacters(std::string_view text, std::size_t count) {
    std::size_t pos = 0;
    for (std::size_t dropped = 0; dropped < count && pos < text.size(); ++dropped) {
        ++pos;
        while (pos < text.size() && isContinuationByte(text[pos])) {
            ++pos;
        }
    }
    return text.substr(pos);
}

} // namespace fendralwin::utf8
