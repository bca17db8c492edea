#include "shared/shared_routines.h"

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

}  // namespace ombrix::shared
