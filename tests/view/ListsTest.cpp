// The Qt drive, folder and file lists on real folder trees.
#include "QtDriver.h"
#include "app/view/qt/DriveComboBox.h"
#include "app/view/qt/FileListView.h"
#include "app/view/qt/FolderListModel.h"
#include "app/view/qt/FolderListView.h"

#include <QTest>
#include <filesystem>

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

TEST_F(Lists, FoldersShowAncestorsThenTheFolderThenItsShownSubfoldersSorted) {
    const QStringList texts = rows(dirIn());
    ASSERT_GE(texts.size(), 5);
    EXPECT_EQ(texts.front(), "/");
    EXPECT_EQ(texts.mid(texts.size() - 4),
              (QStringList{QString::fromStdString(window.root.path().filename().string()), "alpha",
                           "Images", "Out"}));
    EXPECT_EQ(dirIn()->currentIndex().row(), texts.size() - 4);
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

TEST_F(Lists, TheDriveListOffersTheRootAndFollowsTheFolderListOntoAnotherVolume) {
    auto* drives = window.widget<DriveComboBox>("drvIn");
    EXPECT_EQ(drives->itemData(0).toString(), "/");
    drives->addItem(QStringLiteral("volume"), QString::fromStdString(window.path("Images")));
    window.openFolder("dirIn", "Images");
    EXPECT_EQ(drives->drive(), window.path("Images"));
    dirIn()->setPath("/");
    EXPECT_EQ(drives->drive(), "/");
}

} // namespace
} // namespace fendralwin::test
