#include "uptime/tool/fleet_run.h"

#include <chrono>
#include <thread>

#include "uptime/fleet/machine_identity.h"
#include "uptime/fleet/machine_list.h"
#include "uptime/fleet/machine_queries.h"
#include "uptime/logs/log_file.h"
#include "uptime/logs/machine_logs.h"
#include "uptime/tool/machine_report.h"
#include "uptime/tool/summary_table.h"

namespace uptime {
namespace {

using ombrix::base::Result;
using ombrix::base::WithReason;

constexpr const char* kLineEnd = "\r\n";
// A list of 10,000 names takes a few hundred kilobytes; a file far larger is no list.
constexpr std::size_t kListFileLimit = 16 * 1024 * 1024;

// The text of a list of machines, read through the same seam as the logs.
Result<std::string> ReadListFile(const std::string& path, const LogSources& sources) {
    Result<std::unique_ptr<ByteSource>> file = sources.OpenLogFile(path);
    if (!file) {
        return file.TakeFailure();
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const Result<std::size_t> read = (*file)->Read(buffer, sizeof buffer);
        if (!read) {
            return ombrix::base::Failure{read.Reason()};
        }
        if (*read == 0) {
            return text;
        }
        if (text.size() + *read > kListFileLimit) {
            return ombrix::base::Failure{"It is larger than 16 MB: no list of machines is."};
        }
        text.append(buffer, *read);
    }
}

// The logs of the machines asked, with this computer's own log for the names that stand for it.
class MachineSources final : public LogSources {
  public:
    MachineSources(const LogSources& system, const LocalMachine& machine)
        : system_(system), machine_(machine) {}
    std::unique_ptr<EventLogReader> OpenEventLog(const std::string& remoteMachine) const override {
        return system_.OpenEventLog(IsLocal(remoteMachine, machine_) ? "" : remoteMachine);
    }
    Result<std::unique_ptr<ByteSource>> OpenLogFile(const std::string& path) const override {
        return system_.OpenLogFile(path);
    }
    Result<void> ReadEvtxFile(const std::string& path, RecordSink& sink) const override {
        return system_.ReadEvtxFile(path, sink);
    }

  private:
    const LogSources& system_;
    const LocalMachine& machine_;
};

bool HasWildcard(const std::string& path) {
    return path.find_first_of("*?") != std::string::npos;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : ", ") + part;
    }
    return text;
}

MachineLog AsMachineLog(LogDigest digest) {
    MachineLog log;
    log.computer = std::move(digest.computer);
    log.records = digest.records;
    log.systemRecords = digest.systemRecords;
    log.applicationRecords = digest.applicationRecords;
    log.unreadable = digest.unreadable;
    log.systemEvents = std::move(digest.systemEvents);
    log.applicationEvents = std::move(digest.applicationEvents);
    log.systemBegins = digest.systemBegins;
    log.end = digest.end;
    return log;
}

// A run that reported one machine prints that machine's report alone.
ToolResult Alone(const MachineReport& report, const Arguments& arguments) {
    return ResultOf(report.text, report.exitCode, {report}, arguments);
}

// The fleet's summary and reports, with what they were made of.
ToolResult Fleet(const std::vector<MachineReport>& reports,
                 const std::vector<std::string>& problems, std::vector<NotRead> notRead,
                 const LocalClock& clock, const Arguments& arguments) {
    ToolResult text = FleetReport(reports, problems, clock);
    return ResultOf(std::move(text.output), text.exitCode, reports, arguments, std::move(notRead));
}

}  // namespace

