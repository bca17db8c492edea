// What the window tests read off a real window: where a control lies, which font it has.
#pragma once

#include <windows.h>

#include "base/twips.h"

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

}  // namespace ombrix::test
