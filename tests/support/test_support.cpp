#include "support/test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/process_files.h"
#include "runner/file_name_generator.h"

namespace ombrix::test {

ScratchDir::ScratchDir() {
    const std::filesystem::path base = platform::TempDirectory();
    do {
        path_ = base / ("ombrix-test-" + runner::MakeTempFileName(std::string_view("d")));
    } while (!std::filesystem::create_directory(path_));
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string HelperProgram(const std::string& name) {
    const char* suffix = platform::kPathSeparator == '\\' ? ".exe" : "";
    return platform::ProgramDirectory() + platform::kPathSeparator + name + suffix;
}

namespace {

#ifdef _WIN32
// Under Wine: chattr, run as a Linux program on the folder's Linux path.
bool SetImmutable(const std::filesystem::path& folder, bool immutable) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName != nullptr ? unixName(folder.wstring().c_str()) : nullptr;
    if (name == nullptr) {
        return false;
    }
    // Wine's start.exe runs a Linux program, without waiting for it: the program leaves a mark
    // beside the folder once it is done.
    const std::filesystem::path done = folder.wstring() + L".done";
    std::string command = std::string("start.exe /unix /bin/sh -c \"/usr/bin/chattr ") +
                          (immutable ? "+i " : "-i ") + name + " && touch " + name + ".done\"";
    ::HeapFree(::GetProcessHeap(), 0, name);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return false;
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    for (int tries = 0; tries < 1000; ++tries) {
        if (::DeleteFileW(done.c_str())) {
            return true;
        }
        ::Sleep(10);
    }
    return false;
}
#else
bool SetImmutable(const std::filesystem::path& folder, bool immutable) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    int flags = 0;
    bool set = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    set = set && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return set;
}
#endif

}  // namespace

FolderRefusingNewFiles::FolderRefusingNewFiles(std::filesystem::path folder)
    : folder_(std::move(folder)), refuses_(!folder_.empty() && SetImmutable(folder_, true)) {}

FolderRefusingNewFiles::~FolderRefusingNewFiles() {
    if (refuses_) {
        SetImmutable(folder_, false);
    }
}

#ifdef _WIN32
std::string MarkFileSpecially(const std::string& path) {
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    return SpecialMarks(path);
}

std::string SpecialMarks(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES       ? "missing"
           : (attributes & FILE_ATTRIBUTE_HIDDEN) != 0 ? "hidden"
                                                       : "plain";
}

UnwritableForAWhile::UnwritableForAWhile(const std::string& path)
    : held_(reinterpret_cast<std::uintptr_t>(::CreateFileA(
          path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {
}

UnwritableForAWhile::~UnwritableForAWhile() {
    ::CloseHandle(reinterpret_cast<HANDLE>(held_));
}

std::string UnwritableForAWhile::Reason() const {
    return platform::SystemErrorText(ERROR_SHARING_VIOLATION);
}
#else
std::string MarkFileSpecially(const std::string& path) {
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    return SpecialMarks(path);
}

std::string SpecialMarks(const std::string& path) {
    std::error_code error;
    const auto perms = std::filesystem::status(path, error).permissions();
    return error ? "missing" : std::to_string(static_cast<unsigned>(perms));
}

UnwritableForAWhile::UnwritableForAWhile(const std::string&) {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    sizeLimit_ = limit.rlim_cur;
    limit.rlim_cur = 16;
    // A write past the limit then fails with EFBIG instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

UnwritableForAWhile::~UnwritableForAWhile() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(sizeLimit_);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

std::string UnwritableForAWhile::Reason() const {
    return platform::SystemErrorText(EFBIG);
}
#endif

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

bool ResizeFile(const std::string& path, std::uint64_t length) {
#ifdef _WIN32
    // The C runtime's truncation here takes 32-bit lengths.
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(length);
    const bool resized = file != INVALID_HANDLE_VALUE &&
                         ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(file);
    ::CloseHandle(file);
    return resized;
#else
    std::error_code error;
    std::filesystem::resize_file(path, length, error);
    return !error;
#endif
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace ombrix::test
