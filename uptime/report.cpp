#include "uptime/report.h"

#include <algorithm>

namespace uptime {
namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr std::int64_t kSecondsPerDay = 86400;

bool IsShutdown(EventKind kind) {
    return kind == EventKind::Shutdown || kind == EventKind::UnexpectedShutdown;
}

bool IsApplicationEvent(EventKind kind) {
    return kind == EventKind::ApplicationFailure || kind == EventKind::ApplicationHang ||
           kind == EventKind::ApplicationLogCleared;
}

std::string Label(EventKind kind) {
    switch (kind) {
        case EventKind::Boot:
            return "Boot";
        case EventKind::Shutdown:
            return "Shutdown";
        case EventKind::UnexpectedShutdown:
        case EventKind::UndatedUnexpectedShutdown:
            return "Unexpected shutdown";
        case EventKind::RestartRequest:
            return "Restart requested";
        case EventKind::ShutdownRequest:
            return "Shutdown requested";
        case EventKind::PowerLoss:
            return "Power loss";
        case EventKind::Bluescreen:
            return "Bluescreen";
        case EventKind::SystemLogCleared:
        case EventKind::ApplicationLogCleared:
            return "Log cleared";
        case EventKind::ApplicationFailure:
            return "Application failure";
        case EventKind::ApplicationHang:
            return "Application hang";
        case EventKind::OsVersion:
            break;
    }
    return {};
}

std::string PlainComment(const SystemEvent& event) {
    switch (event.kind) {
        case EventKind::SystemLogCleared:
            return "System log" + (event.detail.empty() ? "" : ", " + event.detail) +
                   "; older events are gone";
        case EventKind::ApplicationLogCleared:
            return "Application log" + (event.detail.empty() ? "" : ", " + event.detail) +
                   "; older events are gone";
        default:
            return event.detail;
    }
}

std::string PadRight(std::string text, std::size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
    return text;
}

std::string PadLeft(const std::string& text, std::size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string TableLine(const std::string& date, const std::string& time, const std::string& event,
                      const std::string& comment, bool timeToTheRight) {
    std::string line = PadRight(date, 10) + " " +
                       (timeToTheRight ? PadLeft(time, 11) : PadRight(time, 11)) + "  " +
                       PadRight(event, 19) + "  " + comment;
    line.erase(line.find_last_not_of(' ') + 1);
    return line + kLineEnd;
}

// `value` / `divisor` in units of 10^-decimals, rounded half up, written with the decimals.
std::string Decimal(std::int64_t value, std::int64_t divisor, int decimals) {
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    const std::int64_t units = (2 * value * scale + divisor) / (2 * divisor);
    const std::string fraction = std::to_string(units % scale);
    return std::to_string(units / scale) + "." +
           std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
}

// Walks the events in time order: whether the system was up or down between them.
struct Tally {
    std::int64_t uptime = 0;
    std::int64_t downtime = 0;
    std::int64_t unaccounted = 0;  // time the log does not tell about
    int reboots = 0;
    int bluescreens = 0;
    int applicationFailures = 0;
};

enum class State { Unknown, Up, Down };

}  // namespace

std::optional<std::uint64_t> SecondsSinceLastBoot(const std::vector<SystemEvent>& events,
                                                  UtcSeconds now) {
    const SystemEvent* last = nullptr;
    for (const SystemEvent& event : events) {
        if ((event.kind == EventKind::Boot || IsShutdown(event.kind)) &&
            (last == nullptr || event.time >= last->time)) {
            last = &event;
        }
    }
    if (last == nullptr || last->kind != EventKind::Boot || last->time > now) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(now - last->time);
}

std::string BuildReport(const ReportInput& input, const LocalClock& clock) {
    std::vector<SystemEvent> history = input.events;
    std::stable_sort(history.begin(), history.end(),
                     [](const SystemEvent& a, const SystemEvent& b) { return a.time < b.time; });

    std::string osName = input.osName;
    if (osName.empty()) {
        for (const SystemEvent& event : history) {
            if (event.kind == EventKind::OsVersion) {
                osName = event.detail;
            }
        }
    }

    std::vector<SystemEvent> rows;
    for (const SystemEvent& event : history) {
        if (event.kind != EventKind::OsVersion &&
            (input.applicationFailures || !IsApplicationEvent(event.kind)) &&
            (!input.windowStart || event.time >= *input.windowStart)) {
            rows.push_back(event);
        }
    }

    std::string out = "Uptime Report for: \\\\" + input.machineName + kLineEnd + kLineEnd;
    out += "Current OS: " + (osName.empty() ? std::string("not known") : osName) + "." + kLineEnd;
    out += "Time Zone: " + (input.timeZone.empty() ? std::string("not known") : input.timeZone);
    if (input.remote) {
        out += " (this computer's: the times below are shown in it)";
    }
    out += kLineEnd;
    if (input.windowStart && input.logBegins && *input.logBegins > *input.windowStart) {
        out += "The System log begins at " + clock.DateText(*input.logBegins) + " " +
               clock.TimeText(*input.logBegins) + ": it holds no older events." + kLineEnd;
    }
    out += kLineEnd;
    out += "System Events as of " + clock.DateText(input.now) + " " + clock.TimeText(input.now) +
           ":" + kLineEnd + kLineEnd;
    out += TableLine("Date:", "Time:", "Event:", "Comment:", false);
    out += TableLine(std::string(10, '-'), std::string(11, '-'), std::string(19, '-'),
                     std::string(34, '-'), false);
    out += kLineEnd;

    Tally tally;
    State state = State::Unknown;
    const UtcSeconds periodStart = rows.empty() ? input.now : rows.front().time;
    UtcSeconds since = periodStart;
    for (const SystemEvent& event : rows) {
        std::string comment = PlainComment(event);
        const bool boot = event.kind == EventKind::Boot;
        if (boot || IsShutdown(event.kind)) {
            const State partner = boot ? State::Down : State::Up;
            const std::string prior = boot ? "Prior downtime:" : "Prior uptime:";
            if (state == partner) {
                (boot ? tally.downtime : tally.uptime) += event.time - since;
                comment = prior + ShortDuration(event.time - since);
            } else if (event.time > since) {
                tally.unaccounted += event.time - since;
                comment = prior + std::string(" not known (no ") + (boot ? "shutdown" : "boot") +
                          " logged before it)";
            }
            state = boot ? State::Up : State::Down;
            since = event.time;
            tally.reboots += boot ? 1 : 0;
        }
        tally.bluescreens += event.kind == EventKind::Bluescreen ? 1 : 0;
        tally.applicationFailures +=
            event.kind == EventKind::ApplicationFailure || event.kind == EventKind::ApplicationHang
                ? 1
                : 0;
        out += TableLine(clock.DateText(event.time), clock.TimeText(event.time), Label(event.kind),
                         comment, true);
    }
    if (input.now > since) {
        (state == State::Up ? tally.uptime : tally.unaccounted) += input.now - since;
    }
    if (rows.empty()) {
        out += std::string("No events of these kinds were logged in this period.") + kLineEnd;
    }
    if (input.unreadableRecords > 0) {
        out += std::to_string(input.unreadableRecords) +
               " event record(s) could not be read and are left out." + kLineEnd;
    }
    if (input.applicationFailures && !input.applicationLogProblem.empty()) {
        out += "The Application log could not be read (" + input.applicationLogProblem +
               "): its failures are missing." + kLineEnd;
    }
    out += kLineEnd;

    const std::optional<std::uint64_t> current =
        input.secondsSinceBoot ? input.secondsSinceBoot
                               : SecondsSinceLastBoot(input.events, input.now);
    out += "Current System Uptime: " +
           (current ? LongDuration(*current)
                    : std::string("not known (no boot is logged since the last shutdown)")) +
           kLineEnd;
    out += std::string(79, '-') + kLineEnd;
    if (rows.empty()) {
        out += std::string("No figures: no event of this period tells them.") + kLineEnd;
        return out;
    }
    out += "Since " + clock.DateText(periodStart) + ":" + kLineEnd + kLineEnd;

    const std::int64_t accounted = tally.uptime + tally.downtime;
    out += "System Availability: " +
           (accounted > 0 ? Decimal(100 * tally.uptime, accounted, 4) + "%" +
                                (tally.unaccounted > 0 ? " (of the accounted time)" : "")
                          : std::string("not known (the log shows no up or down time)")) +
           kLineEnd;
    out += "Total Uptime: " + ShortDuration(tally.uptime) + kLineEnd;
    out += "Total Downtime: " + ShortDuration(tally.downtime) + kLineEnd;
    if (tally.unaccounted > 0) {
        out += "Unaccounted Time: " + ShortDuration(tally.unaccounted) +
               " (the log does not show whether the system was up)" + kLineEnd;
    }
    out += "Total Reboots: " + std::to_string(tally.reboots) + kLineEnd;
    const std::int64_t period = std::max<std::int64_t>(0, input.now - periodStart);
    out += "Mean Time Between Reboots: " +
           (tally.reboots > 0 ? Decimal(period, kSecondsPerDay * tally.reboots, 2) + " days"
                              : std::string("not known (no reboot in this period)")) +
           kLineEnd;
    out += "Total Bluescreens: " + std::to_string(tally.bluescreens) + kLineEnd;
    if (input.applicationFailures) {
        out += "Total Application Failures: " +
               (input.applicationLogProblem.empty() ? std::to_string(tally.applicationFailures)
                                                    : std::string("not known")) +
               kLineEnd;
    }
    return out;
}

}  // namespace uptime
