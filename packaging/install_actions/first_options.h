// The options file the installer lays down beside Ombrix, so that Launch Uptime works at once.
#pragma once

#include <string>

namespace ombrix::packaging {

// The file's bytes: the start-up values, the tool at `folder`\uptime.exe, and no date kept, so
// that the first start shows the start-up date. `folder` ends in a backslash, as Windows
// Installer gives a folder.
std::string FirstOptionsFile(const std::string& folder);

}  // namespace ombrix::packaging
