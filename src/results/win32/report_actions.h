// Save Report and Print for the results window's pop-up menu, on the real dialogs and printer.
#pragma once

#include "results/win32/results_window.h"

namespace ombrix::results::win32 {

// Save Report (the Save dialog, then the report file) and Print (the default printer), each with
// its message boxes over the results window that runs it.
ReportActions StandardReportActions();

}  // namespace ombrix::results::win32
