// Bytes written as text, as event records carry them in their Binary element.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace uptime {

// The bytes of a Binary element: hex digits as Windows writes them, else base64 as some
// converters do; empty when the text is neither. Blanks may stand between the digits.
std::vector<std::uint8_t> DecodeBinary(std::string_view text);

}  // namespace uptime
