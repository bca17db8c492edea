#include "platform/win32/window_procedure.h"

#include <new>
#include <string>

#include "platform/dialogs.h"

namespace ombrix::platform::win32 {

void ReportUnexpectedFailure(HWND window, const char* what) noexcept {
    try {
        const std::string text = std::string("Ombrix met an unexpected error: ") + what;
        ::MessageBoxA(window, text.c_str(), kApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
    } catch (...) {
        ::MessageBoxA(window, "Ombrix met an unexpected error.", kApplicationTitle,
                      MB_OK | MB_ICONEXCLAMATION);
    }
}

void ReportUnexpectedFailure(HWND window, const std::exception& failure) noexcept {
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) {
        ::MessageBoxA(window, kOutOfMemoryMessage, kApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ReportUnexpectedFailure(window, failure.what());
}

void RegisterWindowClass(const char* className, WNDPROC procedure, HICON icon, UINT style,
                         const char* cursor) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExA(::GetModuleHandleA(nullptr), className, &existing)) {
        return;
    }
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hIcon = icon;
    windowClass.hIconSm = icon;
    windowClass.hCursor = ::LoadCursorA(nullptr, cursor);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    ::RegisterClassExA(&windowClass);
}

}  // namespace ombrix::platform::win32
