// Small routines several windows use.
#pragma once

#include <string>
#include <string_view>

namespace ombrix::shared {

// True when a directory search with normal attributes finds the path: hidden and system files
// and folders count as absent, and a wildcard matches any file that fits it.
bool FileExists(const std::string& path);

// The system temporary directory with its trailing separator.
std::string GetTempDirectory();

// Directory and file name joined by the platform's separator. On Windows the temporary
// directory already ends in "\", so the result holds two in a row, which Windows accepts.
std::string JoinPath(const std::string& directory, const std::string& name);

}  // namespace ombrix::shared
