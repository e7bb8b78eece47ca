// The Qt drive, folder and file lists on real folder trees.
#include "QtDriver.h"
#include "app/view/qt/DriveComboBox.h"
#include "app/view/qt/FileListView.h"
#include "app/view/qt/FolderListModel.h"
#include "app/view/qt/FolderListView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QStorageInfo>
#include <QStyle>
#include <QTest>
#include <filesystem>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace fendralwin::test {
namespace {

namespace fs = std::filesystem;

QStringList rows(const QAbstractItemView* view) {
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        texts.append(view->model()->index(row, 0).data().toString());
    }
    return texts;
}

class Lists : public testing::Test {
protected:
    Lists() {
        window.root.write(".hidden/h.tif", "");
        window.root.write("alpha/a.txt", "");
        window.root.write("bad\xff.tif", "");
        window.root.write("bad\xfe/x.tif", "");
        dirIn()->setPath(window.root.path().string()); // read the tree again
    }
    FolderListView* dirIn() { return window.widget<FolderListView>("dirIn"); }
    FileListView* filIn() { return window.widget<FileListView>("filIn"); }
    QtDriver window;
};

TEST_F(Lists, FilesOfAnyLetterCaseOfTheirPatternAreSortedWithoutRegardToCase) {
    EXPECT_EQ(rows(filIn()), (QStringList{"scan1.tif", "Scan2.TIF"}));
    EXPECT_TRUE(filIn()->selectedItem().empty());
}

TEST_F(Lists, AFolderRemovedWhileShownCannotBeOpenedAndNothingChanges) {
    fs::remove_all(window.path("Images"));
    window.openFolder("dirIn", "Images");
    EXPECT_EQ(dirIn()->path(), window.root.path().string());
    EXPECT_EQ(rows(filIn()), (QStringList{"scan1.tif", "Scan2.TIF"}));
    filIn()->setPath(window.path("Images"));
    EXPECT_TRUE(rows(filIn()).isEmpty());
}

// A removed folder that is still some process's current folder tells its own watchers nothing.
TEST_F(Lists, AFolderRemovedWhileItIsTheCurrentFolderGivesWayToTheOneAbove) {
    window.openFolder("dirIn", "Images");
    const fs::path before = fs::current_path();
    fs::current_path(window.path("Images"));
    for (const char* file : {"Images/photo.tif", "Images/b.tif"}) {
        fs::remove(window.path(file));
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows(filIn()).isEmpty(); }, 5'000));
    fs::remove(window.path("Images"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dirIn()->path() == window.root.path(); }, 5'000));
    fs::current_path(before);
}

TEST_F(Lists, FilesThatAppearOrVanishShowAndTheChosenOneStaysChosenQuietly) {
    window.clickFile("scan1.tif");
    window.root.write("frame_10.tif", "");
    window.root.write("frame_2.tif", "");
    std::filesystem::remove(window.path("Scan2.TIF"));
    const QStringList expected{"frame_2.tif", "frame_10.tif", "scan1.tif"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows(filIn()) == expected; }, 5'000));
    EXPECT_EQ(filIn()->selectedItem(), "scan1.tif");
    EXPECT_EQ(window.text("lblInputFile"), "Input File: " + window.path("scan1.tif"));
    EXPECT_TRUE(window.messages().empty());
}

TEST_F(Lists, ADoubleClickOnAFileChoosesItAndEditsNothing) {
    const QModelIndex entry = QtDriver::row(filIn(), QStringLiteral("scan1.tif"));
    QtDriver::click(filIn(), entry); // the press that a double-click starts with
    QTest::mouseDClick(filIn()->viewport(), Qt::LeftButton, {},
                       filIn()->visualRect(entry).center());
    EXPECT_EQ(filIn()->findChild<QLineEdit*>(), nullptr);
    EXPECT_EQ(filIn()->selectedItem(), "scan1.tif");
}

// Folders down to the open one are drawn open, the ones below it closed.
TEST_F(Lists, FoldersDownToTheOpenOneAreDrawnOpen) {
    const auto image = [](const QVariant& icon) {
        return icon.value<QIcon>().pixmap(16).toImage();
    };
    const QImage open = image(QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon));
    ASSERT_NE(open, image(QApplication::style()->standardIcon(QStyle::SP_DirClosedIcon)));
    for (int row = 0; row < dirIn()->model()->rowCount(); ++row) {
        EXPECT_EQ(image(dirIn()->model()->index(row, 0).data(Qt::DecorationRole)) == open,
                  row <= dirIn()->currentIndex().row());
    }
}

// A volume mounted after start is listed at the next refresh and can be chosen; unmounted, it
// leaves the list, and a folder list on it goes to the nearest folder that still opens. The
// mounts are made in a mount namespace of this thread's own, which nobody else sees.
TEST_F(Lists, DrivesMountedAndUnmountedAfterStartAreFollowed) {
    if (geteuid() != 0 || unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("fendralwin", "/mnt", "tmpfs", 0, nullptr) != 0) {
        GTEST_SKIP() << "mounting a volume needs root and mount namespaces";
    }
    fs::create_directories("/mnt/stick");
    ASSERT_EQ(mount("fendralwin", "/mnt/stick", "tmpfs", 0, nullptr), 0);
    fs::create_directories("/mnt/stick/photos");
    ASSERT_EQ(mount("/home", "/srv", nullptr, MS_BIND, nullptr), 0); // a disk outside /mnt too
    auto* drives = window.widget<DriveComboBox>("drvIn");
    EXPECT_EQ(drives->itemData(0).toString(), "/");
    window.activate();
    ASSERT_TRUE(QTest::qWaitFor([&] { return drives->findData("/mnt/stick") >= 0; }, 5'000))
        << "the volume mounted is not listed";
    EXPECT_EQ(drives->findData("/srv") >= 0, QStorageInfo("/srv").fileSystemType() != "overlay");
    const QModelIndex stickRow = drives->model()->index(drives->findData("/mnt/stick"), 0);
    EXPECT_EQ(stickRow.data().toString(), "/mnt/stick"); // its caption
    drives->showPopup(); // the user opens the list and clicks the volume
    QtDriver::click(drives->view(), stickRow);
    EXPECT_FALSE(drives->view()->isVisible());
    EXPECT_EQ(dirIn()->path(), "/mnt/stick");
    const QModelIndex top = drives->model()->index(0, 0); // the root, once
    EXPECT_EQ(drives->model()->match(top, Qt::UserRole, "/", -1, Qt::MatchExactly).size(), 1);
    drives->showDriveOf("/mnt/sticky/x");
    EXPECT_EQ(drives->drive(), "/");
    drives->showDriveOf("/mnt/stick/photos");
    EXPECT_EQ(drives->drive(), "/mnt/stick");
    // A drive the user moves to in the opened list but leaves is not heard as the chosen one.
    drives->showPopup();
    drives->view()->setCurrentIndex(top);
    QTest::keyClick(drives->view(), Qt::Key_Escape);
    EXPECT_EQ(drives->view()->selectionModel()->selectedRows(), QModelIndexList{stickRow});
    dirIn()->setPath("/mnt/stick/photos");
    ASSERT_EQ(umount2("/mnt/stick", MNT_DETACH), 0);
    window.activate();
    EXPECT_TRUE(QTest::qWaitFor([&] { return drives->findData("/mnt/stick") < 0; }, 5'000));
    EXPECT_EQ(dirIn()->path(), "/mnt/stick"); // now a folder of the volume below
    EXPECT_EQ(drives->drive(), "/");
    umount2("/mnt", MNT_DETACH);
}

} // namespace
} // namespace fendralwin::test
