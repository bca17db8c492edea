// Message boxes over a window of ours.
#pragma once

#include <windows.h>

#include "platform/dialogs.h"

namespace ombrix::platform::win32 {

class Win32MessageBoxes final : public MessageBoxes {
  public:
    explicit Win32MessageBoxes(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }
    void Show(const std::string& text, MessageStyle style) override {
        ::MessageBoxA(owner_, text.c_str(), kApplicationTitle, static_cast<UINT>(style));
    }

  private:
    HWND owner_;
};

class Win32FileDialogs final : public FileDialogs {
  public:
    explicit Win32FileDialogs(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }
    std::optional<std::string> ShowOpen(const FileDialogSettings& settings) override;
    std::optional<std::string> ShowSave(const FileDialogSettings& settings) override;

  private:
    HWND owner_;
};

}  // namespace ombrix::platform::win32
