#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

// What the window logic needs of each kind of control, and nothing more. Texts are UTF-8.
//
// Rule kept by every implementation (toolkit controls and test fakes alike): a write that the
// control answers with an event (a folder list's path, a text box's text) raises that event before
// the write returns.
namespace fendralwin {

// Every control of the window, whatever its kind.
class IControl {
public:
    virtual ~IControl() = default;
};

enum class ControlEvent {
    Change,
    Click,
    Scroll,
    Refresh, // the window's: the disk may have changed under its lists
};

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
    std::array<std::function<void()>, 4> handlers_;
};

class ILabel : public IControl {
public:
    virtual void setCaption(const std::string& caption) = 0;
};

// Raises Change for every change of its text.
class ITextBox : public IControl, public EventSource {
public:
    virtual std::string text() const = 0;
    // Raises the box's Change event when the text differs from the current one.
    virtual void setText(const std::string& text) = 0;
    virtual void giveFocus() = 0;
};

// Raises Click when pressed.
class ICommandButton : public IControl, public EventSource {
public:
    virtual void setEnabled(bool enabled) = 0;
};

// Raises Scroll while its slider is dragged, and Change when the user moves it otherwise.
class IScrollBar : public IControl, public EventSource {
public:
    // The slider's position; during a drag this is the position just dragged to.
    virtual int value() const = 0;
    // Moves the slider to `value` and raises nothing: the box whose typed setting it shows says
    // it already.
    virtual void showValue(int value) = 0;
};

// Raises Change when the user chooses another drive.
class IDriveList : public IControl, public EventSource {
public:
    // The chosen drive, as a path that a folder list accepts.
    virtual std::string drive() const = 0;
    // Shows the drive that holds `path`, without raising the list's Change event.
    virtual void showDriveOf(const std::string& path) = 0;
    // Lists the drives present now, raising nothing; a list whose drives did not change is left
    // as it is.
    virtual void reread() = 0;
};

// Raises Change whenever the folder it has open changes.
class IFolderList : public IControl, public EventSource {
public:
    // The open folder: a root keeps its separator, any other folder has none at its end.
    virtual std::string path() const = 0;
    // Opens `path` (a folder, or a drive: then a folder on that drive) and raises Change before
    // returning. Returns false, raising nothing and keeping the open folder, when it cannot be
    // opened.
    virtual bool setPath(const std::string& path) = 0;
    // Reads the open folder again, for subfolders that came or went, raising nothing; false when
    // it can no longer be read.
    virtual bool reread() = 0;
};

// Raises Click when the user selects a file.
class IFileList : public IControl, public EventSource {
public:
    // The listed folder, in the same form as a folder list's path.
    virtual std::string path() const = 0;
    // Lists the matching files of `path` with none selected.
    virtual void setPath(const std::string& path) = 0;
    // The name of the selected file; empty when none is selected.
    virtual std::string selectedItem() const = 0;
    // Lists the folder's files again, raising nothing: the selected file stays selected while it
    // is listed, and none is selected when it is not.
    virtual void reread() = 0;
    // Selects the listed file of that name as the user's click does, raising Click; false,
    // changing nothing, when no listed file has that name.
    virtual bool select(const std::string& name) = 0;
};

// The halves of the window: the input lists on the left, the output lists on the right.
enum class WindowHalf { Input, Output };

// Raises Refresh when the disk or the drives may have changed under its lists: when it is
// activated again, on Windows when a drive comes or goes, with Qt when a list's folder reports a
// change. Files and folders dragged over one of its halves are offered to its drop handler.
class IWindow : public EventSource {
public:
    // Asked with `drop` false whether the window would take `paths` there (the drag cursor
    // says so); with `drop` true it takes them. Answers whether they are taken.
    using DropHandler =
        std::function<bool(const std::vector<std::string>& paths, WindowHalf half, bool drop)>;

    virtual ~IWindow() = default;
    virtual void close() = 0;
    void onDrop(DropHandler handler) { dropHandler_ = std::move(handler); }

protected:
    bool offerDrop(const std::vector<std::string>& paths, WindowHalf half, bool drop) const {
        return dropHandler_ && dropHandler_(paths, half, drop);
    }

private:
    DropHandler dropHandler_;
};

enum class MessageKind { Plain, Warning, Critical };

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // A modal box with one OK button; returns when the user has closed it.
    virtual void show(MessageKind kind, const std::string& title, const std::string& text) = 0;
};

} // namespace fendralwin
