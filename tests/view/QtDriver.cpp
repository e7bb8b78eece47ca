#include "QtDriver.h"

#include "app/view/qt/FileListView.h"
#include "app/view/qt/FolderListModel.h"
#include "app/view/qt/FolderListView.h"
#include "common/FolderText.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <filesystem>

namespace fendralwin::test {

namespace {

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

QtDriver::QtDriver(bool startJobs) {
    for (const char* file :
         {"scan1.tif", "Scan2.TIF", "notes.txt", "Images/photo.tif", "Images/b.tif", "Out/.keep"}) {
        root.write(file, "");
    }
    frontEnd = std::make_unique<QtFrontEnd>(startJobs ? static_cast<Platform&>(system) : recorder_,
                                            root.path().string(), boxes);
    frontEnd->show();
    QApplication::setActiveWindow(&frontEnd->window());
    if (!QTest::qWaitForWindowActive(&frontEnd->window())) {
        ADD_FAILURE() << "the window did not become active";
    }
}

QtDriver::~QtDriver() {
    // The window object goes first: its Terminate event still needs the platform.
    frontEnd.reset();
}

std::string QtDriver::path(std::string_view relative) const {
    return FolderText(root.path().string(), '/') + std::string(relative);
}

QModelIndex QtDriver::row(QAbstractItemView* list, const QString& value, int role) {
    const auto matches =
        list->model()->match(list->model()->index(0, 0), role, value, 1, Qt::MatchExactly);
    return matches.isEmpty() ? QModelIndex() : matches.front();
}

void QtDriver::click(QAbstractItemView* list, const QModelIndex& row, Qt::KeyboardModifiers keys) {
    list->scrollTo(row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, keys, list->visualRect(row).center());
}

void QtDriver::openFolder(const std::string& list, const std::string& relative) {
    auto* folders = widget<FolderListView>(list);
    const QModelIndex entry =
        row(folders, qt(relative.empty() ? root.path().string() : path(relative)),
            FolderListModel::PathRole);
    ASSERT_TRUE(entry.isValid()) << relative;
    click(folders, entry); // a double-click starts with a press that the list sees first
    QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {},
                       folders->visualRect(entry).center());
}

void QtDriver::clickFile(const std::string& name) {
    auto* files = widget<FileListView>("filIn");
    const QModelIndex entry = row(files, qt(name));
    ASSERT_TRUE(entry.isValid()) << name;
    click(files, entry);
}

void QtDriver::type(const std::string& box, const std::string& text) {
    auto* edit = widget<QLineEdit>(box);
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, qt(text));
}

void QtDriver::paste(const std::string& box, const std::string& text) {
    auto* edit = widget<QLineEdit>(box);
    edit->selectAll();
    edit->insert(qt(text));
}

void QtDriver::dragSlider(const std::string& bar, int position) {
    auto* scrollBar = widget<QScrollBar>(bar);
    scrollBar->setSliderDown(true);
    scrollBar->setSliderPosition(position);
    scrollBar->setSliderDown(false);
}

void QtDriver::stepRight(const std::string& bar) {
    widget(bar)->setFocus();
    QTest::keyClick(widget(bar), Qt::Key_Right);
}

void QtDriver::press(const std::string& button) {
    QTest::mouseClick(widget(button), Qt::LeftButton);
}

void QtDriver::removeFile(const std::string& relative) {
    std::filesystem::remove(path(relative));
}

std::string QtDriver::text(const std::string& control) {
    if (auto* label = widget<QLabel>(control)) {
        return label->text().toStdString();
    }
    if (auto* button = widget<QPushButton>(control)) {
        return button->text().toStdString();
    }
    return widget<QLineEdit>(control)->text().toStdString();
}

bool QtDriver::isEnabled(const std::string& control) {
    return widget(control)->isEnabled();
}

int QtDriver::barValue(const std::string& bar) {
    return widget<QScrollBar>(bar)->value();
}

std::string QtDriver::focus() {
    const QWidget* focused = QApplication::focusWidget();
    return focused ? focused->objectName().toStdString() : "";
}

bool QtDriver::isOpen() {
    return frontEnd->window().isVisible();
}

std::string QtDriver::title() {
    return frontEnd->window().windowTitle().toStdString();
}

int QtDriver::dpi() {
    return frontEnd->window().logicalDpiX();
}

Place QtDriver::clientArea() {
    const QRect area = frontEnd->window().rect();
    return {area.left(), area.top(), area.width(), area.height()};
}

bool QtDriver::isFixedSize() {
    return frontEnd->window().minimumSize() == frontEnd->window().maximumSize();
}

Place QtDriver::place(const std::string& control) {
    const QRect area = widget(control)->geometry();
    return {area.left(), area.top(), area.width(), area.height()};
}

std::string QtDriver::toolTip(const std::string& control) {
    return widget(control)->toolTip().toStdString();
}

int QtDriver::barMaximum(const std::string& bar) {
    return widget<QScrollBar>(bar)->maximum();
}

ShownFont QtDriver::font(const std::string& label) {
    const QFont font = widget(label)->font();
    return {font.family().toStdString(), font.pointSizeF(), font.italic()};
}

std::pair<Rgb, Rgb> QtDriver::colours(const std::string& label) {
    const QPalette palette = widget(label)->palette();
    const auto rgb = [](const QColor& c) {
        return Rgb{c.red(), c.green(), c.blue()};
    };
    EXPECT_TRUE(widget(label)->autoFillBackground()) << label;
    return {rgb(palette.color(QPalette::Window)), rgb(palette.color(QPalette::WindowText))};
}

std::vector<std::string> QtDriver::tabCycle() {
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

} // namespace fendralwin::test
