// The start-up floor: the main window as designed (same manifest, icon, menu bar, the same
// controls at the same places in the message font), shown with nothing behind it: no options
// file, no version check, no command line. What any program that shows this window needs.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "main/main_layout.h"
#include "platform/win32/dpi.h"
#include "platform/win32/window_handles.h"

namespace {

using ombrix::main::ControlDesign;
using ombrix::main::ControlKind;
using ombrix::platform::win32::TwipsToPixels;

constexpr const char* kClassName = "OmbrixBenchFloor";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;

DWORD StyleFor(ControlKind kind) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP;
    switch (kind) {
        case ControlKind::ReadOnlyText:
            return kChild | ES_AUTOHSCROLL | ES_READONLY;
        case ControlKind::Text:
            return kChild | ES_AUTOHSCROLL;
        case ControlKind::Button:
            return kChild | BS_PUSHBUTTON;
        case ControlKind::Frame:
            return WS_CHILD | WS_VISIBLE | BS_GROUPBOX;
        case ControlKind::CheckBox:
            return kChild | BS_AUTOCHECKBOX;
        case ControlKind::OptionButton:
            return kChild | BS_RADIOBUTTON;
        case ControlKind::Label:
            return WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
    }
    return kChild;
}

bool IsTextBox(ControlKind kind) {
    return kind == ControlKind::Text || kind == ControlKind::ReadOnlyText;
}

// A control's place in pixels: positions are relative to the container, so add up the chain.
RECT PixelRect(const ControlDesign& own, int dpi) {
    int left = 0;
    int top = 0;
    for (const ControlDesign* at = &own; at != nullptr;) {
        left += at->left;
        top += at->top;
        at = at->container ? &ombrix::main::DesignOf(*at->container) : nullptr;
    }
    return RECT{TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(own.width, dpi),
                TwipsToPixels(own.height, dpi)};
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void CreateMenuBar(HWND window) {
    HMENU bar = ::CreateMenu();
    HMENU first = ::CreatePopupMenu();
    ::AppendMenuA(first, MF_STRING, 200, "Program Location");
    ::AppendMenuA(first, MF_STRING | MF_CHECKED, 201, "Show Command Line");
    ::AppendMenuA(first, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(first, MF_STRING, 202, "Exit");
    HMENU help = ::CreatePopupMenu();
    ::AppendMenuA(help, MF_STRING, 203, "Index");
    ::AppendMenuA(help, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(help, MF_STRING, 204, "About Ombrix");
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(first), "Ombrix");
    ::AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "Help");
    ::SetMenu(window, bar);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(1));
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExA(&windowClass);
    ombrix::platform::win32::UniqueWindow window(::CreateWindowExA(
        WS_EX_CONTROLPARENT, kClassName, ombrix::main::kMainCaption, kStyle, CW_USEDEFAULT,
        CW_USEDEFAULT, 640, 400, nullptr, nullptr, instance, nullptr));
    if (!window) {
        return 1;
    }
    const int dpi = ombrix::platform::win32::WindowDpi(window.get());
    CreateMenuBar(window.get());
    const ombrix::platform::win32::UniqueFont font =
        ombrix::platform::win32::CreateMessageFont(dpi);
    UINT id = 100;
    for (const ControlDesign& design : ombrix::main::kMainControls) {
        const RECT r = PixelRect(design, dpi);
        HWND control = ::CreateWindowExA(
            IsTextBox(design.kind) ? WS_EX_CLIENTEDGE : 0,
            IsTextBox(design.kind)              ? "EDIT"
            : design.kind == ControlKind::Label ? "STATIC"
                                                : "BUTTON",
            design.caption, StyleFor(design.kind), r.left, r.top, r.right, r.bottom, window.get(),
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id++)), instance, nullptr);
        if (design.maxLength > 0) {
            ::SendMessageA(control, EM_SETLIMITTEXT, static_cast<WPARAM>(design.maxLength), 0);
        }
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    const SIZE outer = ombrix::platform::win32::OuterSizeForClient(
        TwipsToPixels(ombrix::main::kClientWidth, dpi),
        TwipsToPixels(ombrix::main::kClientHeight, dpi), kStyle, 0, true, dpi);
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    ::SetWindowPos(window.get(), nullptr, area.left + (area.right - area.left - outer.cx) / 2,
                   area.top + (area.bottom - area.top - outer.cy) / 2, outer.cx, outer.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(window.get(), SW_SHOWNORMAL);
    ::UpdateWindow(window.get());

    MSG message{};
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageA(window.get(), &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
    }
    window.release();  // its close box has destroyed it already
    return 0;
}
