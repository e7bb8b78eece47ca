#include "app/view/win32/Win32FrontEnd.h"

#include "app/view/win32/DriveList.h"
#include "app/view/win32/FileList.h"
#include "app/view/win32/FolderList.h"
#include "app/view/win32/SimpleControls.h"

namespace fendralwin::win32 {

Win32FrontEnd::Win32FrontEnd(Platform& platform)
    : Win32FrontEnd(platform, systemBoxes_) {}

Win32FrontEnd::Win32FrontEnd(Platform& platform, IMessageBoxes& messageBoxes)
    : systemBoxes_(window_) {
    FormWindow& w = window_;
    const FormControls controls{
        .window = w,
        .drvIn = w.control<DriveList>("drvIn"),
        .dirIn = w.control<FolderList>("dirIn"),
        .filIn = w.control<FileList>("filIn"),
        .drvOut = w.control<DriveList>("drvOut"),
        .dirOut = w.control<FolderList>("dirOut"),
        .txtOutputFile = w.control<TextBox>("txtOutputFile"),
        .hscrlRadius = w.control<ScrollBar>("hscrlRadius"),
        .hscrlMaxDiff = w.control<ScrollBar>("hscrlMaxDiff"),
        .txtRadius = w.control<TextBox>("txtRadius"),
        .txtMaxDiff = w.control<TextBox>("txtMaxDiff"),
        .cmdRunFendral = w.control<CommandButton>("cmdRunFendral"),
        .lblInputFile = w.control<Label>("lblInputFile"),
        .lblOutputFile = w.control<Label>("lblOutputFile"),
    };
    form_ = std::make_unique<frmFendralWrapper>(controls, messageBoxes, platform);
    // The lists start on the program folder, where the folder variables start too.
    openListsOn(platform.programFolder());
    form_->Form_Load();
    connectEvents();
}

void Win32FrontEnd::show(int showCommand) {
    window_.show(showCommand, window_.control("drvIn"));
}

void Win32FrontEnd::openListsOn(const std::string& folder) {
    for (const char* side : {"In", "Out"}) {
        auto& folders = window_.control<FolderList>(std::string("dir") + side);
        folders.setPath(folder);
        window_.control<DriveList>(std::string("drv") + side).showDriveOf(folders.path());
    }
    window_.control<FileList>("filIn").setPath(window_.control<FolderList>("dirIn").path());
}

void Win32FrontEnd::connectEvents() {
    frmFendralWrapper* f = form_.get();
    const std::pair<const char*, void (frmFendralWrapper::*)()> events[]{
        {"drvIn", &frmFendralWrapper::drvIn_Change},
        {"dirIn", &frmFendralWrapper::dirIn_Change},
        {"filIn", &frmFendralWrapper::filIn_Click},
        {"drvOut", &frmFendralWrapper::drvOut_Change},
        {"dirOut", &frmFendralWrapper::dirOut_Change},
        {"txtOutputFile", &frmFendralWrapper::txtOutputFile_Change},
        {"hscrlRadius", &frmFendralWrapper::hscrlRadius_Scroll},
        {"hscrlMaxDiff", &frmFendralWrapper::hscrlMaxDiff_Scroll},
        {"txtRadius", &frmFendralWrapper::txtRadius_Change},
        {"txtMaxDiff", &frmFendralWrapper::txtMaxDiff_Change},
        {"cmdRunFendral", &frmFendralWrapper::cmdRunFendral_Click},
        {"cmdExit", &frmFendralWrapper::cmdExit_Click},
    };
    for (const auto& [name, handler] : events) {
        window_.control(name).onEvent([f, handler = handler] { (f->*handler)(); });
    }
}

} // namespace fendralwin::win32
