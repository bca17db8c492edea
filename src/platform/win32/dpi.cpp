#include "platform/win32/dpi.h"

namespace ombrix::platform::win32 {
namespace {

// Newer systems know the DPI of each window and monitor; older ones have one for the screen.
template <typename Function>
Function User32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    return user32 != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
               : nullptr;
}

int ScreenDpi() {
    const WindowDc screen(nullptr);
    const int dpi = screen.get() != nullptr ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return dpi > 0 ? dpi : 96;
}

}  // namespace

int WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    return ScreenDpi();
}

UniqueFont CreateMessageFont(int dpi) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        return UniqueFont(::CreateFontA(-::MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                        DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, "Segoe UI"));
    }
    // The metrics come for the system's DPI; scale them to the window's.
    const int systemDpi = ScreenDpi();
    metrics.lfMessageFont.lfHeight = ::MulDiv(metrics.lfMessageFont.lfHeight, dpi, systemDpi);
    return UniqueFont(::CreateFontIndirectA(&metrics.lfMessageFont));
}

base::LayoutScale FontLayoutScale(HFONT font, int dpi) {
    const WindowDc screen(nullptr);
    const SelectedObject selected(screen.get(), font);
    TEXTMETRICA metrics{};
    SIZE letters{};
    constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (!selected.Selected() || !::GetTextMetricsA(screen.get(), &metrics) ||
        !::GetTextExtentPoint32A(screen.get(), kLetters, 52, &letters)) {
        return base::DpiScale(dpi);
    }
    return base::FontScale(base::FontUnitsOf(letters.cx, metrics.tmHeight), dpi);
}

UniqueFont CreateFixedFont(int dpi, int hundredthsOfPoints) {
    LOGFONTA font{};
    font.lfHeight = -::MulDiv(hundredthsOfPoints, dpi, 7200);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = ANSI_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    ::lstrcpynA(font.lfFaceName, "Courier New", LF_FACESIZE);
    return UniqueFont(::CreateFontIndirectA(&font));
}

SIZE OuterSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, bool menu,
                        int dpi) {
    RECT rect{0, 0, clientWidth, clientHeight};
    using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    if (adjustForDpi == nullptr ||
        !adjustForDpi(&rect, style, menu ? TRUE : FALSE, exStyle, static_cast<UINT>(dpi))) {
        ::AdjustWindowRectEx(&rect, style, menu ? TRUE : FALSE, exStyle);
    }
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

int FollowDpiChange(HWND window, WPARAM wParam, LPARAM lParam) {
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    ::SetWindowPos(window, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    return HIWORD(wParam);
}

}  // namespace ombrix::platform::win32
