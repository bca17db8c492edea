// The secondary windows' placement: a client area given in twips at the owner's DPI, the window
// centred over its owner in floating point and not clamped to the screen.
#pragma once

#include <windows.h>

namespace ombrix::platform::win32 {

struct CentredWindow {
    DWORD exStyle = 0;
    const char* className = nullptr;
    const char* caption = "";
    DWORD style = 0;
    int clientWidthTwips = 0;
    int clientHeightTwips = 0;
};

// Creates the window owned by `owner`; `parameter` reaches WM_NCCREATE. Null when it fails.
HWND CreateCentredWindow(const CentredWindow& design, HWND owner, void* parameter);

}  // namespace ombrix::platform::win32
