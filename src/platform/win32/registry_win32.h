// The registry through advapi32 (ANSI calls), loaded the first time a key is opened.
#pragma once

#include "platform/registry.h"

namespace ombrix::platform::win32 {

class Win32Registry final : public Registry {
  public:
    std::unique_ptr<RegistryKey> OpenKey(std::uint32_t root, const std::string& keyName,
                                         std::uint32_t access) override;
};

}  // namespace ombrix::platform::win32
