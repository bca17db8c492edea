// Move-only owner of a loaded library.
#pragma once

#include <windows.h>

#include "platform/win32/unique_owner.h"

namespace ombrix::platform::win32 {

struct ModuleTraits {
    static void Close(HMODULE module) { ::FreeLibrary(module); }
};

using UniqueModule = UniqueOwner<HMODULE, ModuleTraits>;

}  // namespace ombrix::platform::win32
