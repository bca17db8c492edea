// The tool's output as a text box or a message box can show it.
#pragma once

#include <string>
#include <string_view>

namespace ombrix::shared {

// The output with every line end made CR LF (lone CR and LF included) and every NUL byte, which
// would end the text there, made a blank. Nothing else changes.
std::string DisplayText(std::string_view output);

}  // namespace ombrix::shared
