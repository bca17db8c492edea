// The default printer, through the printing calls of GDI.
#pragma once

#include "platform/clipboard.h"

namespace ombrix::platform::win32 {

class Win32Printer final : public Printer {
  public:
    bool Print(const std::string& documentName,
               const std::function<std::vector<PrintedPage>(PageGrid)>& layOut,
               std::string& reason) override;
};

}  // namespace ombrix::platform::win32
