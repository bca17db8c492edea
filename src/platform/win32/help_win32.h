// The HTML Help viewer on Win32: HtmlHelpA, reached through hhctrl.ocx loaded at run time, so
// that the program needs no import library for it.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "platform/help.h"
#include "platform/win32/unique_module.h"

namespace ombrix::platform::win32 {

inline constexpr const char* kHtmlHelpLibrary = "hhctrl.ocx";

class Win32HelpViewer final : public HelpViewer {
  public:
    // `library`: a file name, looked for in the system folder, or a full path.
    explicit Win32HelpViewer(std::string library = kHtmlHelpLibrary)
        : library_(std::move(library)) {}
    // Closes the viewer's windows before the library goes.
    ~Win32HelpViewer() override;
    Win32HelpViewer(const Win32HelpViewer&) = delete;
    Win32HelpViewer& operator=(const Win32HelpViewer&) = delete;

    base::Result<std::uintptr_t> Show(std::uintptr_t owner, const std::string& path,
                                      HelpCommand command, std::uintptr_t data) override;

  private:
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

    // Loads the library and finds HtmlHelpA once.
    base::Result<> Load();

    std::string library_;
    UniqueModule module_;
    HtmlHelpFunction htmlHelp_ = nullptr;
    bool shown_ = false;
};

}  // namespace ombrix::platform::win32
