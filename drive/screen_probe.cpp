#include "drive/screen_probe.h"

#include <algorithm>
#include <utility>

#include "drive/clock.h"
#include "platform/win32/window_handles.h"

namespace ombrix::drive {

using platform::win32::DcArea;

Area WholeWindow(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return Area{window, true, RECT{0, 0, r.right - r.left, r.bottom - r.top}};
}

Area ControlArea(HWND control, int skipLeft) {
    HWND top = ::GetAncestor(control, GA_ROOT);
    RECT r{};
    ::GetClientRect(control, &r);
    ::MapWindowPoints(control, top, reinterpret_cast<POINT*>(&r), 2);
    r.left += skipLeft;
    return Area{top, false, r};
}

std::vector<std::uint32_t> Grab(const Area& area) {
    const int width = area.rect.right - area.rect.left;
    const int height = area.rect.bottom - area.rect.top;
    if (width <= 0 || height <= 0) {
        return {};
    }
    const platform::win32::WindowDc screen(area.window,
                                           area.whole ? DcArea::WholeWindow : DcArea::Client);
    const platform::win32::UniqueDc memory(::CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const platform::win32::UniqueBitmap bitmap(
        ::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap) {
        return {};
    }
    const platform::win32::SelectedObject selected(memory.get(), bitmap.get());
    if (!selected.Selected() || !::BitBlt(memory.get(), 0, 0, width, height, screen.get(),
                                          area.rect.left, area.rect.top, SRCCOPY)) {
        return {};
    }
    ::GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(width) * height);
    for (std::uint32_t& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

std::size_t Difference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    if (a.size() != b.size()) {
        return std::max(a.size(), b.size());
    }
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        differing += a[i] != b[i] ? 1 : 0;
    }
    return differing;
}

std::optional<LONGLONG> SettledAt(const Area& area, std::chrono::milliseconds timeout) {
    constexpr std::size_t kSmallestPainting = 64;
    const LONGLONG quiet = TicksOf(300);
    const LONGLONG deadline = Now() + TicksOf(static_cast<double>(timeout.count()));
    std::vector<std::uint32_t> last;
    LONGLONG changed = 0;
    while (Now() < deadline) {
        const LONGLONG before = Now();
        std::vector<std::uint32_t> pixels = Grab(area);
        const LONGLONG at = before + (Now() - before) / 2;
        if (!::IsWindow(area.window)) {
            return std::nullopt;
        }
        if (changed == 0 || Difference(pixels, last) >= kSmallestPainting) {
            last = std::move(pixels);
            changed = at;
        } else if (at - changed >= quiet &&
                   std::any_of(last.begin(), last.end(),
                               [&](std::uint32_t pixel) { return pixel != last.front(); })) {
            return changed;
        }
        ::Sleep(1);
    }
    return std::nullopt;
}

}  // namespace ombrix::drive
