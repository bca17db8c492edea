// Registry: the read-only look-ups the program makes, as plain calls so that the rules over them
// run without the system (a fake registry in the tests, advapi32 on Windows).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace ombrix::platform {

// Root keys and value types as the system numbers them.
inline constexpr std::uint32_t kLocalMachine = 0x80000002;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

// An open key; closed when the object goes.
class RegistryKey {
  public:
    virtual ~RegistryKey() = default;
    // Reads the value into `buffer`. On entry `size` is the buffer's size in bytes; on success it
    // holds the number of bytes written (text: its terminating NUL included). False when the
    // value is missing or does not fit.
    virtual bool QueryValue(const std::string& valueName, std::uint32_t& type,
                            std::span<char> buffer, std::uint32_t& size) = 0;
};

class Registry {
  public:
    virtual ~Registry() = default;
    // The key under `root` opened with the access mask, or null when the system refuses it.
    virtual std::unique_ptr<RegistryKey> OpenKey(std::uint32_t root, const std::string& keyName,
                                                 std::uint32_t access) = 0;
};

}  // namespace ombrix::platform
