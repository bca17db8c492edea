// The identifiers of the main window's controls and menu items, as WM_COMMAND carries them.
#pragma once

#include <windows.h>

#include "main/main_layout.h"
#include "options/option_view.h"

namespace ombrix::main::win32 {

inline constexpr const char* kMainWindowClass = "OmbrixMain";

inline constexpr UINT kFirstControlId = main::kFirstControlId;
inline constexpr UINT ControlId(options::Control control) {
    return static_cast<UINT>(IdOf(control));
}

enum MenuId : UINT {
    kMenuProgramLocation = 200,
    kMenuShowCommandLine,
    kMenuExit,
    kMenuHelpIndex,
    kMenuAbout,
};

}  // namespace ombrix::main::win32
