// Processes and files on Win32, with the calls and arguments the runner is specified with.
#include <windows.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/process_files.h"
#include "platform/win32/last_failure.h"
#include "platform/win32/read_to_end_win32.h"
#include "platform/win32/unique_handle.h"

namespace ombrix::platform {
namespace {

using win32::UniqueFind;
using win32::UniqueHandle;

// Wine's hidden console host can hold the child's inherited output handle (shared with nobody)
// for a moment after the child has ended. Nothing more is written through it, but until it is
// closed nobody can open the file, so wait for that before handing the file on.
void WaitUntilReadable(const std::string& path) {
    constexpr DWORD kMaxWaitMs = 10'000;
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        UniqueHandle probe(::CreateFileA(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (probe || ::GetLastError() != ERROR_SHARING_VIOLATION ||
            ::GetTickCount64() - start > kMaxWaitMs) {
            return;
        }
        ::Sleep(2);
    }
}

class Win32OutputFile final : public OutputFile {
  public:
    Win32OutputFile(std::string path, UniqueHandle handle)
        : path_(std::move(path)), handle_(std::move(handle)) {}
    const std::string& Path() const { return path_; }
    HANDLE Handle() const { return handle_.get(); }
    UniqueHandle TakeHandle() { return std::move(handle_); }

  private:
    std::string path_;
    UniqueHandle handle_;
};

class Win32CapturedProcess final : public CapturedProcess {
  public:
    Win32CapturedProcess(std::string outputPath, UniqueHandle output, UniqueHandle process,
                         UniqueHandle thread)
        : outputPath_(std::move(outputPath)),
          output_(std::move(output)),
          process_(std::move(process)),
          thread_(std::move(thread)) {}
    ~Win32CapturedProcess() override {
        // Let go unfinished (by an exception, say): the child would keep the output file open.
        if (process_) {
            Terminate();
            static_cast<void>(Finish());
        }
    }
    Win32CapturedProcess(const Win32CapturedProcess&) = delete;
    Win32CapturedProcess& operator=(const Win32CapturedProcess&) = delete;

    bool WaitForExit(std::chrono::milliseconds timeout) override {
        const auto ms =
            timeout.count() >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(timeout.count());
        return ::WaitForSingleObject(process_.get(), ms) == WAIT_OBJECT_0;
    }

    std::uintptr_t EndSignal() const override {
        return reinterpret_cast<std::uintptr_t>(process_.get());
    }

    void Terminate() override { ::TerminateProcess(process_.get(), ERROR_CANCELLED); }

    std::int32_t Finish() override {
        ::WaitForSingleObject(process_.get(), INFINITE);
        DWORD exitCode = 0;
        ::GetExitCodeProcess(process_.get(), &exitCode);
        // The order matters: thread, process, then the output file.
        thread_.reset();
        process_.reset();
        output_.reset();
        WaitUntilReadable(outputPath_);
        return static_cast<std::int32_t>(exitCode);
    }

  private:
    std::string outputPath_;
    UniqueHandle output_;
    UniqueHandle process_;
    UniqueHandle thread_;
};

}  // namespace

std::string TempDirectory() {
    std::vector<char> buffer(256, '\0');
    DWORD length = ::GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) {
        // A longer path would come back empty from a 256-character buffer: ask again with room.
        buffer.assign(length + 1, '\0');
        length = ::GetTempPathA(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    return std::string(buffer.data());
}

bool NormalFileMatches(const std::string& path) {
    WIN32_FIND_DATAA found{};
    const UniqueFind search(::FindFirstFileA(path.c_str(), &found));
    if (!search) {
        return false;
    }
    constexpr DWORD kNotNormal =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    bool matched = false;
    do {
        matched = (found.dwFileAttributes & kNotNormal) == 0;
    } while (!matched && ::FindNextFileA(search.get(), &found));
    return matched;
}

base::Result<> RemoveFile(const std::string& path) {
    if (::DeleteFileA(path.c_str())) {
        return {};
    }
    return win32::LastFailure();
}

bool IsReadOnlyFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

base::Result<std::string> ReadWholeFile(const std::string& path) {
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return win32::LastFailure();
    }
    return win32::ReadToEnd(file.get());
}

base::Result<std::string> win32::ReadToEnd(HANDLE file) {
    LARGE_INTEGER size{};
    LARGE_INTEGER start{};
    if (!::GetFileSizeEx(file, &size) || !::SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) {
        return win32::LastFailure();
    }
    std::string bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return FileTooLargeForMemory();
    } catch (const std::length_error&) {
        return FileTooLargeForMemory();
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!::ReadFile(file, bytes.data() + done, chunk, &read, nullptr)) {
            return win32::LastFailure();
        }
        if (read == 0) {
            break;
        }
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

std::string ProgramDirectory() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) {
            std::string path(buffer.data(), length);
            return path.substr(0, path.find_last_of("\\/"));
        }
        buffer.resize(buffer.size() * 2);
    }
}

base::Result<std::unique_ptr<OutputFile>> OutputFile::Create(const std::string& path) {
    SECURITY_ATTRIBUTES inheritable{};
    inheritable.nLength = sizeof(inheritable);
    inheritable.lpSecurityDescriptor = nullptr;
    inheritable.bInheritHandle = TRUE;
    UniqueHandle handle(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, &inheritable, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        return win32::LastFailure();
    }
    return std::unique_ptr<OutputFile>(std::make_unique<Win32OutputFile>(path, std::move(handle)));
}

base::Result<std::unique_ptr<CapturedProcess>> CapturedProcess::Start(
    std::unique_ptr<OutputFile> output, const std::string& programPath,
    const std::string& argumentTail) {
    // Every OutputFile on this platform is ours.
    auto& file = static_cast<Win32OutputFile&>(*output);

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = file.Handle();

    // Naming the program and quoting it as the first token keeps Windows from trying
    // "C:\Program.exe" and the like for a path with blanks; the tool gets the same switches.
    std::string commandLine = ChildCommandLine(programPath, argumentTail);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(programPath.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &info)) {
        return win32::LastFailure();
    }
    return std::unique_ptr<CapturedProcess>(std::make_unique<Win32CapturedProcess>(
        file.Path(), file.TakeHandle(), UniqueHandle(info.hProcess), UniqueHandle(info.hThread)));
}

}  // namespace ombrix::platform
