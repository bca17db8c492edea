#include "uptime/arguments.h"

#include <algorithm>
#include <cctype>

#include "base/calendar.h"

namespace uptime {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// A whole number of at most `maxDigits` digits.
std::optional<int> SmallNumber(const std::string& text, std::size_t maxDigits) {
    if (!AllDigits(text) || text.size() > maxDigits) {
        return std::nullopt;
    }
    return std::stoi(text);
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<CalendarDate> ParseMonthDayYear(const std::string& text) {
    const auto first = text.find('/');
    const auto second = first == std::string::npos ? std::string::npos : text.find('/', first + 1);
    if (second == std::string::npos || text.find('/', second + 1) != std::string::npos) {
        return std::nullopt;
    }
    const auto month = SmallNumber(text.substr(0, first), 2);
    const auto day = SmallNumber(text.substr(first + 1, second - first - 1), 2);
    const std::string yearText = text.substr(second + 1);
    auto year = SmallNumber(yearText, 4);
    if (!month || !day || !year || yearText.size() == 3) {
        return std::nullopt;
    }
    if (yearText.size() <= 2) {
        *year += *year < 30 ? 2000 : 1900;
    }
    if (*year < 1601 || *month < 1 || *month > 12 || *day < 1 ||
        *day > DaysInMonth(*year, *month)) {
        return std::nullopt;
    }
    return CalendarDate{*year, *month, *day};
}

ParseResult ParseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    for (const std::string& arg : args) {
        const std::string lower = Lower(arg);
        if (lower == "/?" || lower == "/help") {
            parsed.help = true;
        } else if (lower == "/s") {
            parsed.systemEvents = true;
        } else if (lower == "/a") {
            parsed.applicationFailures = true;
            parsed.systemEvents = true;
        } else if (lower.rfind("/d:", 0) == 0) {
            if (parsed.since || parsed.previousDays) {
                return {std::nullopt, "Give only one of /d: and /p:, once."};
            }
            parsed.since = ParseMonthDayYear(arg.substr(3));
            if (!parsed.since) {
                return {
                    std::nullopt,
                    "\"" + arg + "\" is not a valid date; write it month first, as /d:mm/dd/yyyy."};
            }
        } else if (lower.rfind("/p:", 0) == 0) {
            if (parsed.since || parsed.previousDays) {
                return {std::nullopt, "Give only one of /d: and /p:, once."};
            }
            const auto days = SmallNumber(arg.substr(3), 5);
            if (!days || *days < 1) {
                return {std::nullopt,
                        "\"" + arg + "\" needs a whole number of days from 1 to 99999."};
            }
            parsed.previousDays = days;
        } else if (arg.empty() || arg.front() == '/' || arg.front() == '-') {
            return {std::nullopt, "\"" + arg + "\" is not a switch this tool knows."};
        } else {
            if (parsed.machine) {
                return {std::nullopt,
                        "Give one machine name only; \"" + arg + "\" is a second one."};
            }
            std::string name = arg.rfind("\\\\", 0) == 0 ? arg.substr(2) : arg;
            if (name.empty() || name.find('\\') != std::string::npos) {
                return {std::nullopt, "\"" + arg + "\" is not a machine name."};
            }
            parsed.machine = std::move(name);
        }
    }
    return {parsed, {}};
}

}  // namespace uptime
