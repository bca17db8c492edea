// The identifiers of the main window's controls and menu items, as WM_COMMAND carries them.
#pragma once

#include <windows.h>

#include "options/option_view.h"

namespace ombrix::main::win32 {

inline constexpr const char* kMainWindowClass = "OmbrixMain";

// Above the dialog manager's IDOK and IDCANCEL, which the main window ignores, so Enter and Esc
// press nothing there.
inline constexpr UINT kFirstControlId = 100;
inline constexpr UINT ControlId(options::Control control) {
    return kFirstControlId + static_cast<UINT>(control);
}

enum MenuId : UINT {
    kMenuProgramLocation = 200,
    kMenuShowCommandLine,
    kMenuExit,
    kMenuHelpIndex,
    kMenuAbout,
};

}  // namespace ombrix::main::win32
