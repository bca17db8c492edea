#include "uptime/report/report.h"

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
        case EventKind::SystemUptime:
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

// The text on one line: line breaks and tabs (a typed shutdown comment may hold them) become
// blanks.
std::string OneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    for (const char c : text) {
        const bool breaks = c == '\r' || c == '\n' || c == '\t';
        if (!breaks) {
            line += c;
        } else if (line.empty() || line.back() != ' ') {
            line += ' ';
        }
    }
    return line;
}

std::string TableLine(const std::string& date, const std::string& time, const std::string& event,
                      const std::string& comment, bool timeToTheRight) {
    std::string line = PadRight(date, 10) + " " +
                       (timeToTheRight ? PadLeft(time, 11) : PadRight(time, 11)) + "  " +
                       PadRight(event, 19) + "  " + OneLine(comment);
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
    std::int64_t asleep = 0;       // of the uptime, at least
    std::int64_t unaccounted = 0;  // time the log does not tell about
    int reboots = 0;
    int bluescreens = 0;
    int applicationFailures = 0;
};

enum class State { Unknown, Up, Down };

// A boot's own first records (the kernel's) come before its boot event, within this time.
constexpr std::int64_t kBootRecordsBefore = 30 * 60;
// Shorter differences between the clock and the system's own count are not called sleep.
constexpr std::int64_t kSleepNoticed = 10 * 60;

}  // namespace

