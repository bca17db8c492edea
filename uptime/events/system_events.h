// Which logged events the report is made of, and what each one means for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "uptime/common/utc_time.h"
#include "uptime/events/event_xml.h"

namespace uptime {

enum class EventKind {
    Boot,                       // EventLog 6005: the event log service started
    Shutdown,                   // EventLog 6006: a clean shutdown
    UnexpectedShutdown,         // EventLog 6008, dated by the last time the system ran
    UndatedUnexpectedShutdown,  // EventLog 6008 whose last running time cannot be read
    RestartRequest,             // User32 1074 of type restart
    ShutdownRequest,            // User32 1074 of any other type
    PowerLoss,                  // Kernel-Power 41
    Bluescreen,                 // BugCheck 1001
    SystemLogCleared,           // Eventlog 104 for the System log
    ApplicationLogCleared,      // Eventlog 104 for the Application log
    OsVersion,                  // EventLog 6009: not a row, it names the system
    SystemUptime,               // EventLog 6013: not a row, the system's own uptime count
    ApplicationFailure,         // Application Error 1000
    ApplicationHang,            // Application Hang 1002
};

struct SystemEvent {
    EventKind kind = EventKind::Boot;
    UtcSeconds time = 0;       // where the event stands in the history
    std::string detail;        // what the comment column says of it
    std::int64_t seconds = 0;  // SystemUptime: the seconds the system counted since it started
};

// Whether the event is a row of the report's table (the others only inform it).
bool IsRow(EventKind kind);

// What to ask the event log for: a channel and an XPath filter.
struct LogQuery {
    std::string channel;
    std::string xpath;
};
LogQuery SystemLogQuery();
LogQuery ApplicationLogQuery();
// Both in one query of a collector's channel (ForwardedEvents, or another), which holds the
// records of many logs and machines: each record is told by the log it names. A subscription
// that forwards exactly these events uses the same filter.
LogQuery CollectorQuery(const std::string& channel);

// EventLog 6011: the NetBIOS and DNS host names changed, from the old name to the new one.
struct HostRename {
    std::string from;
    std::string to;
};
std::optional<HostRename> ReadHostRename(const EventRecord& record);

// Nothing for a record the report has no use for (another source with the same event ID).
std::optional<SystemEvent> Classify(const EventRecord& record);

}  // namespace uptime
