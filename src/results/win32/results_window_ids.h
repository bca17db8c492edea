// The identifiers of the results window's controls and pop-up menu items.
#pragma once

#include <windows.h>

namespace ombrix::results::win32 {

inline constexpr const char* kResultsWindowClass = "OmbrixResults";

enum ResultsId : UINT_PTR {
    kReportView = 100,
    kExitButton = 101,
    kCopyCommand = 200,
    kSaveReportCommand = 201,
    kPrintCommand = 202,
};

}  // namespace ombrix::results::win32
