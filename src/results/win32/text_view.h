// A read-only text box for reports of any size: fixed-pitch text, wrapped at the box's width,
// selectable with the mouse and keys, scrollable, copied with Ctrl+C. It draws only the rows in
// sight, so a text of many megabytes shows at once, where the system's edit control measures
// every line first. It answers WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH, EM_SETSEL, EM_GETSEL
// and WM_COPY as an edit control does, and leaves WM_CONTEXTMENU to its parent.
#pragma once

#include <windows.h>

namespace ombrix::results::win32 {

inline constexpr const char* kTextViewClass = "OmbrixTextView";

// Registers the window class once; create the box with CreateWindowEx and that class.
void RegisterTextViewClass();

}  // namespace ombrix::results::win32
