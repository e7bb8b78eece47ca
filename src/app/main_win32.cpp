#include "app/view/win32/Win32FrontEnd.h"
#include "platform/NativePlatform.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    // The window scales its layout and fonts to the screen's DPI itself.
    SetProcessDPIAware();
    fendralwin::NativePlatform platform;
    // The lists open where the user started the program, not in the program's own folder.
    fendralwin::win32::Win32FrontEnd frontEnd(platform, ".");
    frontEnd.show(showCommand);

    fendralwin::win32::FormWindow& window = frontEnd.window();
    MSG message{};
    while (window.isOpen() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.takeDialogMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // Leaving releases the window object: its Terminate event deletes the job script.
    return 0;
}
