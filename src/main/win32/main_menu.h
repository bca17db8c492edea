// The main window's menu bar, as the program and its start-up floor show it.
#pragma once

#include <windows.h>

namespace ombrix::main::win32 {

// Ombrix (Program Location, Show Command Line checked, Exit) and Help (Index, About Ombrix).
// The caller hands it to a window, which destroys it.
HMENU CreateMainMenu();

}  // namespace ombrix::main::win32
