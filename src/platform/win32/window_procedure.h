// One window procedure for every window class of ours: it finds the object behind the window
// and calls its HandleMessage, and never lets an exception reach the system.
#pragma once

#include <windows.h>

#include <exception>

namespace ombrix::platform::win32 {

// Shows what went wrong in a handler; the program goes on.
void ReportUnexpectedFailure(HWND window, const char* what) noexcept;
// The same for an exception; memory running out is told plainly, not by the exception's name.
void ReportUnexpectedFailure(HWND window, const std::exception& failure) noexcept;

// Runs a handler of `window`'s messages: a failure is shown, and 0 returned.
template <typename Handler>
LRESULT Guarded(HWND window, Handler&& handler) noexcept {
    try {
        return handler();
    } catch (const std::exception& failure) {
        ReportUnexpectedFailure(window, failure);
    } catch (...) {
        ReportUnexpectedFailure(window, "an unknown error");
    }
    return 0;
}

template <typename Window>
LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
    const LRESULT result =
        Guarded(window, [&] { return self->HandleMessage(window, message, wParam, lParam); });
    // The window's last message: nothing may reach the object through it any more.
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    return result;
}

// Registers a window class once per process; the class name is its identity. Windows of the class
// get `style` (CS_DBLCLKS, say) and the system cursor `cursor`.
void RegisterWindowClass(const char* className, WNDPROC procedure, HICON icon, UINT style = 0,
                         const char* cursor = IDC_ARROW);

}  // namespace ombrix::platform::win32
