// The failure of the system call that just failed: its text and its kind.
#pragma once

#include <windows.h>

#include "platform/process_files.h"

namespace ombrix::platform::win32 {

inline base::Failure LastFailure() {
    return SystemFailure(::GetLastError());
}

}  // namespace ombrix::platform::win32
