#include "app/view/qt/ListedNames.h"

#include <QByteArrayView>
#include <algorithm>
#include <utility>

namespace fendralwin {

namespace {

bool isValidUtf8(const std::string& name) {
    return QByteArrayView(name.data(), static_cast<qsizetype>(name.size())).isValidUtf8();
}

std::string foldedCase(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

} // namespace

std::vector<std::string> listedNames(std::vector<std::string> names,
                                     const std::function<bool(const std::string&)>& keep) {
    std::erase_if(names,
                  [&](const std::string& name) { return !keep(name) || !isValidUtf8(name); });
    // Letter case is ignored for the order; names that differ only in case keep a fixed order.
    // Each folded key is made once, so that every comparison is a plain one.
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (auto& name : names) {
        keyed.emplace_back(foldedCase(name), std::move(name));
    }
    std::ranges::sort(keyed);
    std::vector<std::string> listed;
    listed.reserve(keyed.size());
    for (auto& [key, name] : keyed) {
        listed.push_back(std::move(name));
    }
    return listed;
}

} // namespace fendralwin
