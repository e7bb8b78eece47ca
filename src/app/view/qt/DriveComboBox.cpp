#include "app/view/qt/DriveComboBox.h"

#include "app/view/qt/QtText.h"

#include <QAbstractItemView>
#include <QSet>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStringList>
#include <algorithm>

namespace fendralwin {

namespace {

// File systems that hold no user files: kernel interfaces and container layers.
bool isPseudoFileSystem(const QByteArray& type) {
    static const QSet<QByteArray> pseudo{
        "proc",      "sysfs",      "devtmpfs",        "overlay",     "squashfs",
        "cgroup",    "cgroup2",    "devpts",          "mqueue",      "debugfs",
        "tracefs",   "securityfs", "pstore",          "bpf",         "autofs",
        "hugetlbfs", "configfs",   "fusectl",         "binfmt_misc", "efivarfs",
        "nsfs",      "rpc_pipefs", "fuse.gvfsd-fuse", "fuse.portal", "nfsd"};
    return pseudo.contains(type);
}

// A file system in memory is the system's own, unless it is mounted where users and their
// desktops mount volumes.
bool isShown(const QStorageInfo& volume) {
    const QString mountPoint = volume.rootPath();
    if (mountPoint == QLatin1String("/") || !volume.isValid()) {
        return false;
    }
    if (volume.fileSystemType() == "tmpfs" || volume.fileSystemType() == "ramfs") {
        static const QStringList userPlaces{QStringLiteral("/media/"), QStringLiteral("/mnt/"),
                                            QStringLiteral("/run/media/")};
        return std::ranges::any_of(
            userPlaces, [&](const QString& place) { return mountPoint.startsWith(place); });
    }
    return !isPseudoFileSystem(volume.fileSystemType());
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
    reread();
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (index != shownIndex_) {
            showIndex(index);
            raiseEvent(ControlEvent::Change);
        }
    });
}

void DriveComboBox::reread() {
    QStringList captions{QStringLiteral("/")};
    QStringList mountPoints{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (isShown(volume)) {
            captions.append(caption(volume.rootPath(), volume.name()));
            mountPoints.append(volume.rootPath());
        }
    }
    QStringList shownCaptions;
    for (int i = 0; i < count(); ++i) {
        shownCaptions.append(itemText(i));
    }
    if (captions == shownCaptions) {
        return;
    }
    const QString shown = currentData().toString();
    {
        const QSignalBlocker quiet(this);
        clear();
        for (qsizetype i = 0; i < captions.size(); ++i) {
            addItem(captions[i], mountPoints[i]);
        }
    }
    showIndex(std::max(findData(shown), 0));
}

void DriveComboBox::showIndex(int index) {
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
    shownIndex_ = index;
    // The closed list's own rows mark the shown drive too: a screen reader reads it there. Its
    // current row stays: that would tell the reader the focus moved into a list not shown.
    view()->selectionModel()->select(model()->index(index, modelColumn()),
                                     QItemSelectionModel::ClearAndSelect);
}

void DriveComboBox::hidePopup() {
    QComboBox::hidePopup();
    showIndex(shownIndex_); // a drive clicked in the list is shown after this, when activated
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
    showIndex(best);
}

} // namespace fendralwin
