#include "app/view/qt/DriveComboBox.h"

#include "app/view/qt/QtText.h"

#include <QSet>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace fendralwin {

namespace {

// File systems that hold no user files: kernel interfaces, memory and container layers.
bool isPseudoFileSystem(const QByteArray& type) {
    static const QSet<QByteArray> pseudo{
        "proc",        "sysfs",     "tmpfs",      "devtmpfs",   "overlay",
        "squashfs",    "cgroup",    "cgroup2",    "devpts",     "mqueue",
        "debugfs",     "tracefs",   "securityfs", "pstore",     "bpf",
        "autofs",      "hugetlbfs", "configfs",   "fusectl",    "binfmt_misc",
        "ramfs",       "efivarfs",  "nsfs",       "rpc_pipefs", "fuse.gvfsd-fuse",
        "fuse.portal", "nfsd"};
    return pseudo.contains(type);
}

QString caption(const QString& mountPoint, const QString& name) {
    return name.isEmpty() ? mountPoint : mountPoint + QStringLiteral(" [") + name + ']';
}

bool contains(const QString& mountPoint, const QString& path) {
    if (mountPoint == QLatin1String("/")) {
        return path.startsWith('/');
    }
    return path == mountPoint || path.startsWith(mountPoint + '/');
}

} // namespace

DriveComboBox::DriveComboBox(QWidget* parent)
    : QComboBox(parent) {
    addItem(QStringLiteral("/"), QStringLiteral("/"));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString mountPoint = volume.rootPath();
        if (mountPoint == QLatin1String("/") || !volume.isValid() ||
            isPseudoFileSystem(volume.fileSystemType())) {
            continue;
        }
        addItem(caption(mountPoint, volume.name()), mountPoint);
    }
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index != shownIndex_) {
            shownIndex_ = index;
            raiseEvent(ControlEvent::Change);
        }
    });
}

std::string DriveComboBox::drive() const {
    return fromQt(currentData().toString());
}

void DriveComboBox::showDriveOf(const std::string& shownPath) {
    const QString path = toQt(shownPath);
    int best = 0;
    qsizetype bestLength = 0;
    for (int i = 0; i < count(); ++i) {
        const QString mountPoint = itemData(i).toString();
        if (contains(mountPoint, path) && mountPoint.size() > bestLength) {
            best = i;
            bestLength = mountPoint.size();
        }
    }
    const QSignalBlocker quiet(this);
    setCurrentIndex(best);
    shownIndex_ = best;
}

} // namespace fendralwin
