// The default printer, through the printing calls of GDI.
#pragma once

#include "platform/clipboard.h"

namespace ombrix::platform::win32 {

class Win32Printer final : public Printer {
  public:
    base::Result<> Print(const std::string& documentName,
                         const std::function<std::vector<PrintedPage>(PageGrid)>& layOut) override;
};

}  // namespace ombrix::platform::win32
