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
    for (const std::string& arg : args) {
        const std::string lower = ombrix::base::ToLowerAscii(arg);
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
            parsed.since = ParseMonthDayYear(arg.substr(3));
            if (!parsed.since) {
                return Unsound("\"" + arg +
                               "\" is not a valid date; write it month first, as /d:mm/dd/yyyy.");
            }
        } else if (lower.rfind("/p:", 0) == 0) {
            if (parsed.since || parsed.previousDays) {
                return Unsound("Give only one of /d: and /p:, once.");
            }
            const auto days = SmallNumber(arg.substr(3), 5);
            if (!days || *days < 1) {
                return Unsound("\"" + arg + "\" needs a whole number of days from 1 to 99999.");
            }
            parsed.previousDays = days;
        } else if (lower.rfind("/l:", 0) == 0) {
            if (parsed.logFile) {
                return Unsound("Give only one log file with /l:.");
            }
            if (arg.size() == 3) {
                return Unsound(
                    "/l: needs the path of an exported log, as /l:C:\\Logs\\srv01-system.xml.");
            }
            parsed.logFile = arg.substr(3);
        } else if (arg.empty() || arg.front() == '/' || arg.front() == '-') {
            return Unsound("\"" + arg + "\" is not a switch this tool knows.");
        } else {
            if (parsed.machine) {
                return Unsound("Give one machine name only; \"" + arg + "\" is a second one.");
            }
            std::string name = arg.rfind("\\\\", 0) == 0 ? arg.substr(2) : arg;
            if (name.empty() || name.find('\\') != std::string::npos) {
                return Unsound("\"" + arg + "\" is not a machine name.");
            }
            parsed.machine = std::move(name);
        }
    }
    if (parsed.machine && parsed.logFile) {
        return Unsound(
            "Give a machine or a log file with /l:, not both: the log names its own machine.");
    }
    return parsed;
}

}  // namespace uptime
