#include "uptime/tool/tool.h"

#include <algorithm>

#include "base/text.h"
#include "uptime/events/event_xml.h"
#include "uptime/events/system_events.h"
#include "uptime/logs/log_file.h"
#include "uptime/report/report.h"
#include "uptime/tool/arguments.h"

namespace uptime {
namespace {

using ombrix::base::EqualsIgnoringCase;
using ombrix::base::WithReason;

constexpr const char* kLineEnd = "\r\n";

bool IsLocal(const std::string& name, const LocalMachine& machine) {
    return EqualsIgnoringCase(name, machine.name) || EqualsIgnoringCase(name, "localhost") ||
           name == "." || name == "127.0.0.1" || name == "::1";
}

using ombrix::base::FailureKind;

template <typename T>
std::string Reason(const ombrix::base::Result<T>& failed) {
    return failed.Reason().empty() ? "no reason was given" : failed.Reason();
}

// The exit code that tells a kind of failure.
int ExitCodeFor(FailureKind kind) {
    switch (kind) {
        case FailureKind::BadRequest:
            return kUsageError;
        case FailureKind::Unreachable:
            return kMachineUnreachable;
        case FailureKind::AccessDenied:
            return kAccessDenied;
        default:
            return kEventLogUnreadable;
    }
}

struct ReadEvents {
    std::vector<SystemEvent> events;
    std::size_t unreadable = 0;
};

ReadEvents Interpret(const std::vector<std::string>& records) {
    ReadEvents read;
    for (const std::string& xml : records) {
        const std::optional<EventRecord> record = ParseEventXml(xml);
        if (!record) {
            ++read.unreadable;
        } else if (auto event = Classify(*record)) {
            read.events.push_back(std::move(*event));
        }
    }
    return read;
}

bool AnyRow(const std::vector<SystemEvent>& events) {
    return std::any_of(events.begin(), events.end(),
                       [](const SystemEvent& event) { return IsRow(event.kind); });
}

// Why a remote machine's System log gave nothing, and the exit code that goes with it.
ToolResult RemoteFailure(const std::string& name, const ombrix::base::Result<LogRecords>& reading) {
    const std::string machine = "\\\\" + name;
    const int exitCode = ExitCodeFor(reading.Kind());
    switch (reading.Kind()) {
        case FailureKind::Unreachable:
            return {WithReason(machine + " cannot be reached. Check the name, the network, and "
                                         "that the machine allows remote event log management "
                                         "(a rule of its Windows Firewall).",
                               Reason(reading)) +
                        kLineEnd,
                    exitCode};
        case FailureKind::AccessDenied:
            return {WithReason("Access to the System log of " + machine +
                                   " was denied. Reading another machine's event logs takes an "
                                   "account that is a member of that machine's Event Log Readers "
                                   "group, or of its Administrators.",
                               Reason(reading)) +
                        kLineEnd,
                    exitCode};
        default:
            return {WithReason("The System log of " + machine + " could not be read.",
                               Reason(reading)) +
                        kLineEnd,
                    exitCode};
    }
}

std::string RemoteUptimeLines(const std::string& name, std::optional<std::uint64_t> seconds) {
    if (!seconds) {
        return "\\\\" + name +
               ": no boot since its last shutdown is logged in its System log, so how long it "
               "has been up is not known." +
               kLineEnd;
    }
    return UptimeLine(name, *seconds) + kLineEnd +
           "(counted from the boot logged in its System log)" + kLineEnd;
}

std::string LogUptimeLines(const std::string& name, std::optional<std::uint64_t> seconds,
                           const std::string& endText) {
    if (!seconds) {
        return "\\\\" + name + ": no boot after its last shutdown is in the log, so how long it " +
               "had been up at the log's end (" + endText + ") is not known." + kLineEnd;
    }
    return UptimeLine(name, *seconds) + kLineEnd +
           "(counted from its last boot to the log's end, " + endText + ")" + kLineEnd;
}

std::optional<UtcSeconds> WindowStart(const Arguments& arguments, const LocalClock& clock,
                                      UtcSeconds now) {
    if (arguments.since) {
        return clock.StartOfLocalDay(*arguments.since);
    }
    if (arguments.previousDays) {
        return now - std::int64_t{*arguments.previousDays} * 86400;
    }
    return std::nullopt;
}

// The report of an exported log: its machine, as of its last record.
ToolResult ReportFromLogFile(const Arguments& arguments, const LocalMachine& machine,
                             const ToolSystem& system) {
    const std::string& path = *arguments.logFile;
    ombrix::base::Result<LogDigest> read = ReadLogFile(path, system);
    if (!read) {
        return {WithReason("No report can be made from the log file " + path + ".", read.Reason()) +
                    kLineEnd,
                kLogFileUnreadable};
    }
    LogDigest& log = *read;
    const UtcSeconds end = *log.end;
    const LocalClock& clock = system.Clock();
    const std::string name =
        log.computer.empty() ? "(a machine the log does not name)" : log.computer;
    std::string uptimeLines = LogUptimeLines(name, SecondsSinceLastBoot(log.systemEvents, end),
                                             clock.DateText(end) + " " + clock.TimeText(end));
    if (!arguments.systemEvents || !AnyRow(log.systemEvents)) {
        if (log.unreadable > 0) {
            uptimeLines += std::to_string(log.unreadable) +
                           " event record(s) could not be read and are left out." + kLineEnd;
        }
        if (arguments.systemEvents) {
            uptimeLines += std::string("No events are available: the log file holds none of ") +
                           "the System events this report is made of." + kLineEnd;
        }
        return {uptimeLines, kSuccess};
    }

    ReportInput input;
    input.machineName = name;
    input.subject = Subject::LogFile;
    input.logFile = path;
    input.timeZone = machine.timeZone;
    input.now = end;
    input.windowStart = WindowStart(arguments, clock, end);
    input.logBegins = log.systemBegins;
    input.applicationFailures = arguments.applicationFailures;
    input.events = std::move(log.systemEvents);
    if (arguments.applicationFailures) {
        if (log.applicationRecords == 0) {
            input.applicationProblem =
                "The log file holds no Application records, so its application failures are "
                "not known: export the Application log into it too.";
        }
        input.events.insert(input.events.end(), log.applicationEvents.begin(),
                            log.applicationEvents.end());
    }
    input.unreadableRecords = log.unreadable;
    return {BuildReport(input, clock), kSuccess};
}

}  // namespace

std::string UptimeLine(const std::string& machineName, std::uint64_t seconds) {
    return "\\\\" + machineName + " has been up for: " + LongDuration(seconds);
}

std::string UsageText(const std::string& fault) {
    std::string text = fault.empty() ? "" : fault + " ";
    text +=
        "Usage: uptime [[\\\\]machine | /l:file] [/s] [/a] [/d:mm/dd/yyyy | /p:n] [/? | /help]. "
        "Without a machine the local computer is reported. /l: reads an exported event log "
        "instead (XML from wevtutil qe LOG /f:xml or Event Viewer, UTF-8 or UTF-16, or .evtx "
        "on Windows) and reports its machine as of its last record. /s adds the key system "
        "events and statistics, /a also the application failures (and implies /s), /d: counts "
        "only the events after the given date (month first) and /p: only those of the previous "
        "n days.";
    return text + kLineEnd;
}

ToolResult RunTool(const std::vector<std::string>& args, const LocalMachine& machine,
                   const ToolSystem& system) {
    const ombrix::base::Result<Arguments> parsed = ParseArguments(args);
    if (!parsed) {
        return {UsageText(parsed.Reason()), ExitCodeFor(parsed.Kind())};
    }
    const Arguments& arguments = *parsed;
    if (arguments.help) {
        return {UsageText(""), kSuccess};
    }
    if (arguments.logFile) {
        return ReportFromLogFile(arguments, machine, system);
    }
    const bool remote = arguments.machine && !IsLocal(*arguments.machine, machine);
    const std::string localLine = UptimeLine(machine.name, machine.secondsSinceBoot) + kLineEnd;
    if (!remote && !arguments.systemEvents) {
        return {localLine, kSuccess};
    }

    const std::string name = remote ? *arguments.machine : machine.name;
    const std::unique_ptr<EventLogReader> log = system.OpenEventLog(remote ? name : "");
    ombrix::base::Result<LogRecords> systemLog = log->Read(SystemLogQuery());
    if (!systemLog) {
        if (remote) {
            return RemoteFailure(name, systemLog);
        }
        if (systemLog.Kind() == FailureKind::AccessDenied) {
            return {localLine +
                        WithReason("Access to this computer's System log was denied: the report "
                                   "needs an account that may read it, such as a member of the "
                                   "Event Log Readers group.",
                                   Reason(systemLog)) +
                        kLineEnd,
                    ExitCodeFor(systemLog.Kind())};
        }
        return {localLine + "No events are available: the System log could not be read (" +
                    Reason(systemLog) + ")." + kLineEnd,
                kSuccess};
    }

    ReadEvents read = Interpret(systemLog->records);
    const UtcSeconds now = system.Now();
    const std::string uptimeLines =
        remote ? RemoteUptimeLines(name, SecondsSinceLastBoot(read.events, now)) : localLine;
    if (!arguments.systemEvents) {
        return {uptimeLines, kSuccess};
    }
    if (!AnyRow(read.events)) {
        return {uptimeLines +
                    "No events are available: the System log holds none of the events this "
                    "report is made of." +
                    kLineEnd,
                kSuccess};
    }

    ReportInput input;
    input.machineName = name;
    input.subject = remote ? Subject::RemoteMachine : Subject::ThisComputer;
    input.osName = remote ? "" : machine.osName;
    input.timeZone = machine.timeZone;
    input.now = now;
    input.windowStart = WindowStart(arguments, system.Clock(), now);
    if (const auto oldest = ParseEventXml(systemLog->oldestRecord)) {
        input.logBegins = oldest->timeCreated;
    }
    if (!remote) {
        input.secondsSinceBoot = machine.secondsSinceBoot;
    }
    int exitCode = kSuccess;
    input.applicationFailures = arguments.applicationFailures;
    if (arguments.applicationFailures) {
        const ombrix::base::Result<LogRecords> applicationLog = log->Read(ApplicationLogQuery());
        const bool denied = !applicationLog && applicationLog.Kind() == FailureKind::AccessDenied;
        if (applicationLog) {
            ReadEvents failures = Interpret(applicationLog->records);
            read.events.insert(read.events.end(), failures.events.begin(), failures.events.end());
            read.unreadable += failures.unreadable;
        } else {
            input.applicationProblem = "The Application log could not be read (" +
                                       std::string(denied ? "access denied: " : "") +
                                       Reason(applicationLog) + "): its failures are missing.";
            if (denied) {
                exitCode = ExitCodeFor(FailureKind::AccessDenied);
            }
        }
    }
    input.events = std::move(read.events);
    input.unreadableRecords = read.unreadable;
    return {BuildReport(input, system.Clock()), exitCode};
}

}  // namespace uptime
