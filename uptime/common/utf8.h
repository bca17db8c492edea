// UTF-8, the tool's one text encoding inside: what a code point becomes.
#pragma once

#include <cstdint>
#include <string>

namespace uptime {

// Appends the UTF-8 of a Unicode code point.
void AppendUtf8(std::string& out, std::uint32_t code);

}  // namespace uptime
