// UTF-8, the tool's one text encoding inside: what a code point becomes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace uptime {

// Appends the UTF-8 of a Unicode code point.
void AppendUtf8(std::string& out, std::uint32_t code);

// The text as valid UTF-8 without NUL: each byte that is not part of a well-formed sequence
// (overlong forms, surrogates, past U+10FFFF, cut short), and NUL, becomes U+FFFD.
std::string WellFormedUtf8(std::string_view text);

}  // namespace uptime
