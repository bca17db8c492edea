// A read-only text box for reports of any size, on TextViewModel: this part paints the rows in
// sight and forwards input. It answers WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH, EM_SETSEL,
// EM_GETSEL and WM_COPY as an edit control does, serves screen readers from WM_GETOBJECT, and
// leaves WM_CONTEXTMENU (right button, Shift+F10, the menu key) to its parent.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/dialogs.h"
#include "results/text_view_model.h"

namespace ombrix::platform::win32 {
class ComApartment;
}  // namespace ombrix::platform::win32

namespace ombrix::results::win32 {

inline constexpr const char* kTextViewClass = "OmbrixTextView";

class TextAccessible;

class TextView {
  public:
    // A failed Ctrl+C is told through `messages`.
    explicit TextView(platform::MessageBoxes& messages);
    ~TextView();
    TextView(const TextView&) = delete;
    TextView& operator=(const TextView&) = delete;

    // Makes the box, a tab stop, as the child `id` of `parent`; false when the system refused.
    bool Create(HWND parent, int id, RECT bounds);
    HWND Window() const { return window_; }
    const TextViewModel& Model() const { return model_; }
    // Shows `text` from its start, as WM_SETTEXT does, taking it over without a copy.
    void SetText(std::string text);

    // Used by the window procedure.
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    // After the model changed: the scroll bar, what to paint again, the caret, and the events
    // screen readers follow.
    void Show(TextViewModel::Change change);

    void SetFont(HFONT font, bool redraw);
    void Paint();
    void UpdateScrollBar();
    void PlaceCaret() const;
    void MakeCaret();
    bool OnKey(WPARAM key);
    void OnScroll(WORD action);
    void Copy();
    void OpenPopUp();
    LRESULT ServeAccessible(WPARAM wParam, LPARAM lParam);
    void CutClientsOff();

    platform::MessageBoxes& messages_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;  // the parent's
    TextViewModel model_;
    // Made at the first screen reader's question; the apartment outlives the object's use.
    std::unique_ptr<platform::win32::ComApartment> apartment_;
    std::shared_ptr<TextAccessible> accessible_;
};

}  // namespace ombrix::results::win32
