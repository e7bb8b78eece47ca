#include "app/view/win32/FormWindow.h"

#include "app/view/ControlTable.h"
#include "app/view/win32/DriveList.h"
#include "app/view/win32/FileList.h"
#include "app/view/win32/FolderList.h"
#include "app/view/win32/SimpleControls.h"
#include "app/view/win32/WindowIcon.h"
#include "platform/windows/SystemText.h"

#include <algorithm>
#include <cmath>
#include <commctrl.h>
#include <dbt.h>
#include <shellapi.h>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace fendralwin::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"frmFendralWrapper";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Where the client area's top-left corner is first shown, in pixels at 96 DPI.
constexpr POINT kDesignedPlace{57, 28};

int screenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

HFONT makeFont(std::wstring_view face, int pixelHeight, bool italic) {
    LOGFONTW font{};
    font.lfHeight = -pixelHeight;
    font.lfWeight = FW_NORMAL;
    font.lfItalic = italic ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

int pixelHeight(double points, int dpi) {
    return static_cast<int>(std::lround(points * dpi / 72.0));
}

HFONT makeFont(const FontStyle& design, int dpi) {
    return makeFont(windows::widen(design.family), pixelHeight(design.points, dpi), design.italic);
}

bool standardCaptionsFitOneLine(HFONT font, int dpi) {
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(screen, font);
    bool fit = true;
    for (const ControlLayout& design : controlTable()) {
        if (design.kind == ControlKind::Label && design.style == LabelStyle::Standard) {
            const std::wstring caption = windows::widen(design.text);
            SIZE size{};
            GetTextExtentPoint32W(screen, caption.c_str(), static_cast<int>(caption.size()), &size);
            fit = fit && size.cx <= pixelsOf(design.width, dpi);
        }
    }
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return fit;
}

// The system's dialog face at 8 points, whose lines fit labels 13 pixels high; a pixel smaller
// while a label's caption would need a second line, which its label cuts off, with a face wider
// than the one the window was laid out for.
HFONT makeStandardFont(int dpi) {
    const int smallest = pixelHeight(6, dpi);
    for (int height = pixelHeight(8, dpi);; --height) {
        const HFONT font = makeFont(L"MS Shell Dlg", height, false);
        if (height <= smallest || standardCaptionsFitOneLine(font, dpi)) {
            return font;
        }
        DeleteObject(font);
    }
}

COLORREF colorOf(Rgb rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

HICON loadWindowIcon(HINSTANCE module, int size) {
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(FENDRALWIN_WINDOW_ICON),
                                         IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

void registerWindowClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        // The icon resource's two images; the system scales them to other sizes.
        windowClass.hIcon = loadWindowIcon(windowClass.hInstance, 32);
        windowClass.hIconSm = loadWindowIcon(windowClass.hInstance, 16);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered) {
        throw std::runtime_error("The window class cannot be registered.");
    }
}

// The control that implements `Interface` for a row of the control table.
template <typename Interface>
auto makeControl(const ControlLayout& design, const ControlSite& site, const Platform& platform) {
    if constexpr (std::is_same_v<Interface, ILabel>) {
        return std::make_unique<Label>(design, site);
    } else if constexpr (std::is_same_v<Interface, ITextBox>) {
        return std::make_unique<TextBox>(design, site);
    } else if constexpr (std::is_same_v<Interface, ICommandButton>) {
        return std::make_unique<CommandButton>(design, site);
    } else if constexpr (std::is_same_v<Interface, IScrollBar>) {
        return std::make_unique<ScrollBar>(design, site);
    } else if constexpr (std::is_same_v<Interface, IDriveList>) {
        return std::make_unique<DriveList>(design, site);
    } else if constexpr (std::is_same_v<Interface, IFolderList>) {
        return std::make_unique<FolderList>(design, site, platform);
    } else {
        static_assert(std::is_same_v<Interface, IFileList>);
        return std::make_unique<FileList>(design, site, platform);
    }
}

// A screen reader names a list or an edit box by the static text made right before it; the other
// labels keep their place. Labels take no part in the tab order, which stays the table's.
std::vector<const ControlLayout*> creationOrder() {
    std::vector<const ControlLayout*> order;
    const auto add = [&order](const ControlLayout& design) {
        if (std::ranges::find(order, &design) == order.end()) {
            order.push_back(&design);
        }
    };
    for (const ControlLayout& design : controlTable()) {
        const bool namedByTheTextBefore = design.kind != ControlKind::Label &&
                                          design.kind != ControlKind::CommandButton &&
                                          design.kind != ControlKind::HScrollBar;
        if (const std::string_view label = labelOf(design);
            namedByTheTextBefore && !label.empty()) {
            add(controlNamed(label));
        }
        add(design);
    }
    return order;
}

} // namespace

FormWindow::FormWindow(const Platform& platform)
    : dpi_(screenDpi())
    , standardFont_(makeStandardFont(dpi_))
    , headingFont_(makeFont(kHeadingStyle.font, dpi_))
    , pathFont_(makeFont(kPathFont, dpi_))
    , headingBrush_(CreateSolidBrush(colorOf(kHeadingStyle.background))) {
    registerWindowClass();
    RECT frame{kDesignedPlace.x, kDesignedPlace.y, kDesignedPlace.x + pixels(kClientWidthTwips),
               kDesignedPlace.y + pixels(kClientHeightTwips)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    const HWND window =
        CreateWindowExW(0, kWindowClass, L"FendralWin", kWindowStyle, frame.left, frame.top,
                        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                        GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        throw std::runtime_error("The window cannot be created: " +
                                 windows::systemMessage(GetLastError()));
    }
    window_ = window;
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProcedure));
    formControls_.window = this;
    createControls(platform);
    DragAcceptFiles(window_, TRUE);
}

