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

std::string LastErrorText() {
    return SystemErrorText(::GetLastError());
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
    return path + ".~" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++) +
           "-" + std::to_string(::GetTickCount64()) + ".tmp";
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

class Win32CapturedProcess final : public CapturedProcess {
  public:
    Win32CapturedProcess(std::string outputPath, UniqueHandle output, UniqueHandle process,
                         UniqueHandle thread)
        : outputPath_(std::move(outputPath)),
          output_(std::move(output)),
          process_(std::move(process)),
          thread_(std::move(thread)) {}

    bool WaitForExit(std::chrono::milliseconds timeout) override {
        const auto ms =
            timeout.count() >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(timeout.count());
        return ::WaitForSingleObject(process_.get(), ms) == WAIT_OBJECT_0;
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
    HANDLE search = ::FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    constexpr DWORD kNotNormal =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    bool matched = false;
    do {
        matched = (found.dwFileAttributes & kNotNormal) == 0;
    } while (!matched && ::FindNextFileA(search, &found));
    ::FindClose(search);
    return matched;
}

bool RemoveFile(const std::string& path, std::string* reason) {
    if (::DeleteFileA(path.c_str())) {
        return true;
    }
    if (reason != nullptr) {
        *reason = LastErrorText();
    }
    return false;
}

bool ReplaceFileContent(const std::string& path, std::string_view bytes, std::string* reason) {
    const auto fail = [reason](DWORD error) {
        if (reason != nullptr) {
            *reason = SystemErrorText(error);
        }
        return false;
    };
    constexpr int kAttempts = 100;
    std::string temp;
    UniqueHandle file;
    for (int attempt = 1; !file; ++attempt) {
        temp = SiblingTempName(path);
        file = UniqueHandle(::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = ::GetLastError();
        if (!file && (error != ERROR_FILE_EXISTS || attempt == kAttempts)) {
            return fail(error);
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
        return fail(error);
    }
    return true;
}

FileContent ReadWholeFile(const std::string& path) {
    FileContent content;
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        content.reason = LastErrorText();
        return content;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) {
        content.reason = LastErrorText();
        return content;
    }
    content.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < content.bytes.size()) {
        const auto chunk =
            static_cast<DWORD>(std::min<std::size_t>(content.bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!::ReadFile(file.get(), content.bytes.data() + done, chunk, &read, nullptr)) {
            content.reason = LastErrorText();
            content.bytes.clear();
            return content;
        }
        if (read == 0) {
            break;
        }
        done += read;
    }
    content.bytes.resize(done);
    content.ok = true;
    return content;
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

CapturedProcess::StartResult CapturedProcess::Start(const std::string& outputPath,
                                                    const std::string& programPath,
                                                    const std::string& argumentTail) {
    StartResult result;

    SECURITY_ATTRIBUTES inheritable{};
    inheritable.nLength = sizeof(inheritable);
    inheritable.lpSecurityDescriptor = nullptr;
    inheritable.bInheritHandle = TRUE;
    UniqueHandle output(::CreateFileA(outputPath.c_str(), GENERIC_WRITE, 0, &inheritable,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output) {
        result.status = StartStatus::OutputNotCreated;
        result.reason = LastErrorText();
        return result;
    }

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = output.get();

    // Naming the program and quoting it as the first token keeps Windows from trying
    // "C:\Program.exe" and the like for a path with blanks; the tool gets the same switches.
    std::string commandLine = "\"" + programPath + "\"" + argumentTail;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(programPath.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &info)) {
        result.status = StartStatus::ProgramNotStarted;
        result.reason = LastErrorText();
        return result;
    }
    result.status = StartStatus::Started;
    result.process = std::make_unique<Win32CapturedProcess>(
        outputPath, std::move(output), UniqueHandle(info.hProcess), UniqueHandle(info.hThread));
    return result;
}

}  // namespace ombrix::platform
