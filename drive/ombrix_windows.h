// Ombrix's own windows as a user reaches them, by the class names and ids the program declares.
#pragma once

#include <windows.h>

#include <chrono>

namespace ombrix::drive {

// Clicks Launch Uptime in the main window.
void PressLaunchUptime(HWND main);
// The results window's text view; null when it has none.
HWND ReportView(HWND results);
// Clicks the results window's O.K and waits for the window to go; false when it stays.
bool CloseResults(HWND results, std::chrono::milliseconds timeout);

}  // namespace ombrix::drive
