#pragma once

#include "app/frmFendralWrapper.h"
#include "app/view/qt/FormWindow.h"
#include "app/view/qt/QtAdapters.h"
#include "platform/Platform.h"

#include <memory>

namespace fendralwin {

// The Qt window with its window object: builds the window, opens the lists on the program
// folder, runs the Load event, and then connects the controls' events to the handlers.
// Destroying it releases the window object, which runs its Terminate event.
class QtFrontEnd {
public:
    explicit QtFrontEnd(Platform& platform);

    // Shows the window with the focus on the input drive list.
    void show();

    FormWindow& window() { return *window_; }
    frmFendralWrapper& form() { return *form_; }

private:
    void openListsOn(const QString& folder);
    void connectEvents();

    std::unique_ptr<FormWindow> window_;
    QtWindow windowControl_;
    QtDriveList drvIn_;
    QtFolderList dirIn_;
    QtFileList filIn_;
    QtDriveList drvOut_;
    QtFolderList dirOut_;
    QtTextBox txtOutputFile_;
    QtScrollBar hscrlRadius_;
    QtScrollBar hscrlMaxDiff_;
    QtTextBox txtRadius_;
    QtTextBox txtMaxDiff_;
    QtCommandButton cmdRunFendral_;
    QtLabel lblInputFile_;
    QtLabel lblOutputFile_;
    QtMessageBoxes messageBoxes_;
    std::unique_ptr<frmFendralWrapper> form_;
};

} // namespace fendralwin
