// Reading an open file whole, for the report reader and the in-place rewrite alike.
#pragma once

#include <windows.h>

#include <string>

#include "base/result.h"

namespace ombrix::platform::win32 {

// The bytes of `file` from its start to its end; a file larger than memory fails with the kind
// OutOfMemory, any other failure with the system's reason.
base::Result<std::string> ReadToEnd(HANDLE file);

}  // namespace ombrix::platform::win32
