#include "uptime/tool.h"

#include <algorithm>
#include <cctype>

#include "uptime/arguments.h"

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

}  // namespace

std::string UptimeLine(const std::string& machineName, std::uint64_t seconds) {
    const std::uint64_t days = seconds / 86400;
    const std::uint64_t hours = seconds / 3600 % 24;
    const std::uint64_t minutes = seconds / 60 % 60;
    return "\\\\" + machineName + " has been up for: " + std::to_string(days) + " day(s), " +
           std::to_string(hours) + " hour(s), " + std::to_string(minutes) + " minute(s), " +
           std::to_string(seconds % 60) + " second(s)";
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

ToolResult RunTool(const std::vector<std::string>& args, const LocalMachine& machine) {
    const ParseResult parsed = ParseArguments(args);
    if (!parsed.arguments) {
        return {UsageText(parsed.fault), kUsageError};
    }
    const Arguments& arguments = *parsed.arguments;
    if (arguments.help) {
        return {UsageText(""), kSuccess};
    }
    if (arguments.machine && !IsLocal(*arguments.machine, machine)) {
        return {"\\\\" + *arguments.machine +
                    ": remote machines are not supported yet by this uptime tool; "
                    "run it without a machine name to report this computer." +
                    kLineEnd,
                kRemoteNotSupported};
    }
    std::string output = UptimeLine(machine.name, machine.secondsSinceBoot) + kLineEnd;
    if (arguments.systemEvents) {
        output += std::string(
                      "The event-log report (/s, /a) is not available yet in this uptime "
                      "tool: no events were read.") +
                  kLineEnd;
    }
    return {output, kSuccess};
}

}  // namespace uptime
