#include "uptime/tool/machine_report.h"

#include <algorithm>
#include <utility>

#include "uptime/events/event_xml.h"
#include "uptime/events/system_events.h"

namespace uptime {
namespace {

using ombrix::base::FailureKind;
using ombrix::base::WithReason;

constexpr const char* kLineEnd = "\r\n";

template <typename T>
std::string Reason(const ombrix::base::Result<T>& failed) {
    return failed.Reason().empty() ? "no reason was given" : failed.Reason();
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

// A report of text alone, and the failure the summary shows for it, if any.
MachineReport Told(std::string name, std::string text, int exitCode = kSuccess,
                   std::string failure = "") {
    MachineReport report;
    report.name = std::move(name);
    report.text = std::move(text);
    report.exitCode = exitCode;
    report.failure = std::move(failure);
    return report;
}

// Why a remote machine's System log gave nothing, and the exit code that goes with it.
MachineReport RemoteFailure(const std::string& name,
                            const ombrix::base::Result<LogRecords>& reading) {
    const std::string machine = "\\\\" + name;
    MachineReport report = Told(name, "", ExitCodeFor(reading.Kind()));
    switch (reading.Kind()) {
        case FailureKind::Unreachable:
            report.text = WithReason(machine +
                                         " cannot be reached. Check the name, the network, "
                                         "and that the machine allows remote event log "
                                         "management (a rule of its Windows Firewall).",
                                     Reason(reading));
            report.failure = "cannot be reached: " + Reason(reading);
            break;
        case FailureKind::AccessDenied:
            report.text = WithReason("Access to the System log of " + machine +
                                         " was denied. Reading another machine's event logs "
                                         "takes an account that is a member of that machine's "
                                         "Event Log Readers group, or of its Administrators.",
                                     Reason(reading));
            report.failure = "access to its System log was denied: " + Reason(reading);
            break;
        default:
            report.text =
                WithReason("The System log of " + machine + " could not be read.", Reason(reading));
            report.failure = "its System log could not be read: " + Reason(reading);
            break;
    }
    report.text += kLineEnd;
    return report;
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

// The lines that name a renamed machine's earlier names, put after the report's first lines.
std::string WithEarlierNames(std::string text, const std::vector<std::string>& earlierNames,
                             const std::string& guess) {
    if (earlierNames.empty()) {
        return text;
    }
    std::string lines = "Earlier names:";
    for (std::size_t i = 0; i < earlierNames.size(); ++i) {
        lines += (i == 0 ? " \\\\" : ", \\\\") + earlierNames[i];
    }
    lines += kLineEnd;
    if (!guess.empty()) {
        lines += guess + kLineEnd;
    }
    const std::size_t headerEnd = text.find("\r\n\r\n");
    return headerEnd == std::string::npos ? text + lines : text.insert(headerEnd + 2, lines);
}

}  // namespace

MachineRun RunOf(const MachineReport& report) {
    MachineRun run;
    run.name = report.name;
    run.earlierNames = report.earlierNames;
    run.guess = report.guess;
    run.failure = report.failure;
    run.exitCode = report.exitCode;
    if (report.history) {
        HistoryReading reading = ReadHistory(*report.history);  // one walk for both
        run.figures = AnalyseHistory(*report.history, reading);
        run.rows = std::move(reading.rows);
        run.spans = std::move(reading.spans);
        run.upFor = run.figures->upFor;
        run.unreadableRecords = report.history->unreadableRecords;
    }
    return run;
}

ToolResult ResultOf(std::string output, int exitCode, const std::vector<MachineReport>& reports,
                    const Arguments& arguments, std::vector<NotRead> notRead) {
    ToolResult result(std::move(output), exitCode);
    // The text is made already; the model would walk every history again for nothing.
    if (arguments.face == Face::Text) {
        return result;
    }
    for (const MachineReport& report : reports) {
        result.model.machines.push_back(RunOf(report));
    }
    result.model.notRead = std::move(notRead);
    return result;
}

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

std::string UptimeLine(const std::string& machineName, std::uint64_t seconds) {
    return "\\\\" + machineName + " has been up for: " + LongDuration(seconds);
}

MachineReport LiveMachineReport(const Arguments& arguments, const LocalMachine& machine,
                                const ToolSystem& system, const std::string& name, bool remote,
                                const ombrix::base::Result<LogRecords>& systemLog,
                                const ombrix::base::Result<LogRecords>& applicationLog) {
    const std::string localLine = UptimeLine(machine.name, machine.secondsSinceBoot) + kLineEnd;
    if (!systemLog) {
        if (remote) {
            return RemoteFailure(name, systemLog);
        }
        if (systemLog.Kind() == FailureKind::AccessDenied) {
            return Told(name,
                        localLine +
                            WithReason("Access to this computer's System log was denied: the "
                                       "report needs an account that may read it, such as a "
                                       "member of the Event Log Readers group.",
                                       Reason(systemLog)) +
                            kLineEnd,
                        ExitCodeFor(systemLog.Kind()),
                        "access to its System log was denied: " + Reason(systemLog));
        }
        return Told(name, localLine +
                              "No events are available: the System log could not be read (" +
                              Reason(systemLog) + ")." + kLineEnd);
    }

    ReadEvents read = Interpret(systemLog->records);
    const UtcSeconds now = system.Now();
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
    MachineReport report = Told(name, "");
    const bool anyRow = AnyRow(read.events);
    input.applicationFailures = arguments.applicationFailures;
    if (arguments.applicationFailures && anyRow) {
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
                report.exitCode = ExitCodeFor(FailureKind::AccessDenied);
            }
        }
    }
    input.events = std::move(read.events);
    input.unreadableRecords = read.unreadable;

