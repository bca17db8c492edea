// Decimal digits: the one reading of digits-only text that the program and the tool share.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ombrix::base {

// True when any character lies outside "0" to "9"; false for an empty text.
bool ContainsNonDigit(std::string_view text);

// The value of a text made of 1 to `maxDigits` decimal digits and nothing else (no sign, no
// blank); nothing otherwise. `maxDigits` is at most 18, so the value always fits.
std::optional<std::int64_t> ReadDigits(std::string_view text, std::size_t maxDigits);

}  // namespace ombrix::base