FormWindow::~FormWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void FormWindow::createControls(const Platform& platform) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    for (const ControlLayout* made : creationOrder()) {
        const ControlLayout& design = *made;
        HFONT font = static_cast<HFONT>(standardFont_.get());
        if (design.style == LabelStyle::Heading) {
            font = static_cast<HFONT>(headingFont_.get());
        } else if (design.style == LabelStyle::Path) {
            font = static_cast<HFONT>(pathFont_.get());
        }
        const Place place{pixels(design.left), pixels(design.top), pixels(design.width),
                          pixels(design.height)};
        const ControlSite site{window_, place, font, toolTip_};
        const bool used = visitControlSlot(design.name, [&](const auto& slot) {
            using Slot = std::remove_cvref_t<decltype(slot)>;
            auto made = makeControl<typename Slot::Interface>(design, site, platform);
            formControls_.*Slot::member = made.get();
            children_.push_back(std::move(made));
        });
        if (!used) {
            children_.push_back(makeControl<ILabel>(design, site, platform));
        }
        if (!design.toolTip.empty()) {
            setToolTip(toolTip_, children_.back()->handle(), std::string(design.toolTip));
        }
    }
}

ChildControl& FormWindow::child(std::string_view name) const {
    for (const auto& control : children_) {
        if (control->design().name == name) {
            return *control;
        }
    }
    throw std::out_of_range("no control named " + std::string(name));
}

ChildControl* FormWindow::controlWithId(int id) const {
    for (const auto& control : children_) {
        if (controlId(control->design()) == id) {
            return control.get();
        }
    }
    return nullptr;
}

ChildControl* FormWindow::controlWithHandle(HWND handle) const {
    return handle == nullptr ? nullptr : controlWithId(GetDlgCtrlID(handle));
}

void FormWindow::show(int showCommand, const ChildControl& focus) {
    lastFocus_ = focus.handle();
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(lastFocus_);
}

void FormWindow::close() {
    if (window_ != nullptr) {
        SendMessageW(window_, WM_CLOSE, 0, 0);
    }
}

bool FormWindow::takeDialogMessage(MSG& message) {
    return window_ != nullptr && IsDialogMessageW(window_, &message);
}

void FormWindow::drop(WPARAM wParam) {
    const auto dropped = reinterpret_cast<HDROP>(wParam);
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(dropped, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(dropped, i, nullptr, 0), L'\0');
        DragQueryFileW(dropped, i, path.data(), static_cast<UINT>(path.size() + 1));
        paths.push_back(windows::narrow(path));
    }
    POINT at{};
    DragQueryPoint(dropped, &at);
    DragFinish(dropped);
    RECT client{};
    GetClientRect(window_, &client);
    // The system's file drop has no cursor that refuses: what the half cannot open changes
    // nothing.
    offerDrop(paths, at.x < client.right / 2 ? WindowHalf::Input : WindowHalf::Output, true);
}

int FormWindow::pixels(int twips) const {
    return pixelsOf(twips, dpi_);
}

LRESULT CALLBACK FormWindow::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return form->handleMessage(message, wParam, lParam);
}

LRESULT FormWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_;
    switch (message) {
    case WM_COMMAND: {
        const auto from = reinterpret_cast<HWND>(lParam);
        if (ChildControl* control = controlWithHandle(from)) {
            control->commanded(HIWORD(wParam));
        } else if (from == nullptr && LOWORD(wParam) == IDOK) {
            // Enter, as IsDialogMessage reports it: the focused control acts on it.
            if (ChildControl* focused = controlWithHandle(GetFocus())) {
                focused->activated();
            }
        }
        return 0;
    }
    case WM_HSCROLL:
        if (ChildControl* control = controlWithHandle(reinterpret_cast<HWND>(lParam))) {
            // The position that comes with the request holds 16 bits, as the bars' values do.
            control->scrolled(LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
        }
        return 0;
    case WM_DRAWITEM:
        if (ChildControl* control = controlWithId(static_cast<int>(wParam))) {
            return control->drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        }
        break;
    case WM_CTLCOLORSTATIC: {
        const ChildControl* control = controlWithHandle(reinterpret_cast<HWND>(lParam));
        if (control != nullptr && control->design().style == LabelStyle::Heading) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, colorOf(kHeadingStyle.foreground));
            SetBkColor(dc, colorOf(kHeadingStyle.background));
            return reinterpret_cast<LRESULT>(headingBrush_.get());
        }
        break;
    }
    case WM_ACTIVATE:
        // The focus leaves with the window and comes back to the same control.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (const HWND focused = GetFocus(); focused != nullptr && IsChild(window, focused)) {
                lastFocus_ = focused;
            }
        } else {
            // Another program may have changed the disk meanwhile.
            raiseEvent(ControlEvent::Refresh);
        }
        break;
    case WM_DEVICECHANGE:
        // A disk inserted or taken out: the drive lists show the drives present now.
        if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) {
            raiseEvent(ControlEvent::Refresh);
        }
        return TRUE;
    case WM_SETFOCUS:
        if (lastFocus_ != nullptr && IsWindow(lastFocus_)) {
            SetFocus(lastFocus_);
        }
        return 0;
    case WM_DROPFILES:
        drop(wParam);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_NCDESTROY:
        window_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace fendralwin::win32
