// The program's own version, as the report file and the About box show it. The version
// resource and the project's VERSION in CMakeLists.txt carry the same release as 1.13.0.1128.
#pragma once

#include <string>

namespace ombrix::shared {

inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 13;
inline constexpr int kVersionRevision = 1128;

// "major.minor.revision" in plain decimal: "1.13.1128".
inline std::string VersionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionRevision);
}

}  // namespace ombrix::shared
