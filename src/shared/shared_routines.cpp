#include "shared/shared_routines.h"

#include <algorithm>

#include "platform/process_files.h"

namespace ombrix::shared {

bool FileExists(const std::string& path) {
    return !path.empty() && platform::NormalFileMatches(path);
}

std::string GetTempDirectory() {
    return platform::TempDirectory();
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    return directory + platform::kPathSeparator + name;
}

bool ContainsNonDigit(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c < '0' || c > '9'; });
}

}  // namespace ombrix::shared
