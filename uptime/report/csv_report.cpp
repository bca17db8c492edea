#include "uptime/report/csv_report.h"

#include <cstdio>
#include <vector>

#include "uptime/common/utc_time.h"
#include "uptime/common/utf8.h"

namespace uptime {
namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

// The local time with its offset: what a spreadsheet shows a person, and still one instant for
// a program.
std::string LocalTime(UtcSeconds instant, const LocalClock& clock) {
    return IsoTime(instant, clock.OffsetAt(instant));
}

template <typename Number>
std::string Optional(const std::optional<Number>& value) {
    return value ? std::to_string(*value) : "";
}

std::string Percent(const std::optional<double>& value) {
    if (!value) {
        return "";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", *value);
    return text;
}

std::string Row(const std::vector<std::string>& cells) {
    std::string line;
    for (const std::string& cell : cells) {
        line += (line.empty() ? "" : ",") + cell;
    }
    return line + kLineEnd;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : "; ") + name;
    }
    return text;
}

const char* ShutdownName(LastShutdownKind kind) {
    switch (kind) {
        case LastShutdownKind::Restart:
            return "Restart";
        case LastShutdownKind::Shutdown:
            return "Shutdown";
        case LastShutdownKind::Unexpected:
            return "Unexpected";
        default:
            return "";
    }
}

const char* EventName(EventKind kind) {
    switch (kind) {
        case EventKind::Boot:
            return "Boot";
        case EventKind::Shutdown:
            return "Shutdown";
        case EventKind::UnexpectedShutdown:
        case EventKind::UndatedUnexpectedShutdown:
            return "Unexpected shutdown";
        case EventKind::RestartRequest:
            return "Restart request";
        case EventKind::ShutdownRequest:
            return "Shutdown request";
        case EventKind::PowerLoss:
            return "Power loss";
        case EventKind::Bluescreen:
            return "Bluescreen";
        case EventKind::SystemLogCleared:
            return "System log cleared";
        case EventKind::ApplicationLogCleared:
            return "Application log cleared";
        case EventKind::ApplicationFailure:
            return "Application failure";
        case EventKind::ApplicationHang:
            return "Application hang";
        default:
            return "Other";
    }
}

bool IsPriorUptime(Prior prior) {
    return prior == Prior::Uptime || prior == Prior::UptimeSinceLogBegins ||
           prior == Prior::UptimeSincePeriodStart;
}

std::string MachineRow(const MachineRun& run, const LocalClock& clock) {
    const std::optional<MachineFigures>& figures = run.figures;
    if (!figures) {
        return Row({CsvTextCell(run.name), CsvTextCell(Joined(run.earlierNames)), "", "", "",
                    Optional(run.upFor), "", "", "", "", "", "", "", "", "", "", "",
                    CsvTextCell(run.failure)});
    }
    const LastShutdown& last = figures->lastShutdown;
    const bool stopped = last.kind != LastShutdownKind::None;
    return Row({CsvTextCell(run.name), CsvTextCell(Joined(run.earlierNames)),
                LocalTime(figures->asOf, clock), LocalTime(figures->periodStart, clock),
                figures->lastBoot ? LocalTime(*figures->lastBoot, clock) : "",
                Optional(figures->upFor), Percent(figures->availability),
                std::to_string(figures->uptime), std::to_string(figures->downtime),
                std::to_string(figures->unaccounted), std::to_string(figures->reboots),
                std::to_string(figures->unexpectedShutdowns), std::to_string(figures->powerLosses),
                std::to_string(figures->bluescreens), ShutdownName(last.kind),
                stopped ? LocalTime(last.time, clock) : "", CsvTextCell(last.detail),
                CsvTextCell(run.failure)});
}

std::string EventRows(const MachineRun& run, const LocalClock& clock) {
    std::string rows;
    for (const HistoryRow& row : run.rows) {
        const bool known = row.prior != Prior::None && row.prior != Prior::DowntimeNotKnown &&
                           row.prior != Prior::UptimeNotKnown;
        const std::string seconds = known ? std::to_string(row.priorSeconds) : "";
        rows +=
            Row({CsvTextCell(run.name), LocalTime(row.event.time, clock), EventName(row.event.kind),
                 CsvTextCell(row.event.detail), IsPriorUptime(row.prior) ? seconds : "",
                 row.prior == Prior::Downtime ? seconds : ""});
    }
    return rows;
}

}  // namespace

std::string CsvTextCell(std::string_view text) {
    std::string cell = WellFormedUtf8(text);
    if (!cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string::npos) {
        cell.insert(0, 1, '\'');
    }
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        return cell;
    }
    std::string quoted = "\"";
    for (const char c : cell) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + "\"";
}

std::string CsvReport(const RunModel& model, bool events, const LocalClock& clock) {
    std::string text = kByteOrderMark;
    if (events) {
        text +=
            Row({"Machine", "Time", "Event", "Detail", "Prior uptime (s)", "Prior downtime (s)"});
        for (const MachineRun& run : model.machines) {
            text += EventRows(run, clock);
        }
        return text;
    }
    text += Row({"Machine", "Earlier names", "As of", "Period start", "Last boot", "Up for (s)",
                 "Availability (%)", "Uptime (s)", "Downtime (s)", "Unaccounted (s)", "Reboots",
                 "Unexpected shutdowns", "Power losses", "Bluescreens", "Last shutdown",
                 "Last shutdown time", "Last shutdown detail", "Failure"});
    for (const MachineRun& run : model.machines) {
        text += MachineRow(run, clock);
    }
    return text;
}

}  // namespace uptime
