// Random names for temporary files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ombrix::runner {

// Eight random capital letters and an extension: ".TMP" without an argument, "." and three
// random capital letters for "*", otherwise "." and the text as given. Whether a file of that
// name exists is the caller's business.
std::string MakeTempFileName(std::optional<std::string_view> extension = std::nullopt);

}  // namespace ombrix::runner
