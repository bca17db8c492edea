// The start-up floor: the main window as designed (same manifest, icon, menu bar, the same
// controls made and placed by the same table code in the message font), shown with nothing
// behind it: no options file, no version check, no command line. What any program that shows
// this window needs.
#include <windows.h>
#include <commctrl.h>

#include "base/twips.h"
#include "floor_ids.h"
#include "main/main_layout.h"
#include "main/win32/main_menu.h"
#include "platform/win32/controls.h"
#include "platform/win32/dpi.h"
#include "platform/win32/window_handles.h"

namespace {

constexpr const char* kClassName = ombrix::bench::kStartupFloorClass;
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    namespace win32 = ombrix::platform::win32;
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
    win32::UniqueWindow window(::CreateWindowExA(
        WS_EX_CONTROLPARENT, kClassName, ombrix::main::kMainCaption, kStyle, CW_USEDEFAULT,
        CW_USEDEFAULT, 640, 400, nullptr, nullptr, instance, nullptr));
    if (!window) {
        return 1;
    }
    const int dpi = win32::WindowDpi(window.get());
    ::SetMenu(window.get(), ombrix::main::win32::CreateMainMenu());
    win32::Controls mainControls(ombrix::main::kMainControls);
    if (!mainControls.Create(window.get())) {
        return 1;
    }
    const win32::UniqueFont font = win32::CreateMessageFont(dpi);
    const ombrix::base::LayoutScale scale = win32::FontLayoutScale(font.get(), dpi);
    mainControls.Place(scale);
    mainControls.SetFont(font.get());
    const SIZE outer =
        win32::OuterSizeForClient(scale.Across(ombrix::main::kClientWidth),
                                  scale.Down(ombrix::main::kClientHeight), kStyle, 0, true, dpi);
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const ombrix::base::Box at = ombrix::base::CentredOver(
        {area.left, area.top, area.right - area.left, area.bottom - area.top}, outer.cx, outer.cy);
    ::SetWindowPos(window.get(), nullptr, at.left, at.top, at.width, at.height,
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
