#pragma once

#include <windows.h>

#include "platform/clipboard.h"

namespace ombrix::platform::win32 {

class Win32Clipboard final : public Clipboard {
  public:
    explicit Win32Clipboard(HWND owner) : owner_(owner) {}
    bool PutText(const std::string& text, std::string& reason) override;

  private:
    HWND owner_;
};

}  // namespace ombrix::platform::win32
