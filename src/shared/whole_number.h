// Whole numbers written in decimal, as the options file's number and Boolean lines hold them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ombrix::shared {

// True when `text` is a decimal whole number: any number of digits, one "+" or "-" right before
// them, blanks around them. Anything else is no number at all: an empty text, a lone sign, a
// point, an exponent, "0x10", a blank between the digits.
bool IsWholeNumber(std::string_view text);

// The value of such a text when it lies between `least` and `most`; nothing otherwise.
std::optional<std::int64_t> ReadWholeNumber(std::string_view text, std::int64_t least,
                                            std::int64_t most);

}  // namespace ombrix::shared
