#include "main/win32/busy_waiter.h"

#include <algorithm>

#include "platform/win32/centred_window.h"
#include "platform/win32/dpi.h"
#include "platform/win32/window_handles.h"
#include "platform/win32/window_procedure.h"

namespace ombrix::main::win32 {
namespace {

using platform::win32::TwipsToPixels;

constexpr const char* kClassName = "OmbrixBusy";
constexpr UINT_PTR kCancelButton = 101;

}  // namespace

HWND BusyWaiter::CreateCancelWindow() {
    platform::win32::RegisterWindowClass(
        kClassName, platform::win32::WindowProcedure<BusyWaiter>,
        ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)));
    const int dpi = platform::win32::WindowDpi(mainWindow_);
    HWND window =
        platform::win32::CreateCentredWindow({WS_EX_DLGMODALFRAME, kClassName, kCancelWindowCaption,
                                              WS_POPUP | WS_CAPTION | WS_BORDER, 4800, 1500},
                                             mainWindow_, this);
    if (window == nullptr) {
        return nullptr;
    }
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    HWND text = ::CreateWindowExA(0, "STATIC", kCancelWindowText, WS_CHILD | WS_VISIBLE,
                                  TwipsToPixels(180, dpi), TwipsToPixels(150, dpi),
                                  TwipsToPixels(4440, dpi), TwipsToPixels(700, dpi), window,
                                  nullptr, instance, nullptr);
    HWND button = ::CreateWindowExA(
        0, "BUTTON", kCancelButtonCaption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
        TwipsToPixels(1850, dpi), TwipsToPixels(960, dpi), TwipsToPixels(1100, dpi),
        TwipsToPixels(375, dpi), window, reinterpret_cast<HMENU>(kCancelButton), instance, nullptr);
    font_ = platform::win32::CreateMessageFont(dpi);
    ::SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ::SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ::ShowWindow(window, SW_SHOWNORMAL);
    ::SetFocus(button);
    return window;
}

LRESULT BusyWaiter::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kCancelButton || LOWORD(wParam) == IDCANCEL) {
                cancelled_ = true;
            }
            return 0;
        case WM_CLOSE:
            cancelled_ = true;
            return 0;
        default:
            break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

bool BusyWaiter::WaitForExit(platform::CapturedProcess& child) {
    busy_ = true;
    cancelled_ = false;
    const bool wasEnabled = ::IsWindowEnabled(mainWindow_) != FALSE;
    ::EnableWindow(mainWindow_, FALSE);
    ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));

    const auto start = std::chrono::steady_clock::now();
    // Woken by the tool's end, by a message, or when the cancel window is due; without the
    // process's handle, every few milliseconds.
    HANDLE ended = reinterpret_cast<HANDLE>(child.EndSignal());
    platform::win32::UniqueWindow cancelWindow;
    bool cancelOffered = false;  // once: a window that could not be made is not tried again
    bool quitRequested = false;
    int quitCode = 0;
    while (!cancelled_ && !child.WaitForExit(std::chrono::milliseconds(0))) {
        const auto waited = std::chrono::steady_clock::now() - start;
        if (!cancelOffered && waited >= kCancelDelay) {
            cancelOffered = true;
            cancelWindow.reset(CreateCancelWindow());
        }
        DWORD timeout = INFINITE;
        if (!cancelOffered) {
            const auto due = std::chrono::ceil<std::chrono::milliseconds>(kCancelDelay - waited);
            timeout = static_cast<DWORD>(due.count());
        }
        if (ended == nullptr) {
            timeout = std::min<DWORD>(timeout, 5);
        }
        ::MsgWaitForMultipleObjectsEx(ended != nullptr ? 1 : 0, &ended, timeout, QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
        MSG message{};
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // The program is being ended: stop the tool and pass the request on.
                quitRequested = true;
                quitCode = static_cast<int>(message.wParam);
                cancelled_ = true;
                break;
            }
            if (!cancelWindow || !::IsDialogMessageA(cancelWindow.get(), &message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageA(&message);
            }
        }
    }
    if (wasEnabled) {
        ::EnableWindow(mainWindow_, TRUE);
    }
    cancelWindow.reset();
    busy_ = false;
    if (quitRequested) {
        ::PostQuitMessage(quitCode);
    }
    return !cancelled_;
}

}  // namespace ombrix::main::win32
