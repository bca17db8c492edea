// UTF-8, the tool's one text encoding inside: what a code point becomes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace uptime {

// Appends the UTF-8 of a Unicode code point.
void AppendUtf8(std::string& out, std::uint32_t code);

// The length of the well-formed UTF-8 sequence at `at` (no overlong forms, no surrogates, none
// past U+10FFFF), with its code point in `code`; 0 when the byte there begins none.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t at, std::uint32_t& code);

// The text as valid UTF-8 without NUL: each byte that is not part of a well-formed sequence
// (overlong forms, surrogates, past U+10FFFF, cut short), and NUL, becomes U+FFFD.
std::string WellFormedUtf8(std::string_view text);

}  // namespace uptime
