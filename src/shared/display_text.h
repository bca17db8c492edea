// The tool's output as a text box or a message box can show it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ombrix::shared {

// The output with every line end made CR LF (lone CR and LF included) and every NUL byte, which
// would end the text there, made a blank. Nothing else changes.
std::string DisplayText(std::string_view output);

// The same, made in `output`'s own storage unless a lone line end needs a byte added: a large
// report is not copied.
std::string ToDisplayText(std::string output);

// The offset of the first byte at or after `from` below 0x0E (NUL, tab, CR, LF and the other
// control characters), or the text's size: where a scan of report text has to look closer.
// Reports are mostly printable, so this goes eight bytes at a time.
std::size_t FindControlByte(std::string_view text, std::size_t from);

}  // namespace ombrix::shared
