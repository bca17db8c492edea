// The modal About box.
#pragma once

#include <windows.h>

namespace ombrix::about::win32 {

// Loads a fresh About box, centres it over `mainWindow`, shows it modally and returns when it
// is closed.
void ShowAboutBox(HWND mainWindow);

}  // namespace ombrix::about::win32
