// Dots per inch, twips and the system's message font at a given DPI.
#pragma once

#include <windows.h>

#include "base/layout_scale.h"
#include "platform/win32/window_handles.h"

namespace ombrix::platform::win32 {

// The DPI the window is shown at (the system's when the window cannot tell).
int WindowDpi(HWND window);

// WM_DPICHANGED: moves the window to the rectangle the system suggests and returns the new DPI,
// at which the caller lays itself out again.
int FollowDpiChange(HWND window, WPARAM wParam, LPARAM lParam);

// The font the system uses for message boxes, sized for `dpi`.
UniqueFont CreateMessageFont(int dpi);

// The scale of a window laid out in `font` at `dpi`: the font is measured as the system measures
// dialog base units.
base::LayoutScale FontLayoutScale(HFONT font, int dpi);

// A fixed-pitch font of the given size in hundredths of a point (975 for 9.75 points).
UniqueFont CreateFixedFont(int dpi, int hundredthsOfPoints);

// The outer window size for a client area of the given size, with or without a menu bar.
SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool menu,
                        int dpi);

}  // namespace ombrix::platform::win32
