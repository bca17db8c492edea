#include "platform/win32/system_library.h"

#include "platform/process_files.h"

namespace ombrix::platform::win32 {

std::string SystemFolderPath(const std::string& file) {
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};  // no path, which loads nothing, rather than a search of other folders
    }
    return std::string(folder, length) + "\\" + file;
}

base::Result<FARPROC> SystemLibrary::Address(const char* name) {
    if (!module_) {
        const std::string path = SystemFolderPath(file_);
        UniqueModule module(path.empty() ? nullptr : ::LoadLibraryA(path.c_str()));
        if (!module) {
            const DWORD error = path.empty() ? ERROR_PATH_NOT_FOUND : ::GetLastError();
            return base::Failure{file_ + ": " + SystemErrorText(error)};
        }
        module_ = std::move(module);
    }
    const FARPROC found = ::GetProcAddress(module_.get(), name);
    if (found == nullptr) {
        return base::Failure{file_ + ", " + name + ": " + SystemErrorText(::GetLastError())};
    }
    return found;
}

}  // namespace ombrix::platform::win32
