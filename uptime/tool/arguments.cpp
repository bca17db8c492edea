#include "uptime/tool/arguments.h"

#include <string_view>

#include "base/date_fields.h"
#include "base/digits.h"
#include "base/text.h"

namespace uptime {
namespace {

using ombrix::base::ReadDigits;

// A whole number of at most `maxDigits` digits.
std::optional<int> SmallNumber(const std::string& text, std::size_t maxDigits) {
    const auto value = ReadDigits(text, maxDigits);
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

// A command line the tool cannot take, and what is wrong with it.
ombrix::base::Failure Unsound(std::string fault) {
    return {std::move(fault), ombrix::base::FailureKind::BadRequest};
}

// A name to ask the network for: not empty, and none of the characters Windows refuses in
// computer names and that mark paths, wildcards or switches.
bool IsMachineName(const std::string& name) {
    return !name.empty() && name.find_first_of("\\/*?\"<>| \t") == std::string::npos;
}

// The switches that only make sense together, checked once every argument is read.
ombrix::base::Result<Arguments> Consistent(Arguments parsed, std::optional<std::string> channel) {
    const bool machines = !parsed.machines.empty() || !parsed.listFiles.empty();
    if (machines && !parsed.logFiles.empty()) {
        return Unsound(parsed.machines.empty()
                           ? "Give a list of machines with /m: or log files with /l:, not both: "
                             "the logs name their own machines."
                           : "Give a machine or a log file with /l:, not both: the log names its "
                             "own machine.");
    }
    if (parsed.channel && machines) {
        return Unsound(
            "Give machines or a collector with /c, not both: name the collector as "
            "/c:COLLECTOR.");
    }
    if (parsed.channel && !parsed.logFiles.empty()) {
        return Unsound("Give log files with /l: or a collector with /c, not both.");
    }
    if (channel) {
        if (!parsed.channel) {
            return Unsound("/e: names a collector's channel: give it with /c or /c:COLLECTOR.");
        }
        parsed.channel->channel = std::move(*channel);
    }
    return parsed;
}

}  // namespace

std::optional<CalendarDate> ParseMonthDayYear(const std::string& text) {
    const auto first = text.find('/');
    const auto second = first == std::string::npos ? std::string::npos : text.find('/', first + 1);
    if (second == std::string::npos || text.find('/', second + 1) != std::string::npos) {
        return std::nullopt;
    }
    const std::string_view fields(text);
    return ombrix::base::ReadDateFields(fields.substr(first + 1, second - first - 1),
                                        fields.substr(0, first), fields.substr(second + 1));
}

ombrix::base::Result<Arguments> ParseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    bool parallelGiven = false;
    bool faceGiven = false;
    std::optional<std::string> channelName;
    for (const std::string& arg : args) {
        const std::string lower = ombrix::base::ToLowerAscii(arg);
        const std::string value = arg.size() > 3 ? arg.substr(3) : "";
        if (lower == "/?" || lower == "/help") {
            parsed.help = true;
        } else if (lower == "/s") {
            parsed.systemEvents = true;
        } else if (lower == "/a") {
            parsed.applicationFailures = true;
            parsed.systemEvents = true;
        } else if (lower.rfind("/d:", 0) == 0) {
            if (parsed.since || parsed.previousDays) {
                return Unsound("Give only one of /d: and /p:, once.");
            }
            parsed.since = ParseMonthDayYear(value);
            if (!parsed.since) {
                return Unsound("\"" + arg +
                               "\" is not a valid date; write it month first, as /d:mm/dd/yyyy.");
            }
        } else if (lower.rfind("/p:", 0) == 0) {
            if (parsed.since || parsed.previousDays) {
                return Unsound("Give only one of /d: and /p:, once.");
            }
            const auto days = SmallNumber(value, 5);
            if (!days || *days < 1) {
                return Unsound("\"" + arg + "\" needs a whole number of days from 1 to 99999.");
            }
            parsed.previousDays = days;
        } else if (lower.rfind("/l:", 0) == 0) {
            if (value.empty()) {
                return Unsound(
                    "/l: needs the path of an exported log, as /l:C:\\Logs\\srv01-system.xml.");
            }
            parsed.logFiles.push_back(value);
        } else if (lower.rfind("/m:", 0) == 0) {
            if (value.empty()) {
                return Unsound(
                    "/m: needs the path of a list of machines, one name a line, as "
                    "/m:C:\\Lists\\servers.txt.");
            }
            parsed.listFiles.push_back(value);
        } else if (lower == "/c" || lower.rfind("/c:", 0) == 0) {
            if (parsed.channel) {
                return Unsound("Give only one collector with /c.");
            }
            std::string collector = value.rfind("\\\\", 0) == 0 ? value.substr(2) : value;
            if (lower == "/c:" || (lower != "/c" && !IsMachineName(collector))) {
                return Unsound("\"" + arg + "\" needs the collector's name, as /c:COLLECTOR; /c " +
                               "alone reads the ForwardedEvents channel of this computer.");
            }
            parsed.channel = CollectorChannel{std::move(collector)};
        } else if (lower.rfind("/e:", 0) == 0) {
            if (channelName) {
                return Unsound("Give only one channel with /e:.");
            }
            if (value.empty()) {
                return Unsound("/e: needs the name of a channel, as /e:ForwardedEvents.");
            }
            channelName = value;
        } else if (lower.rfind("/f:", 0) == 0) {
            const std::string face = ombrix::base::ToLowerAscii(value);
            if (faceGiven ||
                (face != "text" && face != "csv" && face != "json" && face != "html")) {
                return Unsound("\"" + arg + "\" is not a face this tool writes; give, once, " +
                               "/f:text (the default), /f:csv, /f:json or /f:html.");
            }
            faceGiven = true;
            parsed.face = face == "csv"    ? Face::Csv
                          : face == "json" ? Face::Json
                          : face == "html" ? Face::Html
                                           : Face::Text;
        } else if (lower.rfind("/o:", 0) == 0) {
            if (!parsed.outputFile.empty() || value.empty()) {
                return Unsound("/o: needs, once, the path of the file to write the report to, " +
                               std::string("as /o:C:\\Reports\\uptime.csv."));
            }
            parsed.outputFile = value;
        } else if (lower.rfind("/t:", 0) == 0) {
            const auto count = SmallNumber(value, 3);
            if (parallelGiven || !count || *count < 1 || *count > 256) {
                return Unsound("\"" + arg +
                               "\" needs, once, a whole number of machines to ask at a time "
                               "from 1 to 256.");
            }
            parallelGiven = true;
            parsed.parallel = *count;
        } else if (lower.rfind("/w:", 0) == 0) {
            const auto seconds = SmallNumber(value, 4);
            if (parsed.waitSeconds || !seconds || *seconds < 1 || *seconds > 3600) {
                return Unsound("\"" + arg +
                               "\" needs, once, a whole number of seconds to wait for each "
                               "machine from 1 to 3600.");
            }
            parsed.waitSeconds = seconds;
        } else if (arg.empty() || arg.front() == '/' || arg.front() == '-') {
            return Unsound("\"" + arg + "\" is not a switch this tool knows.");
        } else {
            std::string name = arg.rfind("\\\\", 0) == 0 ? arg.substr(2) : arg;
            if (!IsMachineName(name)) {
                return Unsound("\"" + arg + "\" is not a machine name.");
            }
            parsed.machines.push_back(std::move(name));
        }
    }
    return Consistent(std::move(parsed), std::move(channelName));
}

}  // namespace uptime
