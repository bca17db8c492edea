#include <fcntl.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "uptime/tool/system.h"

namespace uptime {
namespace {

// Outside Windows there is no Windows event log to read.
class NoEventLog final : public EventLogReader {
  public:
    explicit NoEventLog(bool remote) : remote_(remote) {}
    ombrix::base::Result<LogRecords> Read(const LogQuery&) override {
        return ombrix::base::Failure{remote_ ? "reading a remote machine's event log is not "
                                               "supported on this system"
                                             : "this system keeps no Windows event log"};
    }
    void Cancel() override {}  // a Read here never waits

  private:
    bool remote_;
};

// An open file, closed with its owner.
class PosixFile final : public ByteSource {
  public:
    explicit PosixFile(int descriptor) : descriptor_(descriptor) {}
    ~PosixFile() override { ::close(descriptor_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    ombrix::base::Result<std::size_t> Read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::read(descriptor_, buffer, size);
            if (got >= 0) {
                return static_cast<std::size_t>(got);
            }
            if (errno != EINTR) {
                return ombrix::base::Failure{SystemReason(static_cast<unsigned long>(errno))};
            }
        }
    }

  private:
    int descriptor_;
};

std::int64_t LocalOffset(UtcSeconds instant) {
    const auto seconds = static_cast<time_t>(instant);
    tm local{};
    if (::localtime_r(&seconds, &local) == nullptr) {
        return 0;
    }
    return local.tm_gmtoff;
}

class PosixToolSystem final : public ToolSystem {
  public:
    UtcSeconds Now() const override {
        return std::chrono::duration_cast<std::chrono::seconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
    const LocalClock& Clock() const override { return clock_; }
    std::unique_ptr<EventLogReader> OpenEventLog(const std::string& remoteMachine) const override {
        return std::make_unique<NoEventLog>(!remoteMachine.empty());
    }
    ombrix::base::Result<std::unique_ptr<ByteSource>> OpenLogFile(
        const std::string& path) const override {
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            return ombrix::base::Failure{SystemReason(static_cast<unsigned long>(errno))};
        }
        auto file = std::make_unique<PosixFile>(descriptor);
        struct stat status {};
        if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
            return ombrix::base::Failure{"It is a folder, not a file."};
        }
        return std::unique_ptr<ByteSource>(std::move(file));
    }
    ombrix::base::Result<void> ReadEvtxFile(const std::string& path, RecordSink&) const override {
        const std::string name = path.substr(path.find_last_of("/\\") + 1);
        const std::string stem = name.substr(0, name.rfind('.'));
        return ombrix::base::Failure{
            "It is an .evtx file, which only the Windows event log service can read. Read it "
            "with uptime on Windows, or turn it into XML there first:\r\n    wevtutil qe " +
            name + " /lf:true /f:xml > " + stem + ".xml"};
    }

  private:
    FixedFormatClock clock_{LocalOffset};
};

}  // namespace

std::unique_ptr<ToolSystem> OpenToolSystem() {
    return std::make_unique<PosixToolSystem>();
}

std::string OperatingSystemName() {
    utsname names{};
    if (::uname(&names) != 0) {
        return {};
    }
    return std::string(names.sysname) + " " + names.release;
}

std::string TimeZoneName() {
    ::tzset();
    return tzname[0] != nullptr ? tzname[0] : "";
}

std::string SystemTextToUtf8(const std::string& text) {
    return text;
}

std::string Utf8ToSystemText(const std::string& text) {
    return text;
}

}  // namespace uptime
