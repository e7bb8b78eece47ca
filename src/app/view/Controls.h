#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

// What the window logic needs of each kind of control, and nothing more. Texts are UTF-8.
//
// Rule kept by every implementation (toolkit controls and test fakes alike): a write that the
// control answers with an event (a folder list's path, a text box's text) raises that event before
// the write returns.
namespace fendralwin {

// Every control of the window, whatever its kind: what a window hands out by name.
class IControl {
public:
    virtual ~IControl() = default;
};

enum class ControlEvent { Change, Click, Scroll };

// The events a control raises and what each runs. Most controls raise one; a scroll bar raises
// Scroll while its slider is dragged and Change for every other move by the user.
class EventSource {
public:
    void onEvent(ControlEvent event, std::function<void()> handler) {
        handlers_.at(static_cast<std::size_t>(event)) = std::move(handler);
    }

protected:
    ~EventSource() = default;
    void raiseEvent(ControlEvent event) const {
        if (const auto& handler = handlers_.at(static_cast<std::size_t>(event))) {
            handler();
        }
    }

private:
    std::array<std::function<void()>, 3> handlers_;
};

class ILabel : public IControl {
public:
    virtual void setCaption(const std::string& caption) = 0;
};

class ITextBox : public IControl {
public:
    virtual std::string text() const = 0;
    // Raises the box's Change event when the text differs from the current one.
    virtual void setText(const std::string& text) = 0;
    virtual void giveFocus() = 0;
};

class ICommandButton : public IControl {
public:
    virtual void setEnabled(bool enabled) = 0;
};

class IScrollBar : public IControl {
public:
    // The slider's position; during a drag this is the position just dragged to.
    virtual int value() const = 0;
    // Moves the slider to `value` and raises nothing: the box whose typed setting it shows says
    // it already.
    virtual void showValue(int value) = 0;
};

class IDriveList : public IControl {
public:
    // The chosen drive, as a path that a folder list accepts.
    virtual std::string drive() const = 0;
    // Shows the drive that holds `path`, without raising the list's Change event.
    virtual void showDriveOf(const std::string& path) = 0;
};

class IFolderList : public IControl {
public:
    // The open folder: a root keeps its separator, any other folder has none at its end.
    virtual std::string path() const = 0;
    // Opens `path` (a folder, or a drive: then a folder on that drive) and raises Change before
    // returning. Returns false, raising nothing and keeping the open folder, when it cannot be
    // opened.
    // The list follows the disk: when its open folder vanishes, it opens the nearest folder above
    // that can be opened, raising Change as if the user had.
    virtual bool setPath(const std::string& path) = 0;
};

class IFileList : public IControl {
public:
    // The listed folder, in the same form as a folder list's path.
    virtual std::string path() const = 0;
    // Lists the matching files of `path` with none selected.
    virtual void setPath(const std::string& path) = 0;
    // The name of the selected file; empty when none is selected.
    // The list follows the disk: when its chosen file vanishes, none is selected and Click is
    // raised, so that nothing goes on naming the file.
    virtual std::string selectedItem() const = 0;
};

class IWindow {
public:
    virtual ~IWindow() = default;
    virtual void close() = 0;
};

// A toolkit's window as the shared wiring sees it: closing, and each control by its name.
class IFormWindow : public IWindow {
public:
    // Throws std::out_of_range for a name that the window does not hold.
    virtual IControl& control(std::string_view name) = 0;
};

enum class MessageKind { Plain, Warning, Critical };

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // A modal box with one OK button; returns when the user has closed it.
    virtual void show(MessageKind kind, const std::string& title, const std::string& text) = 0;
};

// The controls that the window logic reads or writes, by their names in the window.
struct FormControls {
    IWindow& window;
    IDriveList& drvIn;
    IFolderList& dirIn;
    IFileList& filIn;
    IDriveList& drvOut;
    IFolderList& dirOut;
    ITextBox& txtOutputFile;
    IScrollBar& hscrlRadius;
    IScrollBar& hscrlMaxDiff;
    ITextBox& txtRadius;
    ITextBox& txtMaxDiff;
    ICommandButton& cmdRunFendral;
    ILabel& lblInputFile;
    ILabel& lblOutputFile;
};

} // namespace fendralwin
