// Move-only owners of the window system's handles: top-level windows, GDI objects and menus.
#pragma once

#include <windows.h>

#include "platform/win32/unique_owner.h"

namespace ombrix::platform::win32 {

struct WindowTraits {
    static void Close(HWND window) { ::DestroyWindow(window); }
};
struct GdiTraits {
    static void Close(HGDIOBJ object) { ::DeleteObject(object); }
};
struct MenuTraits {
    static void Close(HMENU menu) { ::DestroyMenu(menu); }
};

// Only top-level windows are owned; controls die with their parent.
using UniqueWindow = UniqueOwner<HWND, WindowTraits>;
using UniqueFont = UniqueOwner<HFONT, GdiTraits>;
using UniqueMenu = UniqueOwner<HMENU, MenuTraits>;

}  // namespace ombrix::platform::win32
