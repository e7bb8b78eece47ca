#pragma once

#include "app/view/Controls.h"
#include "app/view/qt/DriveComboBox.h"
#include "app/view/qt/FileListView.h"
#include "app/view/qt/FolderListView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

// The window logic's control interfaces over Qt widgets. Qt delivers the signals behind the
// Change events synchronously, so a write raises its event before it returns.
namespace fendralwin {

inline QString toQt(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string fromQt(const QString& text) {
    return text.toStdString();
}

class QtLabel final : public ILabel {
public:
    explicit QtLabel(QLabel* widget)
        : widget_(widget) {}
    void setCaption(const std::string& caption) override { widget_->setText(toQt(caption)); }

private:
    QLabel* widget_;
};

class QtTextBox final : public ITextBox {
public:
    explicit QtTextBox(QLineEdit* widget)
        : widget_(widget) {}
    std::string text() const override { return fromQt(widget_->text()); }
    void setText(const std::string& text) override { widget_->setText(toQt(text)); }
    void giveFocus() override { widget_->setFocus(Qt::OtherFocusReason); }

private:
    QLineEdit* widget_;
};

class QtCommandButton final : public ICommandButton {
public:
    explicit QtCommandButton(QPushButton* widget)
        : widget_(widget) {}
    void setEnabled(bool enabled) override { widget_->setEnabled(enabled); }

private:
    QPushButton* widget_;
};

class QtScrollBar final : public IScrollBar {
public:
    explicit QtScrollBar(QScrollBar* widget)
        : widget_(widget) {}
    // During a drag Qt reports the new position before it updates the value.
    int value() const override { return widget_->sliderPosition(); }

private:
    QScrollBar* widget_;
};

class QtDriveList final : public IDriveList {
public:
    explicit QtDriveList(DriveComboBox* widget)
        : widget_(widget) {}
    std::string drive() const override { return fromQt(widget_->drive()); }
    void showDriveOf(const std::string& path) override { widget_->showDriveOf(toQt(path)); }

private:
    DriveComboBox* widget_;
};

class QtFolderList final : public IFolderList {
public:
    explicit QtFolderList(FolderListView* widget)
        : widget_(widget) {}
    std::string path() const override { return fromQt(widget_->folderPath()); }
    bool setPath(const std::string& path) override { return widget_->openFolder(toQt(path)); }

private:
    FolderListView* widget_;
};

class QtFileList final : public IFileList {
public:
    explicit QtFileList(FileListView* widget)
        : widget_(widget) {}
    std::string path() const override { return fromQt(widget_->folderPath()); }
    void setPath(const std::string& path) override { widget_->setFolderPath(toQt(path)); }
    std::string selectedItem() const override { return fromQt(widget_->selectedName()); }

private:
    FileListView* widget_;
};

class QtWindow final : public IWindow {
public:
    explicit QtWindow(QWidget* widget)
        : widget_(widget) {}
    void close() override { widget_->close(); }

private:
    QWidget* widget_;
};

class QtMessageBoxes final : public IMessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent)
        : parent_(parent) {}
    void show(MessageKind kind, const std::string& title, const std::string& text) override;

private:
    QWidget* parent_;
};

} // namespace fendralwin
