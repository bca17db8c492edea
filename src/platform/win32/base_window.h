// What every top-level window of ours shares: the object behind the window's messages, the
// window owned until the system destroys it, Close, DPI changes laid out again, and the keyboard
// focus kept across deactivation.
#pragma once

#include <windows.h>

#include "base/layout_scale.h"
#include "platform/win32/focus_memory.h"
#include "platform/win32/window_handles.h"

namespace ombrix::platform::win32 {

// A window placed centred over its owner, its client area given in twips.
struct CentredWindow {
    DWORD exStyle = 0;
    const char* className = nullptr;
    const char* caption = "";
    DWORD style = 0;
    int clientWidthTwips = 0;
    int clientHeightTwips = 0;
};

class BaseWindow {
  public:
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    HWND Window() const { return window_.get(); }

    // Called by the one window procedure, and by the one for watched controls.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProcedure(HWND control, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR subclass,
                                             DWORD_PTR self) noexcept;

  protected:
    BaseWindow() = default;
    // A window whose handlers use its members destroys itself in its own destructor (Destroy);
    // here its messages no longer reach the object.
    virtual ~BaseWindow();

    // Registers the window class once per process, with the program's icon and the one window
    // procedure.
    static void Register(const char* className, UINT style = 0, const char* cursor = IDC_ARROW);
    // Creates the window with this object behind it. False when it fails (GetLastError says why).
    bool Create(DWORD exStyle, const char* className, const char* caption, DWORD style, int left,
                int top, int width, int height, HWND owner);
    // Creates it centred over `owner` at the owner's DPI and in the message font of that DPI, not
    // clamped to the screen.
    bool CreateCentred(const CentredWindow& design, HWND owner);
    void Destroy() { window_.reset(); }
    // Sizes the window, where it stands, for a client area designed in twips, at `scale`.
    void SizeClient(const base::LayoutScale& scale, int widthTwips, int heightTwips);
    int Dpi() const { return dpi_; }
    // Passes the control's messages to OnControlMessage before the control sees them.
    void WatchControl(HWND control);

    // Fonts and places of the controls for `dpi`; also called after each DPI change.
    virtual void Layout(int dpi) = 0;
    // Every message the base does not take: DefWindowProc unless overridden.
    virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The close box, Alt+F4 or the system menu's Close. Destroys the window.
    virtual void OnClose() { Destroy(); }
    virtual void OnControlMessage(HWND /*control*/, UINT /*message*/, WPARAM /*wParam*/,
                                  LPARAM /*lParam*/) {}

  private:
    UniqueWindow window_;
    int dpi_ = 96;
    FocusMemory focus_;
};

}  // namespace ombrix::platform::win32
