// Move-only owners of a kernel handle and of a directory search.
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

// A directory search of FindFirstFile, ended with FindClose.
struct FindTraits {
    static void Close(HANDLE search) { ::FindClose(search); }
    static HANDLE Adopt(HANDLE search) { return search == INVALID_HANDLE_VALUE ? nullptr : search; }
};
using UniqueFind = UniqueOwner<HANDLE, FindTraits>;

}  // namespace ombrix::platform::win32
