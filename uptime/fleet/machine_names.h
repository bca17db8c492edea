// How machine names compare: Windows takes a computer name in any letter case.
#pragma once

#include <string>
#include <string_view>

namespace uptime {

// The name in one letter case, for comparing and look-ups: ASCII and the Latin, Greek and
// Cyrillic letters that have a second case. Bytes that are no UTF-8 stay as they are.
std::string NameKey(std::string_view name);

// Whether the bytes are well-formed UTF-8.
bool IsUtf8(std::string_view text);

// The host part of a DNS name ("srv01" of "SRV01.corp.example"), for names the system logs
// without their domain; an address is taken whole.
std::string_view HostPart(std::string_view name);

// Whether two names are one machine's: equal in any case, or one is the other's host part.
bool SameMachineName(std::string_view a, std::string_view b);

}  // namespace uptime
