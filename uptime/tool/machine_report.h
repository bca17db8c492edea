// One machine's report exactly as a run for that machine alone prints it, and the history it was
// made of, for the fleet's summary.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "uptime/logs/event_log.h"
#include "uptime/logs/machine_logs.h"
#include "uptime/report/report.h"
#include "uptime/tool/arguments.h"
#include "uptime/tool/tool.h"

namespace uptime {

struct MachineReport {
    std::string name;  // without "\\"
    std::string text;  // lines ending in CR LF
    int exitCode = kSuccess;
    std::optional<ReportInput> history;     // the events read, whether or not the text shows them
    std::string failure;                    // set when the machine gave nothing: what and why
    std::vector<std::string> earlierNames;  // a renamed machine's, oldest first
    std::string guess;                      // how they were linked, when it was guessed
};

// The report as numbers and times, from the history it was made of.
MachineRun RunOf(const MachineReport& report);

// A run's result: its text, and where a face other than text was asked for, its model.
ToolResult ResultOf(std::string output, int exitCode, const std::vector<MachineReport>& reports,
                    const Arguments& arguments, std::vector<NotRead> notRead = {});

// The exit code that tells a kind of failure.
int ExitCodeFor(ombrix::base::FailureKind kind);

// A live machine's report from its logs as read. `applicationLog` is looked at only with /a.
// `remote` is false for this computer, whose own count of its uptime is in `machine`.
MachineReport LiveMachineReport(const Arguments& arguments, const LocalMachine& machine,
                                const ToolSystem& system, const std::string& name, bool remote,
                                const ombrix::base::Result<LogRecords>& systemLog,
                                const ombrix::base::Result<LogRecords>& applicationLog);

// A machine's report from its records in exported logs (`source` names the files for the
// report's "Log File:" line). Its earlier names, and how they were found, follow its first lines.
MachineReport LogMachineReport(const Arguments& arguments, const LocalMachine& machine,
                               const ToolSystem& system, MachineLog log, const std::string& source,
                               const std::vector<std::string>& earlierNames = {},
                               const std::string& guess = "");

}  // namespace uptime
