// Digits: the one reading of digits-only text that the program and the tool share, and the
// value of a single decimal or hex digit.
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

// The value of `c` as a digit of base 10 or 16 ("a" to "f" in either case); -1 when it is none.
int DigitValue(char c, int radix);

}  // namespace ombrix::base
