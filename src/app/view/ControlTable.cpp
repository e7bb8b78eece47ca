#include "app/view/ControlTable.h"

#include "app/view/FormControls.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

namespace fendralwin {

namespace {

using enum ControlKind;

// clang-format off
constexpr std::array<ControlLayout, 24> kControls{{
    {"drvIn",         DriveList,     0,  "",                                45,   675,  2715, 315},
    {"dirIn",         FolderList,    1,  "",                                45,   1305, 2715, 1440},
    {"filIn",         FileList,      2,  "",                                45,   3015, 2670, 2235,
     LabelStyle::Standard, {}, 0, 0, "*.tif"},
    {"drvOut",        DriveList,     3,  "",                                2970, 675,  2715, 315},
    {"dirOut",        FolderList,    4,  "",                                2970, 1305, 2715, 1440},
    {"txtOutputFile", TextBox,       5,  "",                                2970, 3015, 2715, 315,
     LabelStyle::Standard, "Select an output file below or type in a file name"},
    {"hscrlMaxDiff",  HScrollBar,    6,  "",                                1665, 6345, 2355, 285,
     LabelStyle::Standard, {}, 50, 10},
    {"hscrlRadius",   HScrollBar,    7,  "",                                1665, 6030, 2355, 285,
     LabelStyle::Standard, {}, 100, 10, {}, true, 10},
    {"txtRadius",     TextBox,       8,  "1",                               1035, 6030, 510,  285},
    {"txtMaxDiff",    TextBox,       9,  "10",                              1035, 6345, 510,  285},
    {"lblRadius",     Label,         10, "Radius:",                         315,  6075, 600,  195},
    {"lblMaxDiff",    Label,         11, "MaxDiff:",                        315,  6390, 645,  240},
    {"cmdRunFendral", CommandButton, 12, "Run Fendral",                     4140, 6030, 1365, 285,
     LabelStyle::Standard, {}, 0, 0, {}, false},
    {"Label1",        Label,         13, " Input File:",                    45,   45,   2670, 375,
     LabelStyle::Heading},
    {"lblOutput",     Label,         14, " Output File:",                   2925, 45,   2625, 375,
     LabelStyle::Heading},
    {"cmdExit",       CommandButton, 15, "Exit",                            4140, 6345, 1365, 285},
    {"Label2",        Label,         16, "Type In Output File Name (*.TIF)", 2970, 2790, 2355, 195},
    {"lblSelInDrive", Label,         17, "Select Input File Drive:",        45,   450,  2355, 195},
    {"lblSelInDir",   Label,         18, "Select Input File Directroy:",    45,   1080, 2355, 195},
    {"lblSelInFile",  Label,         19, "Select Input File:",              45,   2790, 2355, 195},
    {"lblInputFile",  Label,         20, "Input File:",                     90,   5265, 5595, 330,
     LabelStyle::Path},
    {"lblOutputFile", Label,         21, "Output File:",                    90,   5670, 5595, 330,
     LabelStyle::Path},
    {"lblOutDrv",     Label,         22, "Select Output File Drive:",       2970, 450,  2355, 195},
    {"lblSelOutDir",  Label,         23, "Select Output File Directory:",   2970, 1080, 2355, 195},
}};
// clang-format on

// The kind of control that implements each interface.
template <typename Interface>
consteval ControlKind kindOf() {
    using enum ControlKind;
    if constexpr (std::is_same_v<Interface, ILabel>) {
        return Label;
    } else if constexpr (std::is_same_v<Interface, ITextBox>) {
        return TextBox;
    } else if constexpr (std::is_same_v<Interface, ICommandButton>) {
        return CommandButton;
    } else if constexpr (std::is_same_v<Interface, IScrollBar>) {
        return HScrollBar;
    } else if constexpr (std::is_same_v<Interface, IDriveList>) {
        return DriveList;
    } else if constexpr (std::is_same_v<Interface, IFolderList>) {
        return FolderList;
    } else {
        static_assert(std::is_same_v<Interface, IFileList>, "no kind of control implements it");
        return FileList;
    }
}

// Every control that the window object uses is in the table, of the kind its member needs.
template <typename Slot>
constexpr bool isInTheTable(const Slot& slot) {
    return std::ranges::any_of(kControls, [&slot](const ControlLayout& c) {
        return c.name == slot.name && c.kind == kindOf<typename Slot::Interface>();
    });
}
static_assert(std::apply([](const auto&... each) { return (isInTheTable(each) && ...); },
                         kControlSlots),
              "a member of FormControls has no control of its kind in the table");

// The label that names each control that has no caption of its own.
constexpr std::array<std::pair<std::string_view, std::string_view>, 10> kLabelOf{{
    {"drvIn", "lblSelInDrive"},
    {"dirIn", "lblSelInDir"},
    {"filIn", "lblSelInFile"},
    {"drvOut", "lblOutDrv"},
    {"dirOut", "lblSelOutDir"},
    {"txtOutputFile", "Label2"},
    {"hscrlMaxDiff", "lblMaxDiff"},
    {"hscrlRadius", "lblRadius"},
    {"txtRadius", "lblRadius"},
    {"txtMaxDiff", "lblMaxDiff"},
}};

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos
               ? std::string_view()
               : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::span<const ControlLayout> controlTable() {
    return kControls;
}

const ControlLayout& controlNamed(std::string_view name) {
    const auto found =
        std::ranges::find_if(kControls, [name](const ControlLayout& c) { return c.name == name; });
    if (found == kControls.end()) {
        throw std::out_of_range("no control named " + std::string(name));
    }
    return *found;
}

std::string_view labelOf(const ControlLayout& control) {
    const auto found = std::ranges::find(kLabelOf, control.name,
                                         &std::pair<std::string_view, std::string_view>::first);
    return found == kLabelOf.end() ? std::string_view() : found->second;
}

std::string_view accessibleName(const ControlLayout& control) {
    const std::string_view label = labelOf(control);
    return trimmed(label.empty() ? control.text : controlNamed(label).text);
}

} // namespace fendralwin
