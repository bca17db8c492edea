// What the tool prints for a command line, and its exit code.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/result.h"
#include "uptime/common/utc_time.h"
#include "uptime/logs/log_sources.h"
#include "uptime/report/local_clock.h"
#include "uptime/report/run_model.h"

namespace uptime {

enum ExitCode : int {
    kSuccess = 0,
    kUsageError = 1,
    kMachineUnreachable = 2,
    kAccessDenied = 3,
    kEventLogUnreadable = 4,  // a remote machine's log, for another reason
    kLogFileUnreadable = 5,   // /l: a file that gives no report
    kSomeFailed = 6,          // some machines or files failed; the others are reported
};

// What the tool knows of the machine it runs on.
struct LocalMachine {
    std::string name;
    std::uint64_t secondsSinceBoot = 0;
    std::string osName;    // empty when not known
    std::string timeZone;  // empty when not known
};

// The system services the tool uses; tests put recorded events behind it.
class ToolSystem : public LogSources {
  public:
    virtual UtcSeconds Now() const = 0;
    virtual const LocalClock& Clock() const = 0;
};

struct ToolResult {
    ToolResult() = default;
    ToolResult(std::string text, int code) : output(std::move(text)), exitCode(code) {}

    std::string output;  // standard output, lines ending in CR LF
    int exitCode = kSuccess;
    RunModel model;          // what the run found, for the faces other than text
    std::string outputFile;  // /o:, where the output goes instead of standard output
    bool utf8 = false;       // the output is UTF-8 bytes, not text for the console's code page
};

ToolResult RunTool(const std::vector<std::string>& args, const LocalMachine& machine,
                   const ToolSystem& system);

// Whether a machine name stands for this computer.
bool IsLocal(const std::string& name, const LocalMachine& machine);

// "\\NAME has been up for: D day(s), H hour(s), M minute(s), S second(s)"
std::string UptimeLine(const std::string& machineName, std::uint64_t seconds);

// The one-paragraph usage text, led by the fault when there is one.
std::string UsageText(const std::string& fault);

}  // namespace uptime
