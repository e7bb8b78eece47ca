#include "app/view/qt/QtFrontEnd.h"

namespace fendralwin {

QtFrontEnd::QtFrontEnd(Platform& platform, const std::string& startFolder)
    : QtFrontEnd(platform, startFolder, qtBoxes_) {}

QtFrontEnd::QtFrontEnd(Platform& platform, const std::string& startFolder,
                       IMessageBoxes& messageBoxes)
    : window_(platform)
    , qtBoxes_(&window_)
    , wiring_(window_, messageBoxes, platform, startFolder) {}

void QtFrontEnd::show() {
    window_.show();
    window_.control("drvIn").setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace fendralwin
