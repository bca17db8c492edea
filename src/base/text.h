// Small text rules in the ASCII range, where file formats and switches live: letter case and
// the blanks around a value.
#pragma once

#include <string>
#include <string_view>

namespace ombrix::base {

// The text with "A" to "Z" made small; every other byte stays as it is.
std::string ToLowerAscii(std::string_view text);

// True when the texts differ at most in the letter case of "A" to "Z".
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// A blank, a tab, CR or LF: the white space of file formats, XML included.
constexpr bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The text without the blanks, tabs, CR and LF at its ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace ombrix::base
