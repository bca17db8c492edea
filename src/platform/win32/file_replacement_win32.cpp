// Replacing a file's content on Win32: ReplaceFile with a new file beside it, or in place.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/process_files.h"
#include "platform/win32/last_failure.h"
#include "platform/win32/read_to_end_win32.h"
#include "platform/win32/unique_handle.h"

namespace ombrix::platform {
namespace {

using win32::UniqueFind;
using win32::UniqueHandle;

// A name beside `path` (so in the same folder and on the same volume) that nobody else picks:
// the process, a counter and the clock.
std::string SiblingTempName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return ReplacementPath(path, ::GetCurrentProcessId(), counter++, ::GetTickCount64());
}

// True unless the system says there is no process of that id. One that cannot be opened (another
// user's) runs; one that has ended but is still held open by somebody does not.
bool ProcessRuns(unsigned long processId) {
    const UniqueHandle process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        return ::GetLastError() != ERROR_INVALID_PARAMETER;
    }
    return ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// ERROR_SUCCESS when every byte went out, otherwise the error of the failure.
DWORD WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
            return ::GetLastError();
        }
        if (written == 0) {
            return ERROR_WRITE_FAULT;
        }
        bytes.remove_prefix(written);
    }
    return ERROR_SUCCESS;
}

bool MoveTo(HANDLE file, std::uint64_t offset) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != 0;
}

// The new file takes the old one's place. ReplaceFile carries the old file's attributes, ACL,
// creation time and streams over to the new one; a file that is not there yet is simply moved in.
DWORD SwapIn(const std::string& temp, const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return ::MoveFileExA(temp.c_str(), path.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? ERROR_SUCCESS
                   : ::GetLastError();
    }
    // Windows refuses to put a file in a folder's place; Wine's ReplaceFile would do it.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return ERROR_ACCESS_DENIED;
    }
    // ReplaceFile's own first step, taken alone: where it fails, Wine's ReplaceFile would leave
    // a file of its own behind ("rf*.tmp").
    if (!UniqueHandle(::CreateFileA(path.c_str(), GENERIC_READ | DELETE | SYNCHRONIZE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {
        return ::GetLastError();
    }
    // Wine's ReplaceFile carries no attributes over: the new file takes them first.
    constexpr DWORD kCarried = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                               FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    ::SetFileAttributesA(temp.c_str(), (attributes & kCarried) | FILE_ATTRIBUTE_NORMAL);
    if (::ReplaceFileA(path.c_str(), temp.c_str(), nullptr, 0, nullptr, nullptr)) {
        return ERROR_SUCCESS;
    }
    const DWORD error = ::GetLastError();
    // The old file is gone already and the new one still has its temporary name.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
        ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
        ::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
        return ERROR_SUCCESS;
    }
    return error;
}

// The path made whole against the current folder. Wine's ReplaceFile makes its own temporary file
// in the folder part of the name it is given, and a bare file name has none.
std::string FullPath(const std::string& path) {
    const DWORD size = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    std::string full(size, '\0');
    const DWORD length =
        size == 0 ? 0 : ::GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        return path;  // the calls below give the system's reason for such a path
    }
    full.resize(length);
    return full;
}

class Win32RewritableFile final : public RewritableFile {
  public:
    explicit Win32RewritableFile(UniqueHandle file) : file_(std::move(file)) {}

    base::Result<std::string> ReadAll() override { return win32::ReadToEnd(file_.get()); }

    // SetEndOfFile allocates the room of a longer file at once.
    base::Result<> Resize(std::uint64_t length) override {
        if (!MoveTo(file_.get(), length) || !::SetEndOfFile(file_.get())) {
            return win32::LastFailure();
        }
        return {};
    }

    base::Result<> WriteFromStart(std::string_view bytes) override {
        if (!MoveTo(file_.get(), 0)) {
            return win32::LastFailure();
        }
        const DWORD error = WriteAll(file_.get(), bytes);
        return error == ERROR_SUCCESS ? base::Result<>() : SystemFailure(error);
    }

    base::Result<> Flush() override {
        return ::FlushFileBuffers(file_.get()) ? base::Result<>() : win32::LastFailure();
    }

  private:
    UniqueHandle file_;
};

}  // namespace

void RemoveAbandonedReplacements(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = path.substr(folder.size());
    WIN32_FIND_DATAA found{};
    const UniqueFind search(::FindFirstFileA((path + ".~*.tmp").c_str(), &found));
    if (!search) {
        return;
    }
    do {
        const std::optional<unsigned long> owner = ReplacementOwner(name, found.cFileName);
        if (owner && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            !ProcessRuns(*owner)) {
            ::DeleteFileA((folder + found.cFileName).c_str());
        }
    } while (::FindNextFileA(search.get(), &found));
}

base::Result<> ReplaceThroughNewFile(const std::string& named, std::string_view bytes) {
    const std::string path = FullPath(named);
    constexpr int kAttempts = 100;
    std::string temp;
    UniqueHandle file;
    for (int attempt = 1; !file; ++attempt) {
        temp = SiblingTempName(path);
        file = UniqueHandle(::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = ::GetLastError();
        if (!file && (error != ERROR_FILE_EXISTS || attempt == kAttempts)) {
            return SystemFailure(error);
        }
    }
    DWORD error = WriteAll(file.get(), bytes);
    if (error == ERROR_SUCCESS && !::FlushFileBuffers(file.get())) {
        error = ::GetLastError();
    }
    file.reset();
    if (error == ERROR_SUCCESS) {
        error = SwapIn(temp, path);
    }
    if (error == ERROR_SUCCESS) {
        return {};
    }
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
        ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        // ReplaceFile removed the old file and could not rename the new one, nor could we: the
        // new file is all there is, so it stays.
        return base::Failure{SystemErrorText(error) + " The new content is in " + temp + "."};
    }
    ::DeleteFileA(temp.c_str());
    base::Failure failure = SystemFailure(error);
    // The old file may not be removed from its folder: a refusal like a denied new file.
    if (error == ERROR_UNABLE_TO_REMOVE_REPLACED) {
        failure.kind = base::FailureKind::AccessDenied;
    }
    return failure;
}

base::Result<std::unique_ptr<RewritableFile>> RewritableFile::Open(const std::string& path) {
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return win32::LastFailure();
    }
    return std::unique_ptr<RewritableFile>(std::make_unique<Win32RewritableFile>(std::move(file)));
}

}  // namespace ombrix::platform
