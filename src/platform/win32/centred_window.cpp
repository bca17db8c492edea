#include "platform/win32/centred_window.h"

#include <cmath>

#include "platform/win32/dpi.h"

namespace ombrix::platform::win32 {

HWND CreateCentredWindow(const CentredWindow& design, HWND owner, void* parameter) {
    const int dpi = WindowDpi(owner);
    const SIZE outer = OuterSizeForClient(TwipsToPixels(design.clientWidthTwips, dpi),
                                          TwipsToPixels(design.clientHeightTwips, dpi),
                                          design.style, design.exStyle, false, dpi);
    RECT over{};
    ::GetWindowRect(owner, &over);
    const double left = over.left + ((over.right - over.left) - outer.cx) / 2.0;
    const double top = over.top + ((over.bottom - over.top) - outer.cy) / 2.0;
    return ::CreateWindowExA(design.exStyle, design.className, design.caption, design.style,
                             static_cast<int>(std::lround(left)),
                             static_cast<int>(std::lround(top)), outer.cx, outer.cy, owner, nullptr,
                             ::GetModuleHandleA(nullptr), parameter);
}

}  // namespace ombrix::platform::win32
