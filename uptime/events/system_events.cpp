#include "uptime/events/system_events.h"

#include "base/digits.h"
#include "base/text.h"

namespace uptime {
namespace {

using ombrix::base::EqualsIgnoringCase;
using ombrix::base::TrimBlanks;

bool From(const EventRecord& record, std::string_view provider) {
    return EqualsIgnoringCase(record.provider, provider) ||
           EqualsIgnoringCase(record.sourceName, provider);
}

// Windows puts left-to-right marks (U+200E) into the dates it writes into event data.
std::string WithoutDirectionMarks(std::string text) {
    const std::string mark = "\xE2\x80\x8E";
    for (auto pos = text.find(mark); pos != std::string::npos; pos = text.find(mark, pos)) {
        text.erase(pos, mark.size());
    }
    return text;
}

// "a, b, c" of the parts that are not empty.
std::string JoinParts(std::initializer_list<std::string> parts, const std::string& separator) {
    std::string joined;
    for (const std::string& part : parts) {
        if (!part.empty()) {
            joined += (joined.empty() ? "" : separator) + part;
        }
    }
    return joined;
}

// A SYSTEMTIME (eight little-endian 16-bit fields) at `offset` of the event's binary data.
std::optional<UtcSeconds> SystemTimeAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    if (bytes.size() < offset + 16) {
        return std::nullopt;
    }
    const auto word = [&](std::size_t index) {
        return bytes[offset + 2 * index] | bytes[offset + 2 * index + 1] << 8;
    };
    const ombrix::base::CalendarDate date{word(0), word(1), word(3)};
    const int hour = word(4);
    const int minute = word(5);
    const int second = word(6);
    if (!ombrix::base::IsValidDate(date) || hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    return ToSeconds({date, hour, minute, second});
}

SystemEvent UnexpectedShutdown(const EventRecord& record) {
    // The data holds the last time the system was known to run twice, as SYSTEMTIMEs: first in
    // the machine's local time, then in UTC. Only the UTC one can be placed in the history.
    if (const auto lastRunning = SystemTimeAt(record.binary, 16)) {
        return {EventKind::UnexpectedShutdown, *lastRunning, {}};
    }
    const std::string saidTime =
        JoinParts({std::string(TrimBlanks(WithoutDirectionMarks(record.FieldAt(0)))),
                   std::string(TrimBlanks(WithoutDirectionMarks(record.FieldAt(1))))},
                  " ");
    return {EventKind::UndatedUnexpectedShutdown, record.timeCreated,
            saidTime.empty() ? "the last time the system ran is not recorded"
                             : "last ran at " + saidTime + " by its own clock"};
}

SystemEvent ShutdownRequest(const EventRecord& record) {
    const std::string process(TrimBlanks(record.FieldAt(0)));
    const std::string reason(TrimBlanks(record.FieldAt(2)));
    const std::string type(TrimBlanks(record.FieldAt(4)));
    const std::string comment(TrimBlanks(record.FieldAt(5)));
    const std::string user(TrimBlanks(record.FieldAt(6)));
    const bool restart = EqualsIgnoringCase(type, "restart");
    const bool known =
        restart || EqualsIgnoringCase(type, "power off") || EqualsIgnoringCase(type, "shutdown");
    std::string detail = JoinParts({known ? "" : type, user.empty() ? "" : "by " + user,
                                    process.empty() ? "" : "via " + process},
                                   " ");
    if (!reason.empty()) {
        detail += (detail.empty() ? "" : ": ") + reason;
    }
    if (!comment.empty()) {
        detail += (detail.empty() ? "" : " ") + ("(" + comment + ")");
    }
    return {restart ? EventKind::RestartRequest : EventKind::ShutdownRequest, record.timeCreated,
            detail};
}

SystemEvent PowerLoss(const EventRecord& record) {
    std::string detail = "rebooted without a clean shutdown";
    const std::string code(TrimBlanks(record.Field("BugcheckCode")));
    if (const auto number = ombrix::base::ReadDigits(code, 10); number && *number != 0) {
        static constexpr char kHex[] = "0123456789abcdef";
        std::string hex;
        for (auto value = static_cast<std::uint64_t>(*number); value != 0; value /= 16) {
            hex.insert(hex.begin(), kHex[value % 16]);
        }
        detail += ", bugcheck 0x" + hex;
    }
    return {EventKind::PowerLoss, record.timeCreated, detail};
}

SystemEvent Bluescreen(const EventRecord& record) {
    // "0x0000009f (0x..., 0x..., 0x..., 0x...)", then the dump file.
    const std::string check(TrimBlanks(record.FieldAt(0)));
    const std::string dump(TrimBlanks(record.FieldAt(1)));
    const std::string code = check.substr(0, check.find(' '));
    return {
        EventKind::Bluescreen, record.timeCreated,
        JoinParts({code.empty() ? "" : "Stop " + code, dump.empty() ? "" : "dump " + dump}, ", ")};
}

std::optional<SystemEvent> LogCleared(const EventRecord& record) {
    const std::string channel(TrimBlanks(record.Field("Channel")));
    const std::string domain(TrimBlanks(record.Field("SubjectDomainName")));
    const std::string user(TrimBlanks(record.Field("SubjectUserName")));
    const std::string who = JoinParts({domain, user}, "\\");
    const std::string detail = who.empty() ? "" : "by " + who;
    if (EqualsIgnoringCase(channel, "System") ||
        (channel.empty() && EqualsIgnoringCase(record.channel, "System"))) {
        return SystemEvent{EventKind::SystemLogCleared, record.timeCreated, detail};
    }
    if (EqualsIgnoringCase(channel, "Application")) {
        return SystemEvent{EventKind::ApplicationLogCleared, record.timeCreated, detail};
    }
    return std::nullopt;
}

SystemEvent OsVersion(const EventRecord& record) {
    // "6.01.", "7601", "Service Pack 1", "Multiprocessor Free"
    std::string version(TrimBlanks(record.FieldAt(0)));
    if (!version.empty() && version.back() == '.') {
        version.pop_back();
    }
    const std::string build(TrimBlanks(record.FieldAt(1)));
    return {EventKind::OsVersion, record.timeCreated,
            JoinParts({"Windows", version, build.empty() ? "" : "build " + build,
                       std::string(TrimBlanks(record.FieldAt(2))),
                       std::string(TrimBlanks(record.FieldAt(3)))},
                      " ")};
}

// The system's own count of seconds since it started: the first data value that is given
// (Windows leaves four empty ones before it; some converters drop them).
std::optional<SystemEvent> SystemUptime(const EventRecord& record) {
    for (const EventField& field : record.fields) {
        const std::string value(TrimBlanks(field.value));
        if (!value.empty()) {
            const auto seconds = ombrix::base::ReadDigits(value, 12);
            if (!seconds) {
                return std::nullopt;
            }
            SystemEvent event{EventKind::SystemUptime, record.timeCreated, {}};
            event.seconds = *seconds;
            return event;
        }
    }
    return std::nullopt;
}

std::string ProgramName(const EventRecord& record) {
    const std::string named(TrimBlanks(record.Field("AppName")));
    return named.empty() ? std::string(TrimBlanks(record.FieldAt(0))) : named;
}

}  // namespace

bool IsRow(EventKind kind) {
    return kind != EventKind::OsVersion && kind != EventKind::SystemUptime;
}

// The filters of System/*, one per log; EventLog 6011 tells a machine's earlier name.
namespace {

std::string SystemLogFilter() {
    return "(EventID=41 or EventID=104 or EventID=1001 or EventID=1074 or EventID=6005 or "
           "EventID=6006 or EventID=6008 or EventID=6009 or EventID=6011 or EventID=6013)";
}

std::string ApplicationLogFilter() {
    return "Provider[@Name='Application Error' or @Name='Application Hang'] and "
           "(EventID=1000 or EventID=1002)";
}

}  // namespace

LogQuery SystemLogQuery() {
    return {"System", "*[System[" + SystemLogFilter() + "]]"};
}

LogQuery ApplicationLogQuery() {
    return {"Application", "*[System[" + ApplicationLogFilter() + "]]"};
}

LogQuery CollectorQuery(const std::string& channel) {
    return {channel, "*[System[(Channel='System' and " + SystemLogFilter() +
                         ") or (Channel='Application' and " + ApplicationLogFilter() + ")]]"};
}

std::optional<HostRename> ReadHostRename(const EventRecord& record) {
    // "The NetBIOS name and DNS host name of this machine have been changed from %1 to %2."
    if (record.eventId != 6011 || !From(record, "EventLog")) {
        return std::nullopt;
    }
    HostRename rename{std::string(TrimBlanks(record.FieldAt(0))),
                      std::string(TrimBlanks(record.FieldAt(1)))};
    if (rename.from.empty() || rename.to.empty()) {
        return std::nullopt;
    }
    return rename;
}

std::optional<SystemEvent> Classify(const EventRecord& record) {
    const unsigned id = record.eventId;
    if (From(record, "EventLog")) {
        switch (id) {
            case 6005:
                return SystemEvent{EventKind::Boot, record.timeCreated, {}};
            case 6006:
                return SystemEvent{EventKind::Shutdown, record.timeCreated, {}};
            case 6008:
                return UnexpectedShutdown(record);
            case 6009:
                return OsVersion(record);
            case 6013:
                return SystemUptime(record);
            default:
                return std::nullopt;
        }
    }
    if (id == 1074 && From(record, "User32")) {
        return ShutdownRequest(record);
    }
    if (id == 41 && From(record, "Microsoft-Windows-Kernel-Power")) {
        return PowerLoss(record);
    }
    if (id == 1001 && (From(record, "BugCheck") || From(record, "Save Dump"))) {
        return Bluescreen(record);
    }
    if (id == 104 && From(record, "Microsoft-Windows-Eventlog")) {
        return LogCleared(record);
    }
    if (id == 1000 && From(record, "Application Error")) {
        return SystemEvent{EventKind::ApplicationFailure, record.timeCreated, ProgramName(record)};
    }
    if (id == 1002 && From(record, "Application Hang")) {
        return SystemEvent{EventKind::ApplicationHang, record.timeCreated, ProgramName(record)};
    }
    return std::nullopt;
}

}  // namespace uptime
