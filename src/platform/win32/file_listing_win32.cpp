// Pattern matching by the system's own directory search, in wide characters: paths come and go
// in UTF-8.
#include <windows.h>

#include <algorithm>

#include "platform/file_listing.h"
#include "platform/win32/last_failure.h"
#include "platform/win32/unique_handle.h"

namespace ombrix::platform {
namespace {

std::size_t LastPartStart(std::string_view path) {
    const auto separator = path.find_last_of("\\/:");
    return separator == std::string_view::npos ? 0 : separator + 1;
}

std::wstring Widen(const std::string& text) {
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                          length, nullptr, nullptr);
    return narrow;
}

}  // namespace

bool HasWildcards(std::string_view path) {
    return path.find_first_of("*?", LastPartStart(path)) != std::string_view::npos;
}

base::Result<std::vector<std::string>> MatchingFiles(const std::string& pattern) {
    const std::string folder = pattern.substr(0, LastPartStart(pattern));
    WIN32_FIND_DATAW found{};
    const win32::UniqueFind search(::FindFirstFileExW(Widen(pattern).c_str(), FindExInfoBasic,
                                                      &found, FindExSearchNameMatch, nullptr,
                                                      FIND_FIRST_EX_LARGE_FETCH));
    if (!search) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) {
            return std::vector<std::string>{};  // the folder is there, nothing matches
        }
        return SystemFailure(error);
    }
    std::vector<std::wstring> names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.emplace_back(found.cFileName);
        }
    } while (::FindNextFileW(search.get(), &found));
    if (const DWORD error = ::GetLastError(); error != ERROR_NO_MORE_FILES) {
        return SystemFailure(error);
    }
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                      static_cast<int>(b.size()), TRUE) == CSTR_LESS_THAN;
    });
    std::vector<std::string> files;
    files.reserve(names.size());
    for (const std::wstring& name : names) {
        files.push_back(folder + Narrow(name));
    }
    return files;
}

}  // namespace ombrix::platform