std::int64_t TimeAsleep(const std::vector<SystemEvent>& events, UtcSeconds boot, UtcSeconds end) {
    const SystemEvent* last = nullptr;
    for (const SystemEvent& event : events) {
        if (event.kind == EventKind::SystemUptime && event.time > boot && event.time <= end &&
            (last == nullptr || event.time >= last->time)) {
            last = &event;
        }
    }
    if (last == nullptr) {
        return 0;
    }
    const std::int64_t asleep = last->time - boot - last->seconds;
    return asleep >= kSleepNoticed ? asleep : 0;
}

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
        if (IsRow(event.kind) && (input.applicationFailures || !IsApplicationEvent(event.kind)) &&
            (!input.windowStart || event.time >= *input.windowStart)) {
            rows.push_back(event);
        }
    }
    const bool fromLog = input.subject == Subject::LogFile;
    const std::string nowText = clock.DateText(input.now) + " " + clock.TimeText(input.now);

    std::string out = "Uptime Report for: \\\\" + input.machineName + kLineEnd;
    if (fromLog) {
        out += "Log File: " + input.logFile + kLineEnd;
    }
    out += kLineEnd;
    out += "Current OS: " + (osName.empty() ? std::string("not known") : osName) + "." + kLineEnd;
    out += "Time Zone: " + (input.timeZone.empty() ? std::string("not known") : input.timeZone);
    if (input.subject != Subject::ThisComputer) {
        out += " (this computer's: the times below are shown in it)";
    }
    out += kLineEnd;
    if (input.windowStart && input.logBegins && *input.logBegins > *input.windowStart) {
        out += "The System log begins at " + clock.DateText(*input.logBegins) + " " +
               clock.TimeText(*input.logBegins) + ": it holds no older events." + kLineEnd;
    }
    out += kLineEnd;
    out += "System Events as of " + nowText + (fromLog ? " (the end of the log)" : "") + ":" +
           kLineEnd + kLineEnd;
    out += TableLine("Date:", "Time:", "Event:", "Comment:", false);
    out += TableLine(std::string(10, '-'), std::string(11, '-'), std::string(19, '-'),
                     std::string(34, '-'), false);
    out += kLineEnd;

    // The period counts from the first row; or from the log's first record, when that comes
    // earlier within the period asked for: the system was up to write it.
    const UtcSeconds firstRow = rows.empty() ? input.now : rows.front().time;
    const bool fromLogBegin = input.logBegins && *input.logBegins < firstRow &&
                              (!input.windowStart || *input.logBegins >= *input.windowStart);
    const UtcSeconds periodStart = fromLogBegin ? *input.logBegins : firstRow;
    // Before a first shutdown the system was up, and so it was when it wrote the log's first
    // record; its boot is then not in the period.
    const auto firstState = std::find_if(rows.begin(), rows.end(), [](const SystemEvent& e) {
        return e.kind == EventKind::Boot || IsShutdown(e.kind);
    });
    const bool upAtStart =
        fromLogBegin || (firstState != rows.end() && IsShutdown(firstState->kind));
    Tally tally;
    State state = upAtStart ? State::Up : State::Unknown;
    bool upSinceBoot = false;
    UtcSeconds since = periodStart;
    for (const SystemEvent& event : rows) {
        std::string comment = PlainComment(event);
        const std::int64_t span = event.time - since;
        if (event.kind == EventKind::Boot) {
            if (state == State::Down) {
                tally.downtime += span;
                comment = "Prior downtime:" + ShortDuration(span);
            } else if (state == State::Up && !upSinceBoot && fromLogBegin &&
                       span <= kBootRecordsBefore) {
                tally.uptime += span;  // the log starts with this boot: its first records
            } else if (span > 0) {
                tally.unaccounted += span;
                comment = "Prior downtime: not known (no shutdown logged before it)";
            }
            state = State::Up;
            upSinceBoot = true;
            since = event.time;
            ++tally.reboots;
        } else if (IsShutdown(event.kind)) {
            if (state == State::Up) {
                tally.uptime += span;
                if (upSinceBoot) {
                    const std::int64_t asleep = TimeAsleep(history, since, event.time);
                    tally.asleep += asleep;
                    comment = "Prior uptime:" + ShortDuration(span) +
                              (asleep > 0 ? ", asleep at least " + ShortDuration(asleep) : "");
                } else if (span > 0) {
                    comment = "Prior uptime:at least " + ShortDuration(span) +
                              (fromLogBegin ? " (the log begins after its boot)"
                                            : " (its boot is before this period)");
                }
            } else if (span > 0) {
                tally.unaccounted += span;
                comment = "Prior uptime: not known (no boot logged before it)";
            }
            state = State::Down;
            since = event.time;
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
        if (state == State::Up && upSinceBoot) {
            tally.asleep += TimeAsleep(history, since, input.now);
        }
    }
    if (rows.empty()) {
        out += std::string("No events of these kinds were logged in this period.") + kLineEnd;
    }
    if (input.unreadableRecords > 0) {
        out += std::to_string(input.unreadableRecords) +
               " event record(s) could not be read and are left out." + kLineEnd;
    }
    if (input.applicationFailures && !input.applicationProblem.empty()) {
        out += input.applicationProblem + kLineEnd;
    }
    out += kLineEnd;

    const std::optional<std::uint64_t> current =
        input.secondsSinceBoot ? input.secondsSinceBoot
                               : SecondsSinceLastBoot(input.events, input.now);
    out += fromLog ? "System Uptime at the Log's End: " : "Current System Uptime: ";
    if (current) {
        out += LongDuration(*current) + (fromLog ? " (from the last boot to the last record)" : "");
        const auto lastBoot = SecondsSinceLastBoot(history, input.now);
        const std::int64_t asleep =
            lastBoot
                ? TimeAsleep(history, input.now - static_cast<UtcSeconds>(*lastBoot), input.now)
                : 0;
        if (asleep > 0) {
            out += std::string(kLineEnd) + "(of it asleep or hibernating at least " +
                   LongDuration(static_cast<std::uint64_t>(asleep)) +
                   ", by the system's own uptime count)";
        }
    } else {
        out += "not known (no boot is logged since the last shutdown)";
    }
    out += kLineEnd;
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
    if (tally.asleep > 0) {
        out += "Time Asleep or Hibernating: at least " + ShortDuration(tally.asleep) +
               ", counted in the uptime" + kLineEnd;
    }
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
               (input.applicationProblem.empty() ? std::to_string(tally.applicationFailures)
                                                 : std::string("not known")) +
               kLineEnd;
    }
    return out;
}

}  // namespace uptime
