#include "job/OutputName.h"

#include <algorithm>

namespace fendralwin {

bool HasTifExtension(std::string_view name) {
    constexpr std::string_view extension = ".tif";
    if (name.size() < extension.size()) {
        return false;
    }
    const auto tail = name.substr(name.size() - extension.size());
    return std::ranges::equal(tail, extension, [](char a, char b) {
        const char lower = (a >= 'A' && a <= 'Z') ? static_cast<char>(a - 'A' + 'a') : a;
        return lower == b;
    });
}

bool HasForbiddenNameCharacter(std::string_view name, ScriptDialect dialect) {
    constexpr std::string_view batchForbidden = "\"<>|?*";
    return std::ranges::any_of(name, [dialect, batchForbidden](char c) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return true;
        }
        return dialect == ScriptDialect::Batch && batchForbidden.find(c) != std::string_view::npos;
    });
}

bool namesTheSameFile(const std::string& a, const std::string& b, const Platform& platform) {
    return a == b || platform.isSameExistingFile(a, b);
}

} // namespace fendralwin
