// The numeric reading of a text: the number it starts with, blanks ignored, 0 when none.
#pragma once

#include <string_view>

namespace ombrix::base {

// True when the reading of `text` is exactly 0: no number at its start (empty text, letters,
// a lone sign or point) or a number whose digits are all zero. Blanks and tabs anywhere are
// passed over, as the classic numeric reading of a text box does ("0 0" reads 0, " 7" reads 7).
bool ReadsAsZero(std::string_view text);

}  // namespace ombrix::base
