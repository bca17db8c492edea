#pragma once

#include <windows.h>

#include "platform/clipboard.h"

namespace ombrix::platform::win32 {

class Win32Clipboard final : public Clipboard {
  public:
    explicit Win32Clipboard(HWND owner) : owner_(owner) {}
    base::Result<> PutText(const std::string& text) override;

  private:
    HWND owner_;
};

}  // namespace ombrix::platform::win32
