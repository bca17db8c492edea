#include "platform/win32/help_win32.h"

#include "platform/process_files.h"

namespace ombrix::platform::win32 {
namespace {

constexpr UINT kHhCloseAll = 0x12;  // HH_CLOSE_ALL

// A bare file name is taken from the system folder only, never from the current folder or the
// program's, so that no other file of that name can stand in for the system's viewer.
std::string LibraryPath(const std::string& library) {
    if (library.find_first_of("\\/:") != std::string::npos) {
        return library;
    }
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return library;
    }
    return std::string(folder, length) + "\\" + library;
}

}  // namespace

Win32HelpViewer::~Win32HelpViewer() {
    if (shown_ && htmlHelp_ != nullptr) {
        htmlHelp_(nullptr, nullptr, kHhCloseAll, 0);
    }
}

base::Result<> Win32HelpViewer::Load() {
    if (htmlHelp_ != nullptr) {
        return {};
    }
    UniqueModule module(::LoadLibraryA(LibraryPath(library_).c_str()));
    if (!module) {
        return base::Failure{library_ + ": " + SystemErrorText(::GetLastError())};
    }
    const FARPROC found = ::GetProcAddress(module.get(), "HtmlHelpA");
    if (found == nullptr) {
        return base::Failure{library_ + ": HtmlHelpA: " + SystemErrorText(::GetLastError())};
    }
    // Through the generic function type, which converts to any other without a warning.
    htmlHelp_ = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void (*)()>(found));
    module_ = std::move(module);
    return {};
}

base::Result<std::uintptr_t> Win32HelpViewer::Show(std::uintptr_t owner, const std::string& path,
                                                   HelpCommand command, std::uintptr_t data) {
    if (const base::Result<> loaded = Load(); !loaded) {
        return base::Failure{loaded.Reason()};
    }
    shown_ = true;
    return reinterpret_cast<std::uintptr_t>(
        htmlHelp_(reinterpret_cast<HWND>(owner), path.c_str(), static_cast<UINT>(command), data));
}

}  // namespace ombrix::platform::win32

namespace ombrix::platform {

HelpViewer& SystemHelpViewer() {
    static win32::Win32HelpViewer viewer;
    return viewer;
}

}  // namespace ombrix::platform
