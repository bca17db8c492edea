#include "platform/win32/base_window.h"

#include <commctrl.h>

#include "base/twips.h"
#include "platform/win32/dpi.h"
#include "platform/win32/window_procedure.h"

namespace ombrix::platform::win32 {
namespace {

constexpr UINT_PTR kWatchSubclass = 1;

}  // namespace

BaseWindow::~BaseWindow() {
    if (window_) {
        ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
        window_.reset();
    }
}

void BaseWindow::Register(const char* className, UINT style, const char* cursor) {
    RegisterWindowClass(className, &WindowProcedure<BaseWindow>,
                        ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)), style,
                        cursor);
}

bool BaseWindow::Create(DWORD exStyle, const char* className, const char* caption, DWORD style,
                        int left, int top, int width, int height, HWND owner) {
    window_.reset(::CreateWindowExA(exStyle, className, caption, style, left, top, width, height,
                                    owner, nullptr, ::GetModuleHandleA(nullptr), this));
    if (!window_) {
        return false;
    }
    dpi_ = WindowDpi(window_.get());
    return true;
}

bool BaseWindow::CreateCentred(const CentredWindow& design, HWND owner) {
    const int dpi = WindowDpi(owner);
    const base::LayoutScale scale = FontLayoutScale(CreateMessageFont(dpi).get(), dpi);
    const SIZE outer = OuterSizeForClient(scale.Across(design.clientWidthTwips),
                                          scale.Down(design.clientHeightTwips), design.style,
                                          design.exStyle, false, dpi);
    RECT over{};
    ::GetWindowRect(owner, &over);
    const base::Box at = base::CentredOver(
        {over.left, over.top, over.right - over.left, over.bottom - over.top}, outer.cx, outer.cy);
    return Create(design.exStyle, design.className, design.caption, design.style, at.left, at.top,
                  at.width, at.height, owner);
}

void BaseWindow::SizeClient(const base::LayoutScale& scale, int widthTwips, int heightTwips) {
    // The frame as it stands, at whatever DPI the system draws it.
    HWND window = window_.get();
    RECT outer{};
    RECT client{};
    ::GetWindowRect(window, &outer);
    ::GetClientRect(window, &client);
    ::SetWindowPos(window, nullptr, 0, 0,
                   outer.right - outer.left - client.right + scale.Across(widthTwips),
                   outer.bottom - outer.top - client.bottom + scale.Down(heightTwips),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void BaseWindow::WatchControl(HWND control) {
    ::SetWindowSubclass(control, &BaseWindow::ControlProcedure, kWatchSubclass,
                        reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK BaseWindow::ControlProcedure(HWND control, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR subclass,
                                              DWORD_PTR self) noexcept {
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(control, &BaseWindow::ControlProcedure, subclass);
    } else {
        Guarded(control, [&] {
            reinterpret_cast<BaseWindow*>(self)->OnControlMessage(control, message, wParam, lParam);
            return LRESULT{0};
        });
    }
    return ::DefSubclassProc(control, message, wParam, lParam);
}

LRESULT BaseWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT BaseWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DPICHANGED:
            dpi_ = FollowDpiChange(window, wParam, lParam);
            Layout(dpi_);
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        // The focused control is kept across deactivation, and the focus starts on the first
        // control: without that the frame keeps it and the controls get no keys.
        case WM_ACTIVATE:
            if (focus_.OnActivate(window, wParam)) {
                return 0;
            }
            break;
        case WM_SETFOCUS:
            if (focus_.OnSetFocus(window)) {
                return 0;
            }
            break;
        case WM_NCDESTROY:
            window_.release();
            return ::DefWindowProcA(window, message, wParam, lParam);
        default:
            break;
    }
    return OnMessage(window, message, wParam, lParam);
}

}  // namespace ombrix::platform::win32
