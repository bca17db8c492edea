#include "uptime/tool/tool.h"

#include "base/text.h"
#include "uptime/events/system_events.h"
#include "uptime/report/console_text.h"
#include "uptime/report/csv_report.h"
#include "uptime/report/html_report.h"
#include "uptime/report/json_report.h"
#include "uptime/tool/arguments.h"
#include "uptime/tool/fleet_run.h"
#include "uptime/tool/machine_report.h"

namespace uptime {
namespace {

using ombrix::base::EqualsIgnoringCase;

constexpr const char* kLineEnd = "\r\n";

// One machine named on the command line, or this computer: asked as today, one log after the
// other.
ToolResult RunOneMachine(const Arguments& arguments, const LocalMachine& machine,
                         const ToolSystem& system) {
    const bool remote = !arguments.machines.empty() && !IsLocal(arguments.machines[0], machine);
    if (!remote && !arguments.systemEvents) {
        ToolResult result{UptimeLine(machine.name, machine.secondsSinceBoot) + kLineEnd, kSuccess};
        result.model.machines.push_back(MachineRun{});
        result.model.machines.back().name = machine.name;
        result.model.machines.back().upFor = machine.secondsSinceBoot;
        return result;
    }
    const std::string name = remote ? arguments.machines[0] : machine.name;
    const std::unique_ptr<EventLogReader> log = system.OpenEventLog(remote ? name : "");
    const ombrix::base::Result<LogRecords> systemLog = log->Read(SystemLogQuery());
    ombrix::base::Result<LogRecords> applicationLog = ombrix::base::Failure{"not asked"};
    if (systemLog && arguments.applicationFailures) {
        applicationLog = log->Read(ApplicationLogQuery());
    }
    const MachineReport report =
        LiveMachineReport(arguments, machine, system, name, remote, systemLog, applicationLog);
    return ResultOf(report.text, report.exitCode, {report}, arguments);
}

}  // namespace

bool IsLocal(const std::string& name, const LocalMachine& machine) {
    return EqualsIgnoringCase(name, machine.name) || EqualsIgnoringCase(name, "localhost") ||
           name == "." || name == "127.0.0.1" || name == "::1";
}

std::string UsageText(const std::string& fault) {
    std::string text = fault.empty() ? "" : fault + " ";
    text +=
        "Usage: uptime [[\\\\]machine ... | /m:list ... | /l:file ... | /c[:collector] "
        "[/e:channel]] [/s] [/a] [/d:mm/dd/yyyy | /p:n] [/t:n] [/w:seconds] "
        "[/f:text|csv|json|html] [/o:file] [/? | /help]. "
        "Without a machine the local computer is reported. Several machines, named or listed one "
        "a line in /m: files, are reported together: a summary with a row for each, then each "
        "one's report. /t: sets how many are asked at a time (1 to 256, 16 unless given) and "
        "/w: how many seconds each may take (1 to 3600, 60 unless given). /l: reads an exported "
        "event log instead (XML from wevtutil qe LOG /f:xml or Event Viewer, UTF-8 or UTF-16, or "
        ".evtx on Windows; repeat it, or use * and ? in the file name, for several) and reports "
        "each machine in it as of its last record. /c reads the ForwardedEvents channel of this "
        "computer, a Windows Event Forwarding collector, /c:NAME that of the collector NAME, and "
        "/e: another channel. A machine renamed within its logs is reported under its newest "
        "name, linked by its rename record (EventLog 6011) or, where that is missing, guessed "
        "from its records' times, which its report then says. /s adds the key system events and "
        "statistics, /a also the application failures (and implies /s), /d: counts only the "
        "events after the given date (month first) and /p: only those of the previous n days. "
        "/f:csv writes comma-separated values (UTF-8, one row a machine, or with /s one row an "
        "event) instead of text, /f:json one JSON document (times in UTC, durations in "
        "seconds, with /s each machine's events), and /f:html one page with the summary, each "
        "machine's timeline and its events. /o: writes the report to a file, whole or not at "
        "all. "
        "Exit codes: 0 reported, 1 usage, 2 not reached, 3 access denied, 4 log not readable, 5 "
        "log file gives no report, 6 some machines or files failed and the others are reported.";
    return text + kLineEnd;
}

namespace {

// The run's result in the face asked for. A run that reported no machine keeps its text, the
// reason, which no other face has room for; and it goes to the console, so that a file of /o:
// keeps its last report. Text is made safe for the console whatever the logs held.
ToolResult InFace(ToolResult result, const Arguments& arguments, const ToolSystem& system,
                  const std::string& timeZone) {
    if (result.model.machines.empty() && result.exitCode != kSuccess) {
        result.output = ConsoleText(result.output);
        return result;
    }
    if (arguments.face == Face::Csv) {
        result.output = CsvReport(result.model, arguments.systemEvents, system.Clock());
        result.utf8 = true;
    } else if (arguments.face == Face::Json) {
        result.output =
            JsonReport(result.model, arguments.systemEvents, {UPTIME_VERSION, system.Now()});
        result.utf8 = true;
    } else if (arguments.face == Face::Html) {
        result.output = HtmlReport(result.model, system.Clock(), timeZone);
        result.utf8 = true;
    } else {
        result.output = ConsoleText(result.output);
    }
    result.outputFile = arguments.outputFile;
    return result;
}

ToolResult Run(const Arguments& arguments, const LocalMachine& machine, const ToolSystem& system) {
    if (!arguments.logFiles.empty() || arguments.channel) {
        return RunLogs(arguments, machine, system);
    }
    if (arguments.machines.size() > 1 || !arguments.listFiles.empty() || arguments.waitSeconds) {
        return RunMachines(arguments, machine, system);
    }
    return RunOneMachine(arguments, machine, system);
}

}  // namespace

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
    return InFace(Run(arguments, machine, system), arguments, system, machine.timeZone);
}

}  // namespace uptime
