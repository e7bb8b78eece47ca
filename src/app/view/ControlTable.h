#pragma once

#include <span>
#include <string_view>

// The window's layout as data: every control with its place, text and settings. Each toolkit's
// window is built from this one table.
namespace fendralwin {

inline constexpr int kTwipsPerPixelAt96Dpi = 15;

// Pixels for a length in twips on a screen of `dpi` dots per inch, to the nearest pixel.
constexpr int pixelsOf(int twips, int dpi) {
    constexpr int twipsPerInch = kTwipsPerPixelAt96Dpi * 96;
    return (twips * dpi + twipsPerInch / 2) / twipsPerInch;
}
inline constexpr int kClientWidthTwips = 5775;
inline constexpr int kClientHeightTwips = 6690;

enum class ControlKind {
    Label,
    TextBox,
    CommandButton,
    HScrollBar,
    DriveList,
    FolderList,
    FileList
};

enum class LabelStyle {
    Standard, // the window's font and colours
    Heading,  // white italic text on blue
    Path,     // small text for the chosen paths
};

struct Rgb {
    int red;
    int green;
    int blue;
    bool operator==(const Rgb&) const = default;
};

struct FontStyle {
    std::string_view family;
    double points;
    bool italic;
};

struct LabelLook {
    FontStyle font;
    Rgb background;
    Rgb foreground;
};

inline constexpr LabelLook kHeadingStyle{{"Arial", 14.25, true}, {0, 0, 255}, {255, 255, 255}};
inline constexpr FontStyle kPathFont{"Tahoma", 6.75, false};

struct ControlLayout {
    std::string_view name;
    ControlKind kind;
    int tabIndex;
    std::string_view text; // caption of a label or button, text of a text box
    int left;              // position and size in twips, in the client area
    int top;
    int width;
    int height;
    LabelStyle style = LabelStyle::Standard;
    std::string_view toolTip = {};
    int maximum = 0; // scroll bars
    int value = 0;
    std::string_view pattern = {}; // file list
    bool enabled = true;
    int stepsPerUnit = 1; // scroll bars: the setting moves by 1/stepsPerUnit a step
};

// The 24 controls, in tab order.
std::span<const ControlLayout> controlTable();

// The control of that name; throws std::out_of_range for an unknown name.
const ControlLayout& controlNamed(std::string_view name);

// The label beside a control that names it; empty for a control with a caption of its own.
std::string_view labelOf(const ControlLayout& control);

// What a screen reader calls a control: the caption of its label, or its own caption, without
// the blanks around it. A path label is read as the path it shows.
std::string_view accessibleName(const ControlLayout& control);

} // namespace fendralwin
