// Pattern matching by fnmatch over the folder's entries.
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/file_listing.h"
#include "platform/process_files.h"

namespace ombrix::platform {
namespace {

struct FolderCloser {
    void operator()(DIR* folder) const { ::closedir(folder); }
};

std::size_t LastPartStart(std::string_view path) {
    const auto separator = path.find_last_of('/');
    return separator == std::string_view::npos ? 0 : separator + 1;
}

}  // namespace

bool HasWildcards(std::string_view path) {
    return path.find_first_of("*?", LastPartStart(path)) != std::string_view::npos;
}

base::Result<std::vector<std::string>> MatchingFiles(const std::string& pattern) {
    const std::size_t nameStart = LastPartStart(pattern);
    const std::string folder = pattern.substr(0, nameStart);
    const std::string namePattern = pattern.substr(nameStart);
    const std::unique_ptr<DIR, FolderCloser> listing(
        ::opendir(folder.empty() ? "." : folder.c_str()));
    if (!listing) {
        return SystemFailure(static_cast<unsigned long>(errno));
    }
    std::vector<std::string> files;
    errno = 0;
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string name = entry->d_name;
        // As on Windows, "*" matches names that begin with a dot too.
        if (name == "." || name == ".." || ::fnmatch(namePattern.c_str(), name.c_str(), 0) != 0) {
            continue;
        }
        struct stat status {};
        const std::string path = folder + name;
        if (::stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode)) {
            files.push_back(path);
        }
    }
    if (errno != 0) {
        return SystemFailure(static_cast<unsigned long>(errno));
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace ombrix::platform
