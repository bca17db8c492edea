// Replacing a file's content on POSIX: through a new file beside it, or in place.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <random>
#include <string>

#include "platform/posix/unique_fd.h"
#include "platform/process_files.h"

namespace ombrix::platform {
namespace {

using posix::UniqueFd;

base::Failure ErrnoFailure(int error) {
    return SystemFailure(static_cast<unsigned long>(error));
}

// A name beside `path` (so in the same folder and on the same file system) that nobody else
// picks: the process, a counter and a random part.
std::string SiblingTempName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    return ReplacementPath(path, static_cast<unsigned long>(::getpid()), counter++, seed);
}

// True unless the system says there is no process of that id. An id that is no single process
// (0 or beyond pid_t, which kill would take for a group) is taken as running, so its file stays.
bool ProcessRuns(unsigned long processId) {
    if (processId == 0 || processId > static_cast<unsigned long>(INT_MAX)) {
        return true;
    }
    return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}

struct ClosesDir {
    void operator()(DIR* listing) const { ::closedir(listing); }
};

// 0 when every byte went out, otherwise the errno of the failure.
int WriteAll(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t put = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return put < 0 ? errno : EIO;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
        offset += put;
    }
    return 0;
}

// A rename is only durable once the folder that holds the name is on disk too.
void SyncFolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) {
        ::fsync(dir.get());
    }
}

class PosixRewritableFile final : public RewritableFile {
  public:
    explicit PosixRewritableFile(UniqueFd fd) : fd_(std::move(fd)) {}

    base::Result<std::string> ReadAll() override {
        std::string bytes;
        char buffer[1 << 16];
        for (off_t offset = 0;;) {
            const ssize_t got = ::pread(fd_.get(), buffer, sizeof buffer, offset);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                return ErrnoFailure(errno);
            }
            if (got == 0) {
                return bytes;
            }
            bytes.append(buffer, static_cast<std::size_t>(got));
            offset += got;
        }
    }

    base::Result<> Resize(std::uint64_t length) override {
        struct stat info {};
        if (::fstat(fd_.get(), &info) != 0) {
            return ErrnoFailure(errno);
        }
        const auto size = static_cast<off_t>(length);
        // Growing takes the disk's room at once, so that a full disk shows here.
        const int error = size > info.st_size ? ::posix_fallocate(fd_.get(), 0, size)
                          : ::ftruncate(fd_.get(), size) != 0 ? errno
                                                              : 0;
        return error == 0 ? base::Result<>() : ErrnoFailure(error);
    }

    base::Result<> WriteFromStart(std::string_view bytes) override {
        const int error = WriteAll(fd_.get(), bytes, 0);
        return error == 0 ? base::Result<>() : ErrnoFailure(error);
    }

    base::Result<> Flush() override {
        return ::fsync(fd_.get()) == 0 ? base::Result<>() : ErrnoFailure(errno);
    }

  private:
    UniqueFd fd_;
};

}  // namespace

void RemoveAbandonedReplacements(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = path.substr(folder.size());
    const std::unique_ptr<DIR, ClosesDir> listing(::opendir(folder.empty() ? "." : folder.c_str()));
    if (!listing) {
        return;
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::optional<unsigned long> owner = ReplacementOwner(name, entry->d_name);
        if (!owner || ProcessRuns(*owner)) {
            continue;
        }
        const std::string found = folder + entry->d_name;
        struct stat info {};
        if (::lstat(found.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
            ::unlink(found.c_str());
        }
    }
}

base::Result<> ReplaceThroughNewFile(const std::string& path, std::string_view bytes) {
    constexpr int kAttempts = 100;
    std::string temp;
    UniqueFd fd;
    for (int attempt = 1; !fd; ++attempt) {
        temp = SiblingTempName(path);
        fd = UniqueFd(
            ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (!fd && (errno != EEXIST || attempt == kAttempts)) {
            return ErrnoFailure(errno);
        }
    }
    // The new file takes the old one's owner and permissions, as rewriting it in place would
    // keep them. An owner it cannot take (another user's file) is a refusal: the file is then
    // rewritten in place instead.
    int error = 0;
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        struct stat made {};
        if (::fstat(fd.get(), &made) != 0) {
            error = errno;
        } else if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
                   ::fchown(fd.get(), old.st_uid, old.st_gid) != 0) {
            error = errno == EPERM ? EACCES : errno;
        }
        if (error == 0 && ::fchmod(fd.get(), old.st_mode & 07777) != 0) {
            error = errno;
        }
    }
    if (error == 0) {
        error = WriteAll(fd.get(), bytes, 0);
    }
    if (error == 0 && ::fsync(fd.get()) != 0) {
        error = errno;
    }
    fd.reset();
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temp.c_str());
        return ErrnoFailure(error);
    }
    SyncFolderOf(path);
    return {};
}

base::Result<std::unique_ptr<RewritableFile>> RewritableFile::Open(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    if (!fd) {
        return ErrnoFailure(errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return ErrnoFailure(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return base::Failure{"It is not a file."};
    }
    return std::unique_ptr<RewritableFile>(std::make_unique<PosixRewritableFile>(std::move(fd)));
}

}  // namespace ombrix::platform
