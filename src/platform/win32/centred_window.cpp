#include "platform/win32/centred_window.h"

#include "base/twips.h"
#include "platform/win32/dpi.h"

namespace ombrix::platform::win32 {

HWND CreateCentredWindow(const CentredWindow& design, HWND owner, void* parameter) {
    const int dpi = WindowDpi(owner);
    const SIZE outer = OuterSizeForClient(TwipsToPixels(design.clientWidthTwips, dpi),
                                          TwipsToPixels(design.clientHeightTwips, dpi),
                                          design.style, design.exStyle, false, dpi);
    RECT over{};
    ::GetWindowRect(owner, &over);
    const base::Box at = base::CentredOver(
        {over.left, over.top, over.right - over.left, over.bottom - over.top}, outer.cx, outer.cy);
    return ::CreateWindowExA(design.exStyle, design.className, design.caption, design.style,
                             at.left, at.top, at.width, at.height, owner, nullptr,
                             ::GetModuleHandleA(nullptr), parameter);
}

}  // namespace ombrix::platform::win32
