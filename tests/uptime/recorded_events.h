// Event records as the Windows event log renders them, a British clock to show them, and a
// system that serves them to the tool.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "uptime/event_log.h"
#include "uptime/local_clock.h"
#include "uptime/tool.h"
#include "uptime/utc_time.h"

namespace uptime::test {

// "2013-05-30T22:13:46Z" as seconds; throws on a typo.
UtcSeconds Utc(const std::string& text);

// GMT, and BST (UTC+1) from 01:00 UTC on the last Sunday of March to that of October.
std::int64_t LondonOffset(UtcSeconds instant);

// SYSTEMTIME bytes as hex, the way 6008 events carry them.
std::string SystemTimeHex(UtcSeconds instant);

// Appends records as EvtRender gives them. Times are UTC.
class RecordedLog {
  public:
    RecordedLog& Boot(const std::string& utc);       // EventLog 6005
    RecordedLog& Shutdown(const std::string& utc);   // EventLog 6006
    RecordedLog& OsVersion(const std::string& utc);  // EventLog 6009, Windows 7 SP1
    // EventLog 6008, logged after the next boot, naming the last running time both in local
    // time (`localOffsetHours` east of UTC) and in UTC.
    RecordedLog& UnexpectedShutdown(const std::string& loggedUtc, const std::string& lastRunningUtc,
                                    int localOffsetHours);
    RecordedLog& RestartRequest(const std::string& utc, const std::string& process,
                                const std::string& reason, const std::string& user);  // 1074
    RecordedLog& PowerLoss(const std::string& utc, unsigned bugcheckCode = 0);  // Kernel-Power 41
    RecordedLog& Bluescreen(const std::string& utc, const std::string& stopCode);       // 1001
    RecordedLog& LogCleared(const std::string& utc, const std::string& channel);        // 104
    RecordedLog& ApplicationError(const std::string& utc, const std::string& program);  // 1000
    RecordedLog& ApplicationHang(const std::string& utc, const std::string& program);   // 1002
    RecordedLog& Raw(std::string xml);

    const std::vector<std::string>& records() const { return records_; }

  private:
    RecordedLog& Add(const std::string& provider, unsigned id, const std::string& qualifiers,
                     const std::string& utc, const std::string& channel, const std::string& data);
    std::vector<std::string> records_;
};

// The tool's view of a system whose event log holds recorded records.
class RecordedSystem final : public ToolSystem {
  public:
    explicit RecordedSystem(UtcSeconds now) : now_(now), clock_(LondonOffset) {}

    UtcSeconds Now() const override { return now_; }
    const LocalClock& Clock() const override { return clock_; }
    std::unique_ptr<EventLogReader> OpenEventLog(const std::string& remoteMachine) const override;

    std::map<std::string, LogReading> logs;    // by channel; others answer with no records
    mutable std::vector<std::string> opened;   // the machine of each OpenEventLog, "" for local
    mutable std::vector<std::string> queried;  // the channels asked for, in order

  private:
    UtcSeconds now_;
    FixedFormatClock clock_;
};

}  // namespace uptime::test
