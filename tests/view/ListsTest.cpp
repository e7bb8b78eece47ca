#include "FrontEndFixture.h"
#include "app/view/qt/DriveComboBox.h"
#include "app/view/qt/FileListView.h"
#include "app/view/qt/FolderListView.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
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

class Lists : public FrontEndTest {
protected:
    Lists() {
        frontEnd->show();
        QTest::qWait(0); // let the lists lay out and scroll before positions are read
    }
    QString base() const { return QString::fromStdString(programFolder.path().string()); }
    FolderListView* dirIn() { return control<FolderListView>("dirIn"); }
    FileListView* filIn() { return control<FileListView>("filIn"); }
    QModelIndex rowNamed(QAbstractItemView* view, const QString& name) {
        const qsizetype row = rows(view).lastIndexOf(name);
        return row < 0 ? QModelIndex() : view->model()->index(static_cast<int>(row), 0);
    }
    void doubleClick(QAbstractItemView* view, const QString& name) {
        const QModelIndex index = rowNamed(view, name);
        ASSERT_TRUE(index.isValid()) << name.toStdString();
        view->scrollTo(index);
        QTest::qWait(0);
        const QPoint centre = view->visualRect(index).center();
        // A real double-click starts with a press that the view has to see first.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
    }
    void click(QAbstractItemView* view, const QString& name) {
        const QModelIndex index = rowNamed(view, name);
        ASSERT_TRUE(index.isValid()) << name.toStdString();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    }
    std::string strInDir() { return frontEnd->form().variables().strInDir; }
};

TEST_F(Lists, AllListsStartOnTheProgramFolder) {
    EXPECT_EQ(dirIn()->folderPath(), base());
    EXPECT_EQ(control<FolderListView>("dirOut")->folderPath(), base());
    EXPECT_EQ(filIn()->folderPath(), base());
    EXPECT_EQ(strInDir(), programFolder.path().string() + "/");
    EXPECT_EQ(control<DriveComboBox>("drvIn")->drive(), control<DriveComboBox>("drvOut")->drive());
}

TEST_F(Lists, TheFileListShowsTifFilesOfAnyCaseSortedWithoutRegardToCase) {
    EXPECT_EQ(rows(filIn()), (QStringList{"photo.tif", "Second.TIF"}));
    EXPECT_TRUE(filIn()->selectedName().isEmpty());
}

TEST_F(Lists, TheFolderListShowsAncestorsThenTheFolderThenItsVisibleSubfolders) {
    const QStringList texts = rows(dirIn());
    ASSERT_GE(texts.size(), 4);
    EXPECT_EQ(texts.front(), "/");
    EXPECT_EQ(texts.mid(texts.size() - 4),
              (QStringList{QString::fromStdString(programFolder.path().filename().string()),
                           "Alpha", "beta", "gamma"}));
    EXPECT_EQ(dirIn()->currentIndex().row(), texts.size() - 4);
}

TEST_F(Lists, ADoubleClickOpensASubfolderAndResetsTheInputSide) {
    click(filIn(), "photo.tif");
    control<QLineEdit>("txtOutputFile")->setText("out.tif");
    EXPECT_TRUE(control<QPushButton>("cmdRunFendral")->isEnabled());

    doubleClick(dirIn(), "beta");

    EXPECT_EQ(dirIn()->folderPath(), base() + "/beta");
    EXPECT_EQ(rows(filIn()), QStringList{"b.tif"});
    EXPECT_EQ(strInDir(), programFolder / "beta/");
    EXPECT_EQ(caption("lblInputFile"), "Input File:");
    EXPECT_FALSE(control<QPushButton>("cmdRunFendral")->isEnabled());
    EXPECT_EQ(control<QLineEdit>("txtOutputFile")->text(), "out.tif");
}

TEST_F(Lists, EnterOpensTheCurrentFolderAndAnAncestorCanBeOpenedToo) {
    dirIn()->setFocus();
    dirIn()->setCurrentIndex(rowNamed(dirIn(), "Alpha"));
    QTest::keyClick(dirIn(), Qt::Key_Return);
    EXPECT_EQ(dirIn()->folderPath(), base() + "/Alpha");

    doubleClick(dirIn(), QString::fromStdString(programFolder.path().filename().string()));
    EXPECT_EQ(dirIn()->folderPath(), base());
}

TEST_F(Lists, SelectingAFileByMouseOrKeyboardShowsTheInputPath) {
    click(filIn(), "Second.TIF");
    EXPECT_EQ(caption("lblInputFile"), "Input File: " + base() + "/Second.TIF");
    filIn()->setFocus();
    QTest::keyClick(filIn(), Qt::Key_Up);
    EXPECT_EQ(caption("lblInputFile"), "Input File: " + base() + "/photo.tif");
}

TEST_F(Lists, AFolderRemovedWhileShownCannotBeOpenedAndNothingChanges) {
    fs::remove_all(programFolder / "gamma");
    doubleClick(dirIn(), "gamma");
    EXPECT_EQ(dirIn()->folderPath(), base());
    EXPECT_EQ(strInDir(), programFolder.path().string() + "/");
    EXPECT_EQ(rows(filIn()), (QStringList{"photo.tif", "Second.TIF"}));
}

TEST_F(Lists, AFolderWithoutPermissionCannotBeOpened) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not hold for root";
    }
    fs::permissions(programFolder / "gamma", fs::perms::none);
    doubleClick(dirIn(), "gamma");
    EXPECT_EQ(dirIn()->folderPath(), base());
    EXPECT_EQ(strInDir(), programFolder.path().string() + "/");
}

TEST_F(Lists, TheFileListOfAnUnreadableFolderIsEmpty) {
    filIn()->setFolderPath(base() + "/no-such-folder");
    EXPECT_TRUE(rows(filIn()).isEmpty());
}

TEST_F(Lists, NamesThatAreNotUtf8AreLeftOut) {
    programFolder.write("bad\xff.tif", "");
    programFolder.write("bad\xfe/x.tif", "");
    dirIn()->openFolder(base());
    EXPECT_EQ(rows(filIn()), (QStringList{"photo.tif", "Second.TIF"}));
    EXPECT_FALSE(rows(dirIn()).join('|').contains(QChar(0xFFFD)));
}

TEST_F(Lists, TheDriveListFollowsTheFolderListOntoAnotherVolume) {
    auto* drives = control<DriveComboBox>("drvIn");
    drives->addItem(QStringLiteral("volume"), base() + "/beta");
    doubleClick(dirIn(), "beta");
    EXPECT_EQ(drives->drive(), base() + "/beta");
    dirIn()->openFolder(QStringLiteral("/"));
    EXPECT_EQ(drives->drive(), "/");
}

TEST_F(Lists, TheDriveListAlwaysOffersTheRootAndShowsTheDriveOfAFolder) {
    auto* drives = control<DriveComboBox>("drvIn");
    QStringList mountPoints;
    for (int i = 0; i < drives->count(); ++i) {
        mountPoints.append(drives->itemData(i).toString());
    }
    EXPECT_TRUE(mountPoints.contains("/"));
    drives->showDriveOf("/");
    EXPECT_EQ(drives->drive(), "/");
}

} // namespace
} // namespace fendralwin::test
