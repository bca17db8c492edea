#include "platform/win32/focus_memory.h"

namespace ombrix::platform::win32 {
namespace {

// Hidden, disabled or gone since it was remembered: the control cannot take the focus. Its own
// style says whether it is hidden, so that a window activated before it is shown (SetFocus on a
// control activates the window) finds its control too.
bool CanTakeFocus(HWND window, HWND control) {
    return control != nullptr && ::IsChild(window, control) &&
           (::GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0 &&
           ::IsWindowEnabled(control);
}

}  // namespace

bool FocusMemory::OnActivate(HWND window, WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(window, focus)) {
            remembered_ = focus;
        }
        return false;
    }
    // A minimised window takes no focus; the system gives it to the frame when the window is
    // restored, and WM_SETFOCUS passes it on.
    if (HIWORD(wParam) != 0 || ::IsIconic(window)) {
        return false;
    }
    return GiveBack(window);
}

bool FocusMemory::OnSetFocus(HWND window) {
    return GiveBack(window);
}

HWND FocusMemory::Target(HWND window) const {
    if (CanTakeFocus(window, remembered_)) {
        return remembered_;
    }
    // The first control in the tab order that is visible and enabled, as Tab would find it.
    HWND first = ::GetNextDlgTabItem(window, nullptr, FALSE);
    return CanTakeFocus(window, first) ? first : nullptr;
}

bool FocusMemory::GiveBack(HWND window) {
    HWND target = Target(window);
    if (target == nullptr) {
        return false;
    }
    ::SetFocus(target);
    return true;
}

}  // namespace ombrix::platform::win32
