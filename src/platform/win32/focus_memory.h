// A top-level window's keyboard focus kept as the dialog manager keeps a dialog's: the focused
// control is remembered when the window is deactivated and given back when it is activated again.
// Without that, the system gives the focus to the frame, and the controls get no keys until the
// user clicks or presses Tab.
#pragma once

#include <windows.h>

namespace ombrix::platform::win32 {

class FocusMemory {
  public:
    // WM_ACTIVATE. True when it placed the focus itself: the window then returns 0 and leaves
    // DefWindowProc out, which would put the focus on the frame.
    bool OnActivate(HWND window, WPARAM wParam);
    // WM_SETFOCUS on the frame: passes the focus on to a control. False when no control can
    // take it, and the frame keeps it.
    bool OnSetFocus(HWND window);

  private:
    // The remembered control while it can still take the focus, else the first tab stop.
    HWND Target(HWND window) const;
    bool GiveBack(HWND window);

    HWND remembered_ = nullptr;  // a child of the window, or null
};

}  // namespace ombrix::platform::win32
