#include "app/view/qt/ListedNames.h"

#include <QByteArrayView>
#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <utility>

namespace fendralwin {

namespace {

// Made once: opening the collation takes longer than keying a big folder's names.
const QCollator& fileManagerOrder() {
    static const QCollator collator = [] {
        // The C locale compares code points; the neutral order of English stands in for it.
        const QLocale system;
        QCollator made(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
        made.setNumericMode(true);
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return collator;
}

} // namespace

QStringList listedNames(std::vector<std::string> names,
                        const std::function<bool(const std::string&)>& keep) {
    const QCollator& collator = fileManagerOrder();
    // One sort key per name, so that every comparison is a plain one.
    std::vector<std::pair<QCollatorSortKey, QString>> keyed;
    keyed.reserve(names.size());
    for (const std::string& name : names) {
        const QByteArrayView bytes(name.data(), static_cast<qsizetype>(name.size()));
        if (keep(name) && bytes.isValidUtf8()) {
            QString text = QString::fromUtf8(bytes);
            keyed.emplace_back(collator.sortKey(text), std::move(text));
        }
    }
    // Names the collation takes as equal keep a fixed order.
    std::ranges::sort(keyed, [](const auto& a, const auto& b) {
        const int order = a.first.compare(b.first);
        return order != 0 ? order < 0 : a.second < b.second;
    });
    QStringList listed;
    listed.reserve(static_cast<qsizetype>(keyed.size()));
    for (auto& [key, name] : keyed) {
        listed.append(std::move(name));
    }
    return listed;
}

} // namespace fendralwin
