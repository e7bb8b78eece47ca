#include "app/view/qt/ListedNames.h"

#include <QString>
#include <algorithm>

namespace fendralwin {

namespace {

bool isValidUtf8(const std::string& name) {
    const QString decoded = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    return decoded.toUtf8() ==
           QByteArray::fromRawData(name.data(), static_cast<qsizetype>(name.size()));
}

unsigned char folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// Letter case is ignored for the order; names that differ only in case keep a fixed order.
bool caseInsensitiveLess(const std::string& a, const std::string& b) {
    const auto mismatch =
        std::ranges::mismatch(a, b, [](char x, char y) { return folded(x) == folded(y); });
    if (mismatch.in1 != a.end() && mismatch.in2 != b.end()) {
        return folded(*mismatch.in1) < folded(*mismatch.in2);
    }
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    return a < b;
}

} // namespace

QStringList listedNames(std::vector<std::string> names,
                        const std::function<bool(const std::string&)>& keep) {
    std::erase_if(names,
                  [&](const std::string& name) { return !keep(name) || !isValidUtf8(name); });
    std::ranges::sort(names, caseInsensitiveLess);
    QStringList listed;
    listed.reserve(static_cast<qsizetype>(names.size()));
    for (const auto& name : names) {
        listed.append(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    return listed;
}

} // namespace fendralwin
