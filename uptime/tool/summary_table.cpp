#include "uptime/tool/summary_table.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "uptime/history/machine_figures.h"
#include "uptime/report/availability_strip.h"
#include "uptime/report/console_text.h"

namespace uptime {
namespace {

constexpr const char* kLineEnd = "\r\n";

// What the summary knows of one machine.
struct Row {
    const MachineReport* report = nullptr;
    std::optional<MachineFigures> figures;  // none for a machine that failed
};

// "99.9985%": the share of the accounted time the machine was up, as its report gives it.
std::string Percent(std::int64_t uptime, std::int64_t accounted) {
    const std::int64_t units = (2 * uptime * 1000000 + accounted) / (2 * accounted);
    const std::string fraction = std::to_string(units % 10000);
    return std::to_string(units / 10000) + "." + std::string(4 - fraction.size(), '0') + fraction +
           "%";
}

std::string Availability(const MachineFigures& figures) {
    const std::int64_t accounted = figures.uptime + figures.downtime;
    return accounted > 0 ? Percent(figures.uptime, accounted) : "not known";
}

std::string Instant(const LocalClock& clock, UtcSeconds time) {
    return clock.DateText(time) + " " + clock.TimeText(time);
}

std::string LastShutdownText(const LastShutdown& last, const LocalClock& clock) {
    const std::string detail = last.detail.empty() ? "" : ": " + OneLine(last.detail);
    switch (last.kind) {
        case LastShutdownKind::Restart:
            return "a restart on " + Instant(clock, last.time) + detail;
        case LastShutdownKind::Shutdown:
            return "a shutdown on " + Instant(clock, last.time) + detail;
        case LastShutdownKind::Unexpected:
            return "unexpected, on " + Instant(clock, last.time);
        case LastShutdownKind::None:
            break;
    }
    return "none logged";
}

std::string Padded(std::string text, std::size_t width) {
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

std::string RightAligned(const std::string& text, std::size_t width) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

// Failures first, in the order given; then by availability, lowest (or not known) first.
std::vector<Row> SortedRows(const std::vector<MachineReport>& reports) {
    std::vector<Row> rows;
    for (const MachineReport& report : reports) {
        Row row{&report, std::nullopt};
        if (report.failure.empty() && report.history) {
            row.figures = AnalyseHistory(*report.history);
        }
        rows.push_back(std::move(row));
    }
    const auto rank = [](const Row& row) {
        if (!row.figures) {
            return -2.0;
        }
        return row.figures->availability.value_or(-1.0);
    };
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const Row& a, const Row& b) { return rank(a) < rank(b); });
    return rows;
}

}  // namespace

std::string SummaryTable(const std::vector<MachineReport>& reports,
                         const std::vector<std::string>& problems, const LocalClock& clock) {
    const std::vector<Row> rows = SortedRows(reports);
    std::size_t failed = 0;
    std::optional<UtcSeconds> from;
    std::optional<UtcSeconds> to;
    std::size_t nameWidth = 7;
    for (const Row& row : rows) {
        nameWidth = std::max(nameWidth, row.report->name.size() + 2);
        if (!row.figures) {
            ++failed;
            continue;
        }
        from = std::min(from.value_or(row.figures->periodStart), row.figures->periodStart);
        to = std::max(to.value_or(row.figures->asOf), row.figures->asOf);
    }

    std::string out = "Machines: " + std::to_string(reports.size()) + ", " +
                      std::to_string(reports.size() - failed) + " reported, " +
                      std::to_string(failed) + " failed." + kLineEnd;
    const bool strips = from && to && *from < *to;
    if (strips) {
        out += "Availability strips, one mark a " +
               ShortDuration((*to - *from) / static_cast<std::int64_t>(kStripWidth)) + ":" +
               kLineEnd + "  " + StripLegend() + kLineEnd + "  " + StripScale(clock, *from, *to) +
               kLineEnd;
    }
    out += kLineEnd;
    const std::string unexpectedHeading = "Unexpected shutdowns";
    const std::string heading = Padded("Machine", nameWidth) + "  Availability  Downtime       " +
                                "Reboots  6008  41  Bluescreens";
    out += std::string(heading.size() - unexpectedHeading.size() - 1, ' ') + unexpectedHeading +
           kLineEnd + heading + kLineEnd;
    out += std::string(heading.size(), '-') + kLineEnd;

    for (const Row& row : rows) {
        const MachineReport& report = *row.report;
        const std::string name = Padded("\\\\" + report.name, nameWidth);
        if (!row.figures) {
            out += name + "  failed: " + report.failure + kLineEnd;
            continue;
        }
        const MachineFigures& figures = *row.figures;
        out += name + "  " + RightAligned(Availability(figures), 12) + "  " +
               Padded(ShortDuration(figures.downtime), 14) + " " +
               RightAligned(std::to_string(figures.reboots), 7) + "  " +
               RightAligned(std::to_string(figures.unexpectedShutdowns), 4) + "  " +
               RightAligned(std::to_string(figures.powerLosses), 2) + "  " +
               RightAligned(std::to_string(figures.bluescreens), 11) + kLineEnd;
        out += "  as of " + Instant(clock, figures.asOf) + ", last boot " +
               (figures.lastBoot ? Instant(clock, *figures.lastBoot) : "not known") +
               (figures.upFor ? ", up " + ShortDuration(static_cast<std::int64_t>(*figures.upFor))
                              : "") +
               kLineEnd;
        if (!report.earlierNames.empty()) {
            std::string names;
            for (const std::string& earlier : report.earlierNames) {
                names += (names.empty() ? "\\\\" : ", \\\\") + earlier;
            }
            out += "  earlier names: " + names + kLineEnd;
            if (!report.guess.empty()) {
                out += "  " + report.guess + kLineEnd;
            }
        }
        out += "  last shutdown: " + LastShutdownText(figures.lastShutdown, clock) + kLineEnd;
        if (strips) {
            out += "  " + StripLine(*report.history, *from, *to) + kLineEnd;
        }
    }
    for (const std::string& problem : problems) {
        out += problem + kLineEnd;
    }
    return out;
}

ToolResult FleetReport(const std::vector<MachineReport>& reports,
                       const std::vector<std::string>& problems, const LocalClock& clock) {
    ToolResult result{SummaryTable(reports, problems, clock), kSuccess};
    std::size_t failed = 0;
    const MachineReport* firstFailure = nullptr;
    for (const MachineReport& report : reports) {
        result.output += std::string(kLineEnd) + std::string(79, '=') + kLineEnd + kLineEnd;
        result.output += report.text;
        if (!report.failure.empty() || report.exitCode != kSuccess) {
            ++failed;
            firstFailure = firstFailure != nullptr ? firstFailure : &report;
        }
    }
    if (firstFailure != nullptr && failed == reports.size()) {
        result.exitCode = firstFailure->exitCode;
    } else if (failed > 0 || !problems.empty()) {
        result.exitCode = kSomeFailed;
    }
    return result;
}

}  // namespace uptime
