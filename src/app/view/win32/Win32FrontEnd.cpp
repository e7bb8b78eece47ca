#include "app/view/win32/Win32FrontEnd.h"

namespace fendralwin::win32 {

Win32FrontEnd::Win32FrontEnd(Platform& platform, const std::string& startFolder)
    : Win32FrontEnd(platform, startFolder, systemBoxes_) {}

Win32FrontEnd::Win32FrontEnd(Platform& platform, const std::string& startFolder,
                             IMessageBoxes& messageBoxes)
    : window_(platform)
    , systemBoxes_(window_)
    , wiring_(window_, messageBoxes, platform, startFolder) {}

void Win32FrontEnd::show(int showCommand) {
    window_.show(showCommand, window_.child("drvIn"));
}

} // namespace fendralwin::win32
