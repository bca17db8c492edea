// The results window as designed: its frame, its client area and controls in twips, and the
// size of the report's text. The benchmark's launch floor shows a window of this design too.
#pragma once

#include <windows.h>

#include "base/twips.h"

namespace ombrix::results::win32 {

inline constexpr DWORD kResultsWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
inline constexpr int kResultsClientWidth = 10845;  // twips
inline constexpr int kResultsClientHeight = 6075;
inline constexpr base::Box kReportViewBox{240, 360, 10575, 4815};
inline constexpr base::Box kExitButtonBox{4800, 5400, 1095, 375};
inline constexpr int kReportTextPoints = 975;  // hundredths of a point

}  // namespace ombrix::results::win32
