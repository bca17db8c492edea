#include <sys/utsname.h>
#include <time.h>

#include <chrono>

#include "uptime/system.h"

namespace uptime {
namespace {

// Outside Windows there is no Windows event log to read.
class NoEventLog final : public EventLogReader {
  public:
    explicit NoEventLog(bool remote) : remote_(remote) {}
    LogReading Read(const LogQuery&) override {
        LogReading reading;
        reading.status = LogStatus::Failed;
        reading.reason = remote_ ? "reading a remote machine's event log is not supported on "
                                   "this system"
                                 : "this system keeps no Windows event log";
        return reading;
    }

  private:
    bool remote_;
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
