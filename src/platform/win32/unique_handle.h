// Move-only owner of a kernel handle.
#pragma once

#include <windows.h>

#include "platform/win32/unique_owner.h"

namespace ombrix::platform::win32 {

struct KernelHandleTraits {
    static void Close(HANDLE handle) { ::CloseHandle(handle); }
    // CreateFile says "no file" with INVALID_HANDLE_VALUE, most others with null.
    static HANDLE Adopt(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
};

using UniqueHandle = UniqueOwner<HANDLE, KernelHandleTraits>;

}  // namespace ombrix::platform::win32
