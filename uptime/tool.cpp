#include "uptime/tool.h"

#include <algorithm>
#include <cctype>

#include "uptime/arguments.h"
#include "uptime/event_xml.h"
#include "uptime/report.h"
#include "uptime/system_events.h"

namespace uptime {
namespace {

constexpr const char* kLineEnd = "\r\n";

bool SameName(std::string a, std::string b) {
    const auto lower = [](std::string& s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    };
    lower(a);
    lower(b);
    return a == b;
}

bool IsLocal(const std::string& name, const LocalMachine& machine) {
    return SameName(name, machine.name) || SameName(name, "localhost") || name == "." ||
           name == "127.0.0.1" || name == "::1";
}

std::string Reason(const LogReading& reading) {
    return reading.reason.empty() ? "no reason was given" : reading.reason;
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

// Why a remote machine's System log gave nothing, and the exit code that goes with it.
ToolResult RemoteFailure(const std::string& name, const LogReading& reading) {
    const std::string machine = "\\\\" + name;
    switch (reading.status) {
        case LogStatus::Unreachable:
            return {machine + " cannot be reached (" + Reason(reading) +
                        "). Check the name, the network, and that the machine allows remote "
                        "event log management." +
                        kLineEnd,
                    kMachineUnreachable};
        case LogStatus::AccessDenied:
            return {"Access to the event log of " + machine + " was denied (" + Reason(reading) +
                        "). Reading it takes an account with rights on that machine, such as a "
                        "member of its Event Log Readers group." +
                        kLineEnd,
                    kAccessDenied};
        default:
            return {"The System log of " + machine + " could not be read (" + Reason(reading) +
                        ")." + kLineEnd,
                    kEventLogUnreadable};
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

}  // namespace

std::string UptimeLine(const std::string& machineName, std::uint64_t seconds) {
    return "\\\\" + machineName + " has been up for: " + LongDuration(seconds);
}

std::string UsageText(const std::string& fault) {
    std::string text = fault.empty() ? "" : fault + " ";
    text +=
        "Usage: uptime [[\\\\]machine] [/s] [/a] [/d:mm/dd/yyyy | /p:n] [/? | /help]. "
        "Without a machine the local computer is reported. /s adds the key system events and "
        "statistics, /a also the application failures (and implies /s), /d: counts only the "
        "events after the given date (month first) and /p: only those of the previous n days.";
    return text + kLineEnd;
}

ToolResult RunTool(const std::vector<std::string>& args, const LocalMachine& machine,
                   const ToolSystem& system) {
    const ParseResult parsed = ParseArguments(args);
    if (!parsed.arguments) {
        return {UsageText(parsed.fault), kUsageError};
    }
    const Arguments& arguments = *parsed.arguments;
    if (arguments.help) {
        return {UsageText(""), kSuccess};
    }
    const bool remote = arguments.machine && !IsLocal(*arguments.machine, machine);
    const std::string localLine = UptimeLine(machine.name, machine.secondsSinceBoot) + kLineEnd;
    if (!remote && !arguments.systemEvents) {
        return {localLine, kSuccess};
    }

    const std::string name = remote ? *arguments.machine : machine.name;
    const std::unique_ptr<EventLogReader> log = system.OpenEventLog(remote ? name : "");
    const LogReading systemLog = log->Read(SystemLogQuery());
    if (systemLog.status != LogStatus::Read) {
        if (remote) {
            return RemoteFailure(name, systemLog);
        }
        if (systemLog.status == LogStatus::AccessDenied) {
            return {localLine + "Access to this computer's System log was denied (" +
                        Reason(systemLog) + "): the report needs an account that may read it." +
                        kLineEnd,
                    kAccessDenied};
        }
        return {localLine + "No events are available: the System log could not be read (" +
                    Reason(systemLog) + ")." + kLineEnd,
                kSuccess};
    }

    ReadEvents read = Interpret(systemLog.records);
    const UtcSeconds now = system.Now();
    const std::string uptimeLines =
        remote ? RemoteUptimeLines(name, SecondsSinceLastBoot(read.events, now)) : localLine;
    if (!arguments.systemEvents) {
        return {uptimeLines, kSuccess};
    }
    const bool anyEvent =
        std::any_of(read.events.begin(), read.events.end(),
                    [](const SystemEvent& event) { return event.kind != EventKind::OsVersion; });
    if (!anyEvent) {
        return {uptimeLines +
                    "No events are available: the System log holds none of the events this "
                    "report is made of." +
                    kLineEnd,
                kSuccess};
    }

    ReportInput input;
    input.machineName = name;
    input.remote = remote;
    input.osName = remote ? "" : machine.osName;
    input.timeZone = machine.timeZone;
    input.now = now;
    if (arguments.since) {
        input.windowStart = system.Clock().StartOfLocalDay(*arguments.since);
    } else if (arguments.previousDays) {
        input.windowStart = now - std::int64_t{*arguments.previousDays} * 86400;
    }
    if (const auto oldest = ParseEventXml(systemLog.oldestRecord)) {
        input.logBegins = oldest->timeCreated;
    }
    if (!remote) {
        input.secondsSinceBoot = machine.secondsSinceBoot;
    }
    int exitCode = kSuccess;
    input.applicationFailures = arguments.applicationFailures;
    if (arguments.applicationFailures) {
        const LogReading applicationLog = log->Read(ApplicationLogQuery());
        if (applicationLog.status == LogStatus::Read) {
            ReadEvents failures = Interpret(applicationLog.records);
            read.events.insert(read.events.end(), failures.events.begin(), failures.events.end());
            read.unreadable += failures.unreadable;
        } else {
            input.applicationLogProblem =
                (applicationLog.status == LogStatus::AccessDenied ? "access denied: " : "") +
                Reason(applicationLog);
            if (applicationLog.status == LogStatus::AccessDenied) {
                exitCode = kAccessDenied;
            }
        }
    }
    input.events = std::move(read.events);
    input.unreadableRecords = read.unreadable;
    return {BuildReport(input, system.Clock()), exitCode};
}

}  // namespace uptime
