// Owners of the window system's handles: top-level windows, GDI objects, menus and the device
// contexts a program makes (move-only), and the device contexts and selected objects of one
// drawing (held for a scope).
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
// A device context the program made (CreateDC, CreateCompatibleDC), not one a window lends.
struct DcTraits {
    static void Close(HDC dc) { ::DeleteDC(dc); }
};

// Only top-level windows are owned; controls die with their parent.
using UniqueWindow = UniqueOwner<HWND, WindowTraits>;
using UniqueFont = UniqueOwner<HFONT, GdiTraits>;
using UniqueMenu = UniqueOwner<HMENU, MenuTraits>;
using UniqueBitmap = UniqueOwner<HBITMAP, GdiTraits>;
using UniqueDc = UniqueOwner<HDC, DcTraits>;

// BeginPaint to EndPaint: WM_PAINT's device context and the area to paint.
class PaintDc {
  public:
    explicit PaintDc(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    ~PaintDc() {
        if (dc_ != nullptr) {
            ::EndPaint(window_, &paint_);
        }
    }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC get() const { return dc_; }
    const RECT& Area() const { return paint_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// GetDC (or GetWindowDC, frame and menu bar included) to ReleaseDC: a window's device context
// (the screen's for a null window).
enum class DcArea { Client, WholeWindow };
class WindowDc {
  public:
    explicit WindowDc(HWND window, DcArea area = DcArea::Client)
        : window_(window),
          dc_(area == DcArea::WholeWindow ? ::GetWindowDC(window) : ::GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A GDI object selected into a device context; the one it replaced goes back when this ends, so
// that the object can then be deleted.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc != nullptr ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (Selected()) {
            ::SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    bool Selected() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace ombrix::platform::win32
