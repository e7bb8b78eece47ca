#include "platform/windows/OemText.h"

#include "platform/Platform.h"
#include "platform/windows/SystemText.h"

#include <cstdio>
#include <windows.h>

namespace fendralwin::windows {

namespace {

bool isHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

std::string codePointName(std::wstring_view character) {
    unsigned long codePoint = character[0];
    if (character.size() == 2) {
        codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (character[1] - 0xDC00U);
    }
    char name[16];
    std::snprintf(name, sizeof name, "U+%04lX", codePoint);
    return name;
}

PlatformError unwritable(std::wstring_view character) {
    return PlatformError("The character \"" + narrow(character) + "\" (" +
                         codePointName(character) + ") cannot be written in code page " +
                         std::to_string(GetOEMCP()) +
                         ", in which the command interpreter reads the script.");
}

// The bytes of one character, or nothing when the code page has no exact equivalent.
std::string oemBytes(std::wstring_view character) {
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, character.data(),
                                           static_cast<int>(character.size()), bytes, sizeof bytes,
                                           nullptr, &usedDefault);
    if (length <= 0 || usedDefault) {
        return {};
    }
    // The way back must give the same character: a mapping that is not one-to-one is no match.
    wchar_t back[4];
    const int backLength = MultiByteToWideChar(CP_OEMCP, 0, bytes, length, back, 4);
    if (std::wstring_view(back, static_cast<std::size_t>(backLength)) != character) {
        return {};
    }
    return {bytes, static_cast<std::size_t>(length)};
}

} // namespace

std::string toOemCodePage(std::string_view utf8) {
    const std::wstring wide = widen(utf8);
    std::string oem;
    oem.reserve(wide.size());
    for (std::size_t at = 0; at < wide.size();) {
        const std::size_t units = isHighSurrogate(wide[at]) && at + 1 < wide.size() ? 2 : 1;
        const std::wstring_view character(wide.data() + at, units);
        const std::string bytes = oemBytes(character);
        if (bytes.empty()) {
            throw unwritable(character);
        }
        oem += bytes;
        at += units;
    }
    return oem;
}

} // namespace fendralwin::windows
