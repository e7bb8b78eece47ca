#pragma once

#include "BehaviourDriver.h"
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "app/view/qt/FileListView.h"
#include "app/view/qt/FolderListModel.h"
#include "app/view/qt/FolderListView.h"
#include "app/view/qt/QtFrontEnd.h"
#include "platform/FolderContents.h"
#include "platform/NativePlatform.h"

#include <QApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace fendralwin::test {

// The real Qt window over the real POSIX platform on the behaviour scenarios' folder tree, its
// script folder a temporary one; shown and active, on the offscreen platform. Message boxes are
// recorded; a job is recorded too unless `startJobs`, when a terminal really runs it.
class QtDriver final : public WindowDriver {
public:
    explicit QtDriver(bool startJobs = false, const std::string& startFolder = {}) {
        for (const std::string_view file : kTreeFiles) {
            root.write(std::string(file), "");
        }
        frontEnd = std::make_unique<QtFrontEnd>(
            startJobs ? static_cast<Platform&>(system) : recorder_, path(startFolder), boxes);
        frontEnd->show();
        QApplication::setActiveWindow(&frontEnd->window());
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frontEnd->window()));
    }
    // The window object goes first: its Terminate event still needs the platform.
    ~QtDriver() override { frontEnd.reset(); }

    template <typename Widget = QWidget>
    Widget* widget(const std::string& name) {
        return dynamic_cast<Widget*>(&frontEnd->window().control(name));
    }
    // The row of a list whose text (or, with PathRole, folder) is `value`.
    static QModelIndex row(QAbstractItemView* list, const QString& value,
                           int role = Qt::DisplayRole) {
        const auto found =
            list->model()->match(list->model()->index(0, 0), role, value, 1, Qt::MatchExactly);
        return found.isEmpty() ? QModelIndex() : found.front();
    }
    static void click(QAbstractItemView* list, const QModelIndex& row,
                      Qt::KeyboardModifiers keys = {}) {
        list->scrollTo(row);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, list->visualRect(row).center());
    }

    std::string path(std::string_view relative) const override {
        return treePath(root.path().string(), '/', relative);
    }
    void openFolder(const std::string& list, const std::string& relative) override {
        auto* folders = widget<FolderListView>(list);
        const std::string folder = relative.empty() ? root.path().string() : path(relative);
        const QModelIndex entry =
            row(folders, QString::fromStdString(folder), FolderListModel::PathRole);
        ASSERT_TRUE(entry.isValid()) << folder;
        click(folders, entry); // a double-click starts with a press that the list sees first
        QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {},
                           folders->visualRect(entry).center());
    }
    void clickFile(const std::string& name) override {
        auto* files = widget<FileListView>("filIn");
        const QModelIndex entry = row(files, QString::fromStdString(name));
        ASSERT_TRUE(entry.isValid()) << name;
        click(files, entry);
    }
    void type(const std::string& box, const std::string& text) override {
        widget(box)->setFocus();
        widget<QLineEdit>(box)->end(false);
        QTest::keyClicks(widget(box), QString::fromStdString(text));
    }
    void paste(const std::string& box, const std::string& text) override {
        widget<QLineEdit>(box)->selectAll();
        widget<QLineEdit>(box)->insert(QString::fromStdString(text));
    }
    void dragSlider(const std::string& bar, int position) override {
        widget<QScrollBar>(bar)->setSliderDown(true);
        widget<QScrollBar>(bar)->setSliderPosition(position);
        widget<QScrollBar>(bar)->setSliderDown(false);
    }
    void moveBar(const std::string& bar, const std::string& how) override {
        QWidget* const slider = widget(bar);
        if (how == "key") {
            slider->setFocus();
            QTest::keyClick(slider, Qt::Key_Right);
        } else {
            // The right arrow ends the bar; the track lies between it and the slider, near the
            // left end.
            const int fromRight = how == "arrow" ? 3 : slider->height() + 8;
            QTest::mouseClick(slider, Qt::LeftButton, {},
                              QPoint(slider->width() - fromRight, slider->height() / 2));
        }
    }
    void press(const std::string& button) override {
        QTest::mouseClick(widget(button), Qt::LeftButton);
    }
    void remove(const std::string& relative) override {
        std::filesystem::remove_all(path(relative));
    }
    void rename(const std::string& relative, const std::string& newName) override {
        const std::filesystem::path from = path(relative);
        std::filesystem::rename(from, from.parent_path() / newName);
    }
    void makeFolder(const std::string& relative) override {
        std::filesystem::create_directory(path(relative));
    }
    void makeFile(const std::string& relative) override { root.write(relative, ""); }
    // The window is activated again; the watchers report through the event loop: until every
    // list shows what the disk holds.
    void refresh() override {
        activate();
        const auto caughtUp = [&] {
            std::set<std::string> onDisk;
            try {
                for (std::string& file : readFolder(folderOf("filIn"), "*.tif").files) {
                    onDisk.insert(std::move(file));
                }
            } catch (const PlatformError&) {
                // A folder that is gone lists nothing.
            }
            std::set<std::string> shown;
            const QAbstractItemModel* files = widget<FileListView>("filIn")->model();
            for (int row = 0; row < files->rowCount(); ++row) {
                shown.insert(files->index(row, 0).data().toString().toStdString());
            }
            return shown == onDisk && std::filesystem::is_directory(folderOf("dirIn")) &&
                   std::filesystem::is_directory(folderOf("dirOut"));
        };
        EXPECT_TRUE(QTest::qWaitFor(caughtUp, 5'000)) << "the lists did not follow the disk";
    }
    void startWith(const std::string& path) override { frontEnd->form().openGivenPath(path); }
    // Entered, moved over and dropped on the middle of a half.
    bool drop(const std::vector<std::string>& paths, WindowHalf half) override {
        FormWindow& form = frontEnd->window();
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& path : paths) {
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
        }
        data.setUrls(urls);
        const QPoint at(half == WindowHalf::Input ? form.width() / 4 : form.width() * 3 / 4, 100);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&form, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&form, &move);
        if (!enter.isAccepted() || !move.isAccepted()) {
            return false;
        }
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&form, &dropped);
        return dropped.isAccepted();
    }
    // The refresh that activation asks for is raised from the event loop, here a nested one.
    void activate() override {
        QEvent activation(QEvent::WindowActivate);
        QApplication::sendEvent(&frontEnd->window(), &activation);
        QCoreApplication::processEvents();
    }

    // Labels, buttons and boxes all hold theirs in the "text" property.
    std::string text(const std::string& control) override {
        return widget(control)->property("text").toString().toStdString();
    }
    bool isEnabled(const std::string& control) override { return widget(control)->isEnabled(); }
    int barValue(const std::string& bar) override { return widget<QScrollBar>(bar)->value(); }
    void scrollTo(const std::string& list, const std::string& item) override {
        QCoreApplication::processEvents(); // a scroll that a list left to the event loop first
        auto* view = widget<QAbstractItemView>(list);
        const QModelIndex entry = row(view, QString::fromStdString(item));
        ASSERT_TRUE(entry.isValid()) << item;
        view->scrollTo(entry, QAbstractItemView::PositionAtTop);
    }
    std::optional<std::string> listPlace(const std::string& list) override {
        QCoreApplication::processEvents();
        const auto* view = widget<QAbstractItemView>(list);
        return (view->indexAt(QPoint(2, 2)).data().toString() + ',' +
                view->currentIndex().data().toString())
            .toStdString();
    }
    std::string folderOf(const std::string& list) override {
        return list == "filIn" ? widget<FileListView>(list)->path()
                               : widget<FolderListView>(list)->path();
    }
    std::string focus() override {
        const QWidget* focused = QApplication::focusWidget();
        return focused ? focused->objectName().toStdString() : "";
    }
    bool isOpen() override { return frontEnd->window().isVisible(); }
    RecordingMessageBoxes& messageBoxes() override { return boxes; }
    std::vector<std::string> startedScripts() override { return recorder_.startedScripts; }
    const Platform& platform() override { return recorder_; }

    std::string title() override { return frontEnd->window().windowTitle().toStdString(); }
    int dpi() override { return frontEnd->window().logicalDpiX(); }
    Place clientArea() override { return placeOf(frontEnd->window().rect()); }
    bool isFixedSize() override {
        return frontEnd->window().minimumSize() == frontEnd->window().maximumSize();
    }
    Place place(const std::string& control) override {
        return placeOf(widget(control)->geometry());
    }
    std::string toolTip(const std::string& control) override {
        return widget(control)->toolTip().toStdString();
    }
    int barMaximum(const std::string& bar) override { return widget<QScrollBar>(bar)->maximum(); }
    ShownFont font(const std::string& label) override {
        const QFont font = widget(label)->font();
        return {font.family().toStdString(), font.pointSizeF(), font.italic()};
    }
    std::pair<Rgb, Rgb> colours(const std::string& label) override {
        EXPECT_TRUE(widget(label)->autoFillBackground()) << label;
        const QPalette palette = widget(label)->palette();
        const auto rgb = [](const QColor& c) {
            return Rgb{c.red(), c.green(), c.blue()};
        };
        return {rgb(palette.color(QPalette::Window)), rgb(palette.color(QPalette::WindowText))};
    }
    std::vector<std::string> tabCycle() override {
        std::vector<std::string> names;
        QWidget* at = widget("drvIn");
        at->setFocus();
        do {
            names.push_back(at->objectName().toStdString());
            QTest::keyClick(at, Qt::Key_Tab);
            at = QApplication::focusWidget();
        } while (at != nullptr && at != widget("drvIn") && names.size() < 30);
        return names;
    }

    TempFolder root;
    TempFolder runtimeFolder;
    ScopedEnv runtime{"XDG_RUNTIME_DIR", runtimeFolder.path().c_str()};
    NativePlatform system{root.path().string()};
    RecordingMessageBoxes boxes;
    std::unique_ptr<QtFrontEnd> frontEnd;

private:
    static Place placeOf(const QRect& area) {
        return {area.left(), area.top(), area.width(), area.height()};
    }
    RecordingPlatform recorder_{system};
};

} // namespace fendralwin::test