ToolResult RunMachines(const Arguments& arguments, const LocalMachine& machine,
                       const ToolSystem& system) {
    std::vector<std::string> names = arguments.machines;
    std::vector<std::string> problems;
    std::vector<NotRead> notRead;
    for (const std::string& list : arguments.listFiles) {
        const Result<std::string> text = ReadListFile(list, system);
        const Result<std::vector<std::string>> listed =
            text ? ParseMachineList(*text)
                 : Result<std::vector<std::string>>(ombrix::base::Failure{text.Reason()});
        if (!listed) {
            problems.push_back("The list of machines " + list +
                               " cannot be used: " + listed.Reason());
            notRead.push_back({list, listed.Reason()});
        } else {
            names.insert(names.end(), listed->begin(), listed->end());
        }
    }
    // This computer is asked once, by its own name, whatever names stand for it.
    for (std::string& name : names) {
        name = IsLocal(name, machine) ? machine.name : name;
    }
    names = WithoutRepeats(std::move(names));
    if (names.empty()) {
        std::string output;
        for (const std::string& problem : problems) {
            output += problem + kLineEnd;
        }
        return {output, kUsageError};
    }

    QueryLimits limits;
    limits.parallel = static_cast<std::size_t>(arguments.parallel);
    limits.perMachine = std::chrono::seconds(arguments.waitSeconds.value_or(60));
    const MachineSources sources(system, machine);
    std::vector<MachineReport> reports;
    for (const MachineAnswer& answer :
         QueryMachines(sources, names, arguments.applicationFailures, limits)) {
        reports.push_back(LiveMachineReport(arguments, machine, system, answer.machine,
                                            !IsLocal(answer.machine, machine), answer.systemLog,
                                            answer.applicationLog));
    }
    if (reports.size() == 1 && problems.empty()) {
        return Alone(reports.front(), arguments);
    }
    return Fleet(reports, problems, std::move(notRead), system.Clock(), arguments);
}

ToolResult RunLogs(const Arguments& arguments, const LocalMachine& machine,
                   const ToolSystem& system) {
    std::string source = Joined(arguments.logFiles);
    const bool oneFile =
        !arguments.channel && arguments.logFiles.size() == 1 && !HasWildcard(source);
    Result<MachineLogs> read = ombrix::base::Failure{""};
    if (arguments.channel) {
        const CollectorChannel& channel = *arguments.channel;
        source = "the " + channel.channel + " channel of " +
                 (channel.collector.empty() ? "this computer" : "\\\\" + channel.collector);
        read = ReadCollectorChannel(system, channel.collector, channel.channel);
        if (!read) {
            return {
                WithReason("No report can be made from " + source + ".", read.Reason()) + kLineEnd,
                ExitCodeFor(read.Kind())};
        }
    } else {
        read = ReadMachineLogs(arguments.logFiles, system,
                               std::max(1u, std::thread::hardware_concurrency()));
        // One file gives no report for the reasons a log file has always given.
        const Result<LogDigest> alone =
            !read && oneFile ? ReadLogFile(source, system) : Result<LogDigest>(LogDigest{});
        if (!read) {
            return {WithReason("No report can be made from the log file" +
                                   std::string(oneFile ? " " : "s ") + source + ".",
                               alone ? read.Reason() : alone.Reason()) +
                        kLineEnd,
                    kLogFileUnreadable};
        }
    }

    std::vector<MachineReport> reports;
    for (MachineHistory& history : LinkRenamedMachines(std::move(read->machines))) {
        reports.push_back(LogMachineReport(arguments, machine, system, std::move(history.log),
                                           source, history.earlierNames, history.guess));
    }
    std::vector<std::string> problems;
    std::vector<NotRead> notRead;
    for (const LogProblem& problem : read->problems) {
        problems.push_back("Not read: " + problem.source + ": " + problem.reason);
        notRead.push_back({problem.source, problem.reason});
    }
    if (reports.empty()) {
        return {"No events are available: " + source +
                    " holds none of the events this report is made of." + kLineEnd,
                kSuccess};
    }
    if (reports.size() == 1 && problems.empty()) {
        return Alone(reports.front(), arguments);
    }
    // One file of one machine with records the report cannot use: read as a file of one
    // machine always was, so that its report counts them as before.
    Result<LogDigest> digest = reports.size() == 1 && oneFile
                                   ? ReadLogFile(source, system)
                                   : Result<LogDigest>(ombrix::base::Failure{""});
    if (digest) {
        return Alone(LogMachineReport(arguments, machine, system, AsMachineLog(std::move(*digest)),
                                      source, reports.front().earlierNames, reports.front().guess),
                     arguments);
    }
    return Fleet(reports, problems, std::move(notRead), system.Clock(), arguments);
}

}  // namespace uptime
