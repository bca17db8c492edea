// Runs a window modally over its owner: the owner takes no input until the window is gone.
#pragma once

#include <windows.h>

namespace ombrix::platform::win32 {

// Pumps messages until `window` no longer exists. A quit request ends the loop and is passed on.
void RunModal(HWND window, HWND owner);

}  // namespace ombrix::platform::win32
