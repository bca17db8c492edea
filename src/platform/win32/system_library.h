// A library of the system folder loaded at its first use instead of at start-up, and the
// functions it exports, each found by name with the type of its declaration.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "base/result.h"
#include "platform/win32/unique_module.h"

namespace ombrix::platform::win32 {

// The path of `file` in the system folder: libraries are loaded from there only, never from
// the current folder or the program's, where another file of the same name could stand in.
std::string SystemFolderPath(const std::string& file);

class SystemLibrary {
  public:
    // `file`: the library's file name in the system folder ("comdlg32.dll").
    explicit SystemLibrary(std::string file) : file_(std::move(file)) {}
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    // The function `name` as its declaration types it: Find<decltype(::ShellExecuteA)>(...).
    // Loads the library the first time. A failure names the library and the function and
    // gives the system's reason.
    template <typename Function>
    base::Result<Function*> Find(const char* name) {
        const base::Result<FARPROC> found = Address(name);
        if (!found) {
            return base::Failure{found.Reason()};
        }
        // Through the generic function type, which converts to any other without a warning.
        return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(*found));
    }

  private:
    base::Result<FARPROC> Address(const char* name);

    std::string file_;
    UniqueModule module_;  // freed when the library's owner goes
};

}  // namespace ombrix::platform::win32
