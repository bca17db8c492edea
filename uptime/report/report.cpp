#include "uptime/report/report.h"

#include <algorithm>

#include "uptime/history/machine_figures.h"
#include "uptime/report/availability_strip.h"
#include "uptime/report/console_text.h"

namespace uptime {
namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr std::int64_t kSecondsPerDay = 86400;

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

// What a boot or shutdown row says of the time before it; otherwise the event's own comment.
std::string Comment(const HistoryRow& row) {
    const std::string span = ShortDuration(row.priorSeconds);
    switch (row.prior) {
        case Prior::None:
            break;
        case Prior::Downtime:
            return "Prior downtime:" + span;
        case Prior::DowntimeNotKnown:
            return "Prior downtime: not known (no shutdown logged before it)";
        case Prior::Uptime:
            return "Prior uptime:" + span +
                   (row.asleep > 0 ? ", asleep at least " + ShortDuration(row.asleep) : "");
        case Prior::UptimeSinceLogBegins:
            return "Prior uptime:at least " + span + " (the log begins after its boot)";
        case Prior::UptimeSincePeriodStart:
            return "Prior uptime:at least " + span + " (its boot is before this period)";
        case Prior::UptimeNotKnown:
            return "Prior uptime: not known (no boot logged before it)";
    }
    return PlainComment(row.event);
}

// The statistics under the table.
std::string Figures(const ReportInput& input, const HistoryReading& reading) {
    const HistoryTotals& totals = reading.totals;
    const std::int64_t accounted = totals.uptime + totals.downtime;
    std::string out =
        "System Availability: " +
        (accounted > 0 ? Decimal(100 * totals.uptime, accounted, 4) + "%" +
                             (totals.unaccounted > 0 ? " (of the accounted time)" : "")
                       : std::string("not known (the log shows no up or down time)")) +
        kLineEnd;
    out += "Total Uptime: " + ShortDuration(totals.uptime) + kLineEnd;
    out += "Total Downtime: " + ShortDuration(totals.downtime) + kLineEnd;
    if (totals.asleep > 0) {
        out += "Time Asleep or Hibernating: at least " + ShortDuration(totals.asleep) +
               ", counted in the uptime" + kLineEnd;
    }
    if (totals.unaccounted > 0) {
        out += "Unaccounted Time: " + ShortDuration(totals.unaccounted) +
               " (the log does not show whether the system was up)" + kLineEnd;
    }
    out += "Total Reboots: " + std::to_string(totals.reboots) + kLineEnd;
    const std::int64_t period = std::max<std::int64_t>(0, input.now - reading.periodStart);
    out += "Mean Time Between Reboots: " +
           (totals.reboots > 0 ? Decimal(period, kSecondsPerDay * totals.reboots, 2) + " days"
                               : std::string("not known (no reboot in this period)")) +
           kLineEnd;
    out += "Total Bluescreens: " + std::to_string(totals.bluescreens) + kLineEnd;
    if (input.applicationFailures) {
        out += "Total Application Failures: " +
               (input.applicationProblem.empty() ? std::to_string(totals.applicationFailures)
                                                 : std::string("not known")) +
               kLineEnd;
    }
    return out;
}

}  // namespace

std::string BuildReport(const ReportInput& input, const LocalClock& clock) {
    const HistoryReading reading = ReadHistory(input);
    const bool fromLog = input.subject == Subject::LogFile;
    const std::string nowText = clock.DateText(input.now) + " " + clock.TimeText(input.now);

    std::string out = "Uptime Report for: \\\\" + input.machineName + kLineEnd;
    if (fromLog) {
        out += "Log File: " + input.logFile + kLineEnd;
    }
    out += kLineEnd;
    out += "Current OS: " + (reading.osName.empty() ? std::string("not known") : reading.osName) +
           "." + kLineEnd;
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
    for (const HistoryRow& row : reading.rows) {
        out += TableLine(clock.DateText(row.event.time), clock.TimeText(row.event.time),
                         Label(row.event.kind), Comment(row), true);
    }
    if (reading.rows.empty()) {
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

    out += fromLog ? "System Uptime at the Log's End: " : "Current System Uptime: ";
    if (reading.upFor) {
        out += LongDuration(*reading.upFor) +
               (fromLog ? " (from the last boot to the last record)" : "");
        if (reading.asleepSinceLastBoot > 0) {
            out += std::string(kLineEnd) + "(of it asleep or hibernating at least " +
                   LongDuration(static_cast<std::uint64_t>(reading.asleepSinceLastBoot)) +
                   ", by the system's own uptime count)";
        }
    } else {
        out += "not known (no boot is logged since the last shutdown)";
    }
    out += kLineEnd;
    out += std::string(79, '-') + kLineEnd;
    if (reading.rows.empty()) {
        out += std::string("No figures: no event of this period tells them.") + kLineEnd;
        return out;
    }
    out += "Since " + clock.DateText(reading.periodStart) + ":" + kLineEnd + kLineEnd;
    out += Figures(input, reading);
    out += kLineEnd + StripScale(clock, reading.periodStart, input.now) + kLineEnd +
           StripMarks(AvailabilitySlices(reading, reading.periodStart, input.now, kStripWidth)) +
           kLineEnd + StripLegend() + kLineEnd;
    return out;
}

std::string EventLabel(EventKind kind) {
    return Label(kind);
}

std::string EventComment(const HistoryRow& row) {
    return Comment(row);
}

}  // namespace uptime
