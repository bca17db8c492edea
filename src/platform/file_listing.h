// Files named by a pattern: "*" and "?" in the last part of a path, as the command line takes
// them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace ombrix::platform {

// True when the last part of the path holds "*" or "?".
bool HasWildcards(std::string_view path);

// The files (not folders) in the pattern's folder whose names match its last part, as paths
// that keep the pattern's folder as written, sorted by name. Empty when none matches; a failure,
// with the system's reason, when the folder cannot be listed. Names compare as the system does:
// without regard to case on Windows.
base::Result<std::vector<std::string>> MatchingFiles(const std::string& pattern);

}  // namespace ombrix::platform
