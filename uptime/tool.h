// What the stand-in tool prints for a command line, and its exit code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace uptime {

enum ExitCode : int {
    kSuccess = 0,
    kUsageError = 1,
    kRemoteNotSupported = 2,
};

// What the tool knows of the machine it runs on.
struct LocalMachine {
    std::string name;
    std::uint64_t secondsSinceBoot = 0;
};

struct ToolResult {
    std::string output;  // standard output, lines ending in CR LF
    int exitCode = kSuccess;
};

ToolResult RunTool(const std::vector<std::string>& args, const LocalMachine& machine);

// "\\NAME has been up for: D day(s), H hour(s), M minute(s), S second(s)"
std::string UptimeLine(const std::string& machineName, std::uint64_t seconds);

// The one-paragraph usage text, led by the fault when there is one.
std::string UsageText(const std::string& fault);

}  // namespace uptime
