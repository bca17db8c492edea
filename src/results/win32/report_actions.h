// Save Report and Print for the results window's pop-up menu, on the real dialogs and printer.
#pragma once

#include <windows.h>

#include <string>

#include "platform/dialogs.h"
#include "results/win32/results_window.h"

namespace ombrix::results::win32 {

// The Save dialog over `owner`, then the report file; a failure is told through `messages`.
void SaveReportFromWindow(const std::string& text, HWND owner, platform::MessageBoxes& messages);

// The report on the default printer; a failure is told through `messages`.
void PrintReportFromWindow(const std::string& text, platform::MessageBoxes& messages);

// Both, with their message boxes over the results window that runs them.
ReportActions StandardReportActions();

}  // namespace ombrix::results::win32
