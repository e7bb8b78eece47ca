#pragma once

#include "Recorders.h"
#include "app/view/ControlTable.h"
#include "common/FolderText.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The window's behaviour, written once as data and run against every implementation of it: the
// window object over fakes, the Qt window and the Win32 window.
namespace fendralwin::test {

// What a scenario does to the window and reads back from it, as a user would, through one
// implementation of the window. Every driver starts on the same folder tree, its root being
// the program folder and, unless a scenario says otherwise, the folder that the lists open
// first. Out holds only a hidden file.
inline constexpr std::array<std::string_view, 6> kTreeFiles{
    "scan1.tif", "Scan2.TIF", "notes.txt", "Images/photo.tif", "Images/b.tif", "Out/.keep"};

// `relative` ("/"-separated) below `root` in a system's own form.
inline std::string treePath(const std::string& root, char separator, std::string_view relative) {
    std::string path = FolderText(root, separator) + std::string(relative);
    std::ranges::replace(path, '/', separator);
    return path;
}

class BehaviourDriver {
public:
    virtual ~BehaviourDriver() = default;

    // The full path of `relative` ("/"-separated, below the root) in the driver's own form; a
    // trailing "/" gives a folder text.
    virtual std::string path(std::string_view relative) const = 0;

    // Opens a folder of the tree in a folder list ("dirIn", "dirOut") with a double-click.
    virtual void openFolder(const std::string& list, const std::string& relative) = 0;
    virtual void clickFile(const std::string& name) = 0;
    // Types `text` at the end of a box, one key at a time.
    virtual void type(const std::string& box, const std::string& text) = 0;
    // Replaces the whole text of a box at once, as a paste over a selection does.
    virtual void paste(const std::string& box, const std::string& text) = 0;
    virtual void dragSlider(const std::string& bar, int position) = 0;
    // Moves a bar right without dragging: "arrow" (a click on its right arrow), "track" (a click
    // in the track right of the slider) or "key" (the Right key).
    virtual void moveBar(const std::string& bar, const std::string& how) = 0;
    virtual void press(const std::string& button) = 0;
    // Changes to the disk that another program makes; the window sees them at its next refresh.
    virtual void remove(const std::string& relative) = 0; // a file, or a folder with its content
    virtual void rename(const std::string& relative, const std::string& newName) = 0;
    virtual void makeFolder(const std::string& relative) = 0;
    virtual void makeFile(const std::string& relative) = 0;
    // The lists catch up with the disk: Qt's watchers have reported, the Win32 window has been
    // activated again.
    virtual void refresh() = 0;
    // The window is handed the path that the program was started with.
    virtual void startWith(const std::string& path) = 0;
    // Drags `paths` over a half of the window and drops them there; whether the drag cursor
    // took them.
    virtual bool drop(const std::vector<std::string>& paths, WindowHalf half) = 0;
    // The window is activated again, as when its own message box closes; a refresh that this
    // asks for is asked for before it returns, though it may not have run.
    virtual void activate() { refresh(); }

    // A label's caption or a box's text.
    virtual std::string text(const std::string& control) = 0;
    virtual bool isEnabled(const std::string& control) = 0;
    virtual int barValue(const std::string& bar) = 0;
    // Scrolls a list ("dirIn", "filIn") until `item`, as the list shows it, is its top row.
    virtual void scrollTo(const std::string& list, const std::string& item) = 0;
    // "TOP,CURRENT": a list's top row and the row with the keyboard's place, as the list shows
    // them; nothing where the lists do not scroll.
    virtual std::optional<std::string> listPlace(const std::string& list) = 0;
    // The folder that a folder or file list shows.
    virtual std::string folderOf(const std::string& list) = 0;
    // The name of the control with the keyboard focus.
    virtual std::string focus() = 0;
    virtual bool isOpen() = 0;
    virtual RecordingMessageBoxes& messageBoxes() = 0;
    const std::vector<ShownMessage>& messages() { return messageBoxes().shown; }
    virtual std::vector<std::string> startedScripts() = 0;
    // The platform that writes the scripts, which shapes their text.
    virtual const Platform& platform() = 0;
};

struct ShownFont {
    std::string family;
    double points;
    bool italic;
};

struct Place {
    int left;
    int top;
    int width;
    int height;
    bool operator==(const Place&) const = default;
};

// What the layout checks read of a real window, besides what a scenario reads.
class WindowDriver : public BehaviourDriver {
public:
    virtual std::string title() = 0;
    virtual int dpi() = 0;
    virtual Place clientArea() = 0; // left and top 0
    virtual bool isFixedSize() = 0;
    // Where a control stands in the client area, in pixels.
    virtual Place place(const std::string& control) = 0;
    virtual std::string toolTip(const std::string& control) = 0;
    virtual int barMaximum(const std::string& bar) = 0;
    virtual ShownFont font(const std::string& label) = 0;
    // A label's background and text colours.
    virtual std::pair<Rgb, Rgb> colours(const std::string& label) = 0;
    // The controls that Tab visits from the input drive list until it comes back to it.
    virtual std::vector<std::string> tabCycle() = 0;
};

} // namespace fendralwin::test
