// Processes and files on POSIX, keeping the runner's contract: a fresh file as standard output,
// no input, the error stream going nowhere, a wait without limit, every descriptor closed.
#include <fcntl.h>
#include <glob.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/command_line_split.h"
#include "platform/posix/unique_fd.h"
#include "platform/process_files.h"

extern char** environ;

namespace ombrix::platform {
namespace {

using posix::UniqueFd;

std::string ErrnoText() {
    return SystemErrorText(static_cast<unsigned long>(errno));
}

base::Failure ErrnoFailure(int error) {
    return SystemFailure(static_cast<unsigned long>(error));
}

// The temporary folder may be shared with other users: the output file is ours alone, readable
// by us only, and never reached through a link somebody planted there.
base::Result<UniqueFd> OpenPrivateOutput(const std::string& path) {
    constexpr int kFlags = O_WRONLY | O_NOFOLLOW | O_CLOEXEC;
    UniqueFd fd(::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0600));
    if (fd) {
        return fd;
    }
    if (errno != EEXIST) {
        return ErrnoFailure(errno);
    }
    // An existing file is cut to length 0, but only when it is a plain file of our own.
    fd = UniqueFd(::open(path.c_str(), kFlags));
    if (!fd) {
        return base::Failure{errno == ELOOP ? "The file is a symbolic link." : ErrnoText()};
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() ||
        info.st_nlink != 1) {
        return base::Failure{"The file exists and is not a private file of this user."};
    }
    if (::fchmod(fd.get(), 0600) != 0 || ::ftruncate(fd.get(), 0) != 0) {
        return ErrnoFailure(errno);
    }
    return fd;
}

// Appends the rest of the file to `bytes`, room for all of it taken first; 0 or the errno of a
// failed read. Throws when memory cannot hold the file.
int ReadAll(int fd, std::string& bytes) {
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_size > 0) {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got < 0 ? errno : 0;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

class PosixOutputFile final : public OutputFile {
  public:
    explicit PosixOutputFile(UniqueFd fd) : fd_(std::move(fd)) {}
    int Descriptor() const { return fd_.get(); }
    UniqueFd TakeDescriptor() { return std::move(fd_); }

  private:
    UniqueFd fd_;
};

class SpawnActions {
  public:
    SpawnActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_{};
};

class PosixCapturedProcess final : public CapturedProcess {
  public:
    PosixCapturedProcess(UniqueFd output, pid_t pid) : output_(std::move(output)), pid_(pid) {}
    ~PosixCapturedProcess() override {
        if (!reaped_) {
            ::kill(pid_, SIGKILL);
            Reap(0);
        }
    }

    bool WaitForExit(std::chrono::milliseconds timeout) override {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        auto pause = std::chrono::microseconds(200);
        while (!Reap(WNOHANG)) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::microseconds(20'000));
        }
        return true;
    }

    void Terminate() override {
        if (!reaped_) {
            ::kill(pid_, SIGKILL);
        }
    }

    std::int32_t Finish() override {
        Reap(0);
        output_.reset();
        return exitCode_;
    }

  private:
    // Collects the child's status; true once it has ended.
    bool Reap(int options) {
        if (reaped_) {
            return true;
        }
        int status = 0;
        pid_t done = 0;
        do {
            done = ::waitpid(pid_, &status, options);
        } while (done < 0 && errno == EINTR);
        if (done == 0) {
            return false;
        }
        reaped_ = true;
        if (done < 0) {
            exitCode_ = -1;
        } else if (WIFEXITED(status)) {
            exitCode_ = WEXITSTATUS(status);
        } else {
            // Ended by a signal: the shell's convention, never 0.
            exitCode_ = 128 + WTERMSIG(status);
        }
        return true;
    }

    UniqueFd output_;
    pid_t pid_;
    bool reaped_ = false;
    std::int32_t exitCode_ = -1;
};

}  // namespace

std::string TempDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
    if (dir.back() != '/') {
        dir += '/';
    }
    return dir;
}

bool NormalFileMatches(const std::string& path) {
    glob_t found{};
    const int rc = ::glob(path.c_str(), GLOB_NOSORT, nullptr, &found);
    bool matched = false;
    for (std::size_t i = 0; rc == 0 && !matched && i < found.gl_pathc; ++i) {
        const std::string name = found.gl_pathv[i];
        const std::string base = name.substr(name.find_last_of('/') + 1);
        struct stat info {};
        matched = !base.empty() && base.front() != '.' && ::stat(name.c_str(), &info) == 0 &&
                  S_ISREG(info.st_mode);
    }
    ::globfree(&found);
    return matched;
}

base::Result<> RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) == 0) {
        return {};
    }
    return ErrnoFailure(errno);
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    constexpr mode_t kAnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;
    return (info.st_mode & kAnyWrite) == 0 ||
           (::access(path.c_str(), W_OK) != 0 && errno == EACCES);
}

base::Result<std::string> ReadWholeFile(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        return ErrnoFailure(errno);
    }
    std::string bytes;
    try {
        if (const int error = ReadAll(fd.get(), bytes); error != 0) {
            return ErrnoFailure(error);
        }
    } catch (const std::bad_alloc&) {
        return FileTooLargeForMemory();
    } catch (const std::length_error&) {
        return FileTooLargeForMemory();
    }
    return bytes;
}

std::string ProgramDirectory() {
    std::vector<char> buffer(4096);
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0) {
        return ".";
    }
    std::string path(buffer.data(), static_cast<std::size_t>(length));
    return path.substr(0, path.find_last_of('/'));
}

base::Result<std::unique_ptr<OutputFile>> OutputFile::Create(const std::string& path) {
    base::Result<UniqueFd> fd = OpenPrivateOutput(path);
    if (!fd) {
        return base::Failure{fd.Reason()};
    }
    return std::unique_ptr<OutputFile>(std::make_unique<PosixOutputFile>(std::move(*fd)));
}

base::Result<std::unique_ptr<CapturedProcess>> CapturedProcess::Start(
    std::unique_ptr<OutputFile> output, const std::string& programPath,
    const std::string& argumentTail) {
    // Every OutputFile on this platform is ours.
    auto& file = static_cast<PosixOutputFile&>(*output);

    // The tool reads its switches the way a Windows program would split them.
    std::vector<std::string> args = base::SplitCommandLine(argumentTail);
    args.insert(args.begin(), programPath);
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    SpawnActions actions;
    ::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_adddup2(actions.get(), file.Descriptor(), 1);
    ::posix_spawn_file_actions_addopen(actions.get(), 2, "/dev/null", O_WRONLY, 0);

    pid_t pid = 0;
    const int rc =
        ::posix_spawn(&pid, programPath.c_str(), actions.get(), nullptr, argv.data(), environ);
    if (rc != 0) {
        return ErrnoFailure(rc);
    }
    return std::unique_ptr<CapturedProcess>(
        std::make_unique<PosixCapturedProcess>(file.TakeDescriptor(), pid));
}

}  // namespace ombrix::platform
