// The controls of one window, made from its design table and placed at a layout scale.
#pragma once

#include <windows.h>

#include <vector>

#include "base/control_design.h"

namespace ombrix::platform::win32 {

class Controls {
  public:
    explicit Controls(base::DesignTable design) : design_(design) {}

    // Makes every control but the custom ones as children of `parent`, in table order, which is
    // the tab order; frames go under what they hold. False when one could not be made, with the
    // system's reason in GetLastError.
    bool Create(HWND parent);
    // A custom control, made by the window itself.
    void Adopt(int id, HWND control);
    // Forgets the controls (they die with their window).
    void Clear() { handles_.clear(); }

    // The control `id`; null when there is none (yet).
    HWND operator[](int id) const;
    base::DesignTable Design() const { return design_; }
    // The control's box in the client area, in pixels.
    RECT PixelRect(int id, const base::LayoutScale& scale,
                   const base::TopShifts& shifts = {}) const;

    // Moves every control to its place at `scale`.
    void Place(const base::LayoutScale& scale, const base::TopShifts& shifts = {}) const;
    // Gives every control `font`, but the custom ones.
    void SetFont(HFONT font) const;

  private:
    base::DesignTable design_;
    std::vector<HWND> handles_;  // in table order
};

}  // namespace ombrix::platform::win32
