// Processes and files on Win32, with the calls and arguments the runner is specified with.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "platform/process_files.h"
#include "platform/win32/unique_handle.h"

namespace ombrix::platform {
namespace {

using win32::UniqueHandle;

base::Failure LastError() {
    return {SystemErrorText(::GetLastError())};
}

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

constexpr const char* kReadOnlyReason = "The file is read-only.";

struct FindTraits {
    static void Close(HANDLE search) { ::FindClose(search); }
    static HANDLE Adopt(HANDLE search) { return search == INVALID_HANDLE_VALUE ? nullptr : search; }
};
using UniqueFind = win32::UniqueOwner<HANDLE, FindTraits>;

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
    return LastError();
}

bool IsReadOnlyFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

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

base::Result<> ReplaceFileContent(const std::string& path, std::string_view bytes) {
    RemoveAbandonedReplacements(path);
    // Windows would refuse the final rename anyway; Wine would let it through and drop the mark.
    if (IsReadOnlyFile(path)) {
        return base::Failure{kReadOnlyReason};
    }
    constexpr int kAttempts = 100;
    std::string temp;
    UniqueHandle file;
    for (int attempt = 1; !file; ++attempt) {
        temp = SiblingTempName(path);
        file = UniqueHandle(::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = ::GetLastError();
        if (!file && (error != ERROR_FILE_EXISTS || attempt == kAttempts)) {
            return base::Failure{SystemErrorText(error)};
        }
    }
    DWORD error = WriteAll(file.get(), bytes);
    if (error == ERROR_SUCCESS && !::FlushFileBuffers(file.get())) {
        error = ::GetLastError();
    }
    file.reset();
    if (error == ERROR_SUCCESS &&
        !::MoveFileExA(temp.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = ::GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        ::DeleteFileA(temp.c_str());
        return base::Failure{SystemErrorText(error)};
    }
    return {};
}

base::Result<std::string> ReadWholeFile(const std::string& path) {
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return LastError();
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) {
        return LastError();
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr)) {
            return LastError();
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

std::string SystemErrorText(unsigned long code) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string result = length != 0 ? std::string(text, length) : std::string();
    ::LocalFree(text);
    while (!result.empty() &&
           (result.back() == '\r' || result.back() == '\n' || result.back() == ' ')) {
        result.pop_back();
    }
    if (result.empty()) {
        result = "System error " + std::to_string(code) + ".";
    }
    return result;
}

base::Result<std::unique_ptr<OutputFile>> OutputFile::Create(const std::string& path) {
    SECURITY_ATTRIBUTES inheritable{};
    inheritable.nLength = sizeof(inheritable);
    inheritable.lpSecurityDescriptor = nullptr;
    inheritable.bInheritHandle = TRUE;
    UniqueHandle handle(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, &inheritable, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        return LastError();
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
        return LastError();
    }
    return std::unique_ptr<CapturedProcess>(std::make_unique<Win32CapturedProcess>(
        file.Path(), file.TakeHandle(), UniqueHandle(info.hProcess), UniqueHandle(info.hThread)));
}

}  // namespace ombrix::platform
