#include "app/view/FormWiring.h"

#include <array>
#include <functional>
#include <utility>

namespace fendralwin {

namespace {

using enum ControlEvent;
using F = frmFendralWrapper;

constexpr std::array<EventBinding, 14> kEvents{{
    {"drvIn", Change, &F::drvIn_Change},
    {"dirIn", Change, &F::dirIn_Change},
    {"filIn", Click, &F::filIn_Click},
    {"drvOut", Change, &F::drvOut_Change},
    {"dirOut", Change, &F::dirOut_Change},
    {"txtOutputFile", Change, &F::txtOutputFile_Change},
    {"hscrlRadius", Scroll, &F::hscrlRadius_Scroll},
    {"hscrlRadius", Change, &F::hscrlRadius_Change},
    {"hscrlMaxDiff", Scroll, &F::hscrlMaxDiff_Scroll},
    {"hscrlMaxDiff", Change, &F::hscrlMaxDiff_Change},
    {"txtRadius", Change, &F::txtRadius_Change},
    {"txtMaxDiff", Change, &F::txtMaxDiff_Change},
    {"cmdRunFendral", Click, &F::cmdRunFendral_Click},
    {"cmdExit", Click, &F::cmdExit_Click},
}};

// A folder opened in a list may lie on another volume: its drive list follows it.
constexpr std::array<std::pair<std::string_view, std::string_view>, 2> kDriveOfFolder{{
    {"dirIn", "drvIn"},
    {"dirOut", "drvOut"},
}};

template <typename Control>
Control& named(IFormWindow& window, std::string_view name) {
    return dynamic_cast<Control&>(window.control(name));
}

FormControls formControls(IFormWindow& w) {
    return {
        .window = w,
        .drvIn = named<IDriveList>(w, "drvIn"),
        .dirIn = named<IFolderList>(w, "dirIn"),
        .filIn = named<IFileList>(w, "filIn"),
        .drvOut = named<IDriveList>(w, "drvOut"),
        .dirOut = named<IFolderList>(w, "dirOut"),
        .txtOutputFile = named<ITextBox>(w, "txtOutputFile"),
        .hscrlRadius = named<IScrollBar>(w, "hscrlRadius"),
        .hscrlMaxDiff = named<IScrollBar>(w, "hscrlMaxDiff"),
        .txtRadius = named<ITextBox>(w, "txtRadius"),
        .txtMaxDiff = named<ITextBox>(w, "txtMaxDiff"),
        .cmdRunFendral = named<ICommandButton>(w, "cmdRunFendral"),
        .lblInputFile = named<ILabel>(w, "lblInputFile"),
        .lblOutputFile = named<ILabel>(w, "lblOutputFile"),
    };
}

} // namespace

std::span<const EventBinding> eventTable() {
    return kEvents;
}

FormWiring::FormWiring(IFormWindow& window, IMessageBoxes& messageBoxes, Platform& platform,
                       const std::string& startFolder) {
    const FormControls c = formControls(window);
    form_ = std::make_unique<frmFendralWrapper>(c, messageBoxes, platform);
    for (const auto& [folders, drives] : kDriveOfFolder) {
        // A start folder that is gone or closed to the user leaves the program folder.
        auto& list = named<IFolderList>(window, folders);
        if (!list.setPath(startFolder)) {
            list.setPath(platform.programFolder());
        }
        named<IDriveList>(window, drives).showDriveOf(list.path());
    }
    c.filIn.setPath(c.dirIn.path());
    form_->Form_Load();

    frmFendralWrapper* form = form_.get();
    for (const EventBinding& binding : kEvents) {
        std::function<void()> run = [form, handler = binding.handler] {
            (form->*handler)();
        };
        for (const auto& [folders, drives] : kDriveOfFolder) {
            if (binding.control == folders) {
                run = [&folderList = named<IFolderList>(window, folders),
                       &driveList = named<IDriveList>(window, drives), run] {
                    driveList.showDriveOf(folderList.path());
                    run();
                };
            }
        }
        named<EventSource>(window, binding.control).onEvent(binding.event, std::move(run));
    }
}

} // namespace fendralwin
