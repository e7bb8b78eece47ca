#include "app/frmFendralWrapper.h"

#include "app/SettingText.h"
#include "common/FolderText.h"
#include "common/UICommon.h"

#include <algorithm>
#include <string_view>

namespace fendralwin {

namespace {

// Removes every occurrence of `part` in one left-to-right pass; pieces that meet where an
// occurrence was cut out are not searched again.
std::string removeEvery(std::string_view text, std::string_view part) {
    if (part.empty()) {
        return std::string(text);
    }
    std::string rest;
    std::size_t from = 0;
    for (auto found = text.find(part); found != std::string_view::npos;
         found = text.find(part, from)) {
        rest += text.substr(from, found - from);
        from = found + part.size();
    }
    rest += text.substr(from);
    return rest;
}

} // namespace

void frmFendralWrapper::openGivenPath(const std::string& path) {
    const auto examined = examine(path);
    if (const auto* why = std::get_if<std::string>(&examined)) {
        messageBoxes_.show(MessageKind::Plain, kAppTitle, *why);
    } else if (!open(std::get<Openable>(examined), true, true)) {
        messageBoxes_.show(MessageKind::Plain, kAppTitle, path + ": cannot be opened");
    }
}

bool frmFendralWrapper::Form_OLEDragOver(const std::vector<std::string>& paths,
                                         WindowHalf half) const {
    return dropChoice(paths, half).has_value();
}

bool frmFendralWrapper::Form_OLEDragDrop(const std::vector<std::string>& paths, WindowHalf half) {
    const auto choice = dropChoice(paths, half);
    return choice && open(*choice, half == WindowHalf::Input, half == WindowHalf::Output);
}

std::variant<frmFendralWrapper::Openable, std::string>
frmFendralWrapper::examine(const std::string& path) const {
    try {
        platform_.readFolder(path, "");
        return Openable{true, path};
    } catch (const PlatformError&) {
        // Not a folder that can be read: perhaps a file.
    }
    const std::string name = path.substr(path.rfind(platform_.separator()) + 1);
    try {
        // A file is never a root, so it has a folder.
        platform_.requireFile(path);
        const auto files = platform_
                               .readFolder(*parentFolder(path, platform_.separator()),
                                           std::string(controlNamed("filIn").pattern))
                               .files;
        if (std::ranges::find(files, name) != files.end()) {
            return Openable{false, path};
        }
        return path + ": not a folder or a TIFF file (*.tif)";
    } catch (const PlatformError& error) {
        return error.what();
    }
}

std::optional<frmFendralWrapper::Openable>
frmFendralWrapper::dropChoice(const std::vector<std::string>& paths, WindowHalf half) const {
    for (const std::string& path : paths) {
        const auto examined = examine(path);
        const auto* openable = std::get_if<Openable>(&examined);
        if (openable && (openable->isFolder || half == WindowHalf::Input)) {
            return *openable;
        }
    }
    return std::nullopt;
}

bool frmFendralWrapper::open(const Openable& openable, bool input, bool output) {
    if (!openable.isFolder) {
        const char separator = platform_.separator();
        const auto nameAt = openable.path.rfind(separator);
        return c_.dirIn->setPath(*parentFolder(openable.path, separator)) &&
               c_.filIn->select(openable.path.substr(nameAt + 1));
    }
    const bool inputOpened = !input || c_.dirIn->setPath(openable.path);
    const bool outputOpened = !output || c_.dirOut->setPath(openable.path);
    return inputOpened && outputOpened;
}

frmFendralWrapper::frmFendralWrapper(FormControls controls, IMessageBoxes& messageBoxes,
                                     Platform& platform)
    : c_(controls)
    , messageBoxes_(messageBoxes)
    , platform_(platform) {}

frmFendralWrapper::~frmFendralWrapper() {
    Form_Terminate();
}

void frmFendralWrapper::Form_Load() {
    const char separator = platform_.separator();
    vars_.strAppDir = FolderText(platform_.programFolder(), separator);
    // The lists are open already, and not always on the program folder (an installed program's
    // folder is not the user's): the folder variables follow them, so that the two agree.
    vars_.strInDir = FolderText(c_.filIn->path(), separator);
    vars_.strOutDir = FolderText(c_.dirOut->path(), separator);
}

void frmFendralWrapper::Form_Terminate() noexcept {
    // A window object that never loaded has no program folder to clean up.
    if (!vars_.strAppDir.empty()) {
        platform_.deleteScript(vars_.strAppDir);
    }
}

void frmFendralWrapper::openLists(const std::string& startFolder) {
    for (auto [folders, drives] : {std::pair{c_.dirIn, c_.drvIn}, {c_.dirOut, c_.drvOut}}) {
        // A start folder that is gone or closed to the user leaves the program folder.
        if (!folders->setPath(startFolder)) {
            folders->setPath(platform_.programFolder());
        }
        drives->showDriveOf(folders->path());
    }
    c_.filIn->setPath(c_.dirIn->path());
}

void frmFendralWrapper::Form_Refresh() {
    for (auto [folders, drives] : {std::pair{c_.dirIn, c_.drvIn}, {c_.dirOut, c_.drvOut}}) {
        drives->reread();
        openNearestFolderLeft(*folders);
        drives->showDriveOf(folders->path());
    }
    const bool wasChosen = !c_.filIn->selectedItem().empty();
    c_.filIn->reread();
    if (wasChosen && c_.filIn->selectedItem().empty()) {
        // The chosen file is gone: nothing may go on naming it.
        c_.lblInputFile->setCaption("Input File:");
        reevaluateReadiness();
    }
}

void frmFendralWrapper::cmdExit_Click() {
    c_.window->close();
}

void frmFendralWrapper::drvIn_Change() {
    if (!c_.dirIn->setPath(c_.drvIn->drive())) {
        // The drive cannot be opened: show the drive of the folder still listed.
        c_.drvIn->showDriveOf(c_.dirIn->path());
        return;
    }
    c_.lblInputFile->setCaption("Input File:");
    reevaluateReadiness();
}

void frmFendralWrapper::dirIn_Change() {
    // The folder opened may lie on another volume.
    c_.drvIn->showDriveOf(c_.dirIn->path());
    c_.filIn->setPath(c_.dirIn->path());
    vars_.strInDir = FolderText(c_.filIn->path(), platform_.separator());
    c_.lblInputFile->setCaption("Input File:");
    reevaluateReadiness();
}

void frmFendralWrapper::filIn_Click() {
    c_.lblInputFile->setCaption("Input File: " + inputPath());
    reevaluateReadiness();
}

void frmFendralWrapper::drvOut_Change() {
    if (!c_.dirOut->setPath(c_.drvOut->drive())) {
        c_.drvOut->showDriveOf(c_.dirOut->path());
        return;
    }
    reevaluateReadiness();
}

void frmFendralWrapper::dirOut_Change() {
    c_.drvOut->showDriveOf(c_.dirOut->path());
    vars_.strOutDir = FolderText(c_.dirOut->path(), platform_.separator());
    showOutputPath();
    reevaluateReadiness();
}

void frmFendralWrapper::txtOutputFile_Change() {
    showOutputPath();
    reevaluateReadiness();
}

void frmFendralWrapper::hscrlRadius_Scroll() {
    showBarInBox(radius());
}

void frmFendralWrapper::hscrlRadius_Change() {
    showBarInBox(radius());
}

void frmFendralWrapper::hscrlMaxDiff_Scroll() {
    showBarInBox(maxDiff());
}

void frmFendralWrapper::hscrlMaxDiff_Change() {
    showBarInBox(maxDiff());
}

void frmFendralWrapper::txtRadius_Change() {
    followTypedSetting(radius());
}

void frmFendralWrapper::txtMaxDiff_Change() {
    followTypedSetting(maxDiff());
}

bool frmFendralWrapper::IsValid() const {
    if (c_.filIn->selectedItem().empty()) {
        return false;
    }
    return !removeEvery(c_.txtOutputFile->text(), vars_.strOutDir).empty();
}

std::string frmFendralWrapper::inputPath() const {
    return vars_.strInDir + c_.filIn->selectedItem();
}

std::string frmFendralWrapper::outputPath() const {
    return vars_.strOutDir + c_.txtOutputFile->text();
}

void frmFendralWrapper::openNearestFolderLeft(IFolderList& list) {
    if (list.reread()) {
        return;
    }
    // The open folder vanished: the user would open the nearest folder above it that is left;
    // with its whole drive gone (a disk taken out), the program folder.
    for (auto above = parentFolder(list.path(), platform_.separator()); above;
         above = parentFolder(*above, platform_.separator())) {
        if (list.setPath(*above)) {
            return;
        }
    }
    list.setPath(platform_.programFolder());
}

void frmFendralWrapper::reevaluateReadiness() {
    c_.cmdRunFendral->setEnabled(IsValid());
}

void frmFendralWrapper::showOutputPath() {
    c_.lblOutputFile->setCaption("Output File: " + outputPath());
}

frmFendralWrapper::Setting frmFendralWrapper::radius() const {
    return {*c_.txtRadius, *c_.hscrlRadius, controlNamed("hscrlRadius"),
            "Only numeric values are valid for the Radius setting."};
}

frmFendralWrapper::Setting frmFendralWrapper::maxDiff() const {
    return {*c_.txtMaxDiff, *c_.hscrlMaxDiff, controlNamed("hscrlMaxDiff"),
            "Only numeric values are valid for the MaxDiff setting."};
}

void frmFendralWrapper::showBarInBox(const Setting& setting) {
    setting.box.setText(SettingText(setting.bar.value(), setting.design.stepsPerUnit));
}

void frmFendralWrapper::followTypedSetting(const Setting& setting) {
    const std::string text = setting.box.text();
    if (!UICommon::IsNumericText(text, true, false)) {
        messageBoxes_.show(MessageKind::Plain, kAppTitle, setting.refusal);
        // Emptying the box raises its Change again; the empty text passes, so no second message.
        setting.box.setText("");
        setting.box.giveFocus();
        return;
    }
    // The bar shows what is typed where it can; the text stays as typed ("1." is not "1").
    if (const auto position =
            barPositionOf(text, setting.design.stepsPerUnit, setting.design.maximum)) {
        setting.bar.showValue(*position);
    }
}

} // namespace fendralwin
