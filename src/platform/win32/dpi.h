// Dots per inch, twips and the system's message font at a given DPI.
#pragma once

#include <windows.h>

#include "platform/win32/window_handles.h"

namespace ombrix::platform::win32 {

inline constexpr int kTwipsPerInch = 1440;

// The DPI the window is shown at (the system's when the window cannot tell).
int WindowDpi(HWND window);

inline int TwipsToPixels(int twips, int dpi) {
    return ::MulDiv(twips, dpi, kTwipsPerInch);
}

// The font the system uses for message boxes, sized for `dpi`.
UniqueFont CreateMessageFont(int dpi);

// A fixed-pitch font of the given size in hundredths of a point (975 for 9.75 points).
UniqueFont CreateFixedFont(int dpi, int hundredthsOfPoints);

// The outer window size for a client area of the given size, with or without a menu bar.
SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool menu,
                        int dpi);

}  // namespace ombrix::platform::win32
