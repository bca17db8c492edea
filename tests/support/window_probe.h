// What the window tests read off a real window: where a control lies, which font it has, where
// the keyboard focus is; and a window of the test's own to switch to.
#pragma once

#include <windows.h>

#include "base/twips.h"
#include "platform/win32/window_handles.h"

namespace ombrix::test {

// The control's rectangle in its parent's client area.
inline base::Box BoxOf(HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// The height of the control's font, as its LOGFONT gives it.
inline LONG FontHeight(HWND control) {
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)), sizeof(font),
                 &font);
    return font.lfHeight;
}

// The control with the keyboard focus in the thread of `window`, as any process can read it.
inline HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// A top-level window of the test's own: bringing it to the front takes the activation from the
// program's windows, as switching to another program does.
class OtherWindow {
  public:
    OtherWindow()
        : window_(::CreateWindowExA(0, "STATIC", "Elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20,
                                    20, 320, 200, nullptr, nullptr, ::GetModuleHandleA(nullptr),
                                    nullptr)) {}
    HWND get() const { return window_.get(); }
    void Activate() const { ::SetForegroundWindow(window_.get()); }

  private:
    platform::win32::UniqueWindow window_;
};

}  // namespace ombrix::test