    const std::string uptimeLines =
        remote ? RemoteUptimeLines(name, SecondsSinceLastBoot(input.events, now)) : localLine;
    if (!arguments.systemEvents) {
        report.text = uptimeLines;
    } else if (!anyRow) {
        report.text = uptimeLines +
                      "No events are available: the System log holds none of the events this "
                      "report is made of." +
                      kLineEnd;
    } else {
        report.text = BuildReport(input, system.Clock());
    }
    report.history = std::move(input);
    return report;
}

MachineReport LogMachineReport(const Arguments& arguments, const LocalMachine& machine,
                               const ToolSystem& system, MachineLog log, const std::string& source,
                               const std::vector<std::string>& earlierNames,
                               const std::string& guess) {
    const UtcSeconds end = log.end.value_or(0);
    const LocalClock& clock = system.Clock();
    const std::string name =
        log.computer.empty() ? "(a machine the log does not name)" : log.computer;
    MachineReport report = Told(name, "");

    ReportInput input;
    input.machineName = name;
    input.subject = Subject::LogFile;
    input.logFile = source;
    input.timeZone = machine.timeZone;
    input.now = end;
    input.windowStart = WindowStart(arguments, clock, end);
    input.logBegins = log.systemBegins;
    input.applicationFailures = arguments.applicationFailures;
    const bool anyRow = AnyRow(log.systemEvents);
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

    if (!arguments.systemEvents || !anyRow) {
        std::string lines = LogUptimeLines(name, SecondsSinceLastBoot(input.events, end),
                                           clock.DateText(end) + " " + clock.TimeText(end));
        if (log.unreadable > 0) {
            lines += std::to_string(log.unreadable) +
                     " event record(s) could not be read and are left out." + kLineEnd;
        }
        if (arguments.systemEvents) {
            lines += std::string("No events are available: the log file holds none of ") +
                     "the System events this report is made of." + kLineEnd;
        }
        report.text = WithEarlierNames(std::move(lines), earlierNames, guess);
    } else {
        report.text = WithEarlierNames(BuildReport(input, clock), earlierNames, guess);
    }
    report.history = std::move(input);
    report.earlierNames = earlierNames;
    report.guess = guess;
    return report;
}

}  // namespace uptime
