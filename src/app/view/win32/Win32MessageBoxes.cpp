#include "app/view/win32/Win32MessageBoxes.h"

#include "platform/windows/SystemText.h"

namespace fendralwin::win32 {

namespace {

UINT iconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Warning:
        return MB_ICONEXCLAMATION;
    case MessageKind::Critical:
        return MB_ICONSTOP;
    case MessageKind::Plain:
        break;
    }
    return 0;
}

} // namespace

void Win32MessageBoxes::show(MessageKind kind, const std::string& title, const std::string& text) {
    MessageBoxW(owner_.handle(), windows::widen(text).c_str(), windows::widen(title).c_str(),
                MB_OK | iconOf(kind));
}

} // namespace fendralwin::win32
