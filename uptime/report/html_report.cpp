#include "uptime/report/html_report.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "uptime/report/html_text.h"
#include "uptime/report/report.h"
#include "uptime/report/svg_timeline.h"

namespace uptime {
namespace {

// Distinct colours that also differ in lightness, so that they part in grey print too.
std::string Style() {
    const std::string margin =
        std::to_string(kPageMarginTop) + "px " + std::to_string(kPageMarginSide) + "px";
    return "body { margin: " + margin +
           "; font: 14px/1.4 \"Segoe UI\", Arial, sans-serif; color: #111; background: #fff; }\n"
           "h1 { font-size: 1.5em; } h2 { font-size: 1.2em; margin: 1.5em 0 0.3em; }\n"
           "table { border-collapse: collapse; margin: 0.5em 0; }\n"
           "caption { text-align: left; font-weight: bold; padding: 0.2em 0; }\n"
           "th, td { border: 1px solid #999; padding: 2px 6px; text-align: left; "
           "vertical-align: top; }\n"
           "thead th { background: #eee; } td.number { text-align: right; }\n"
           "svg.timeline { display: block; width: 100%; height: auto; margin: 0.5em 0; }\n"
           ".up { fill: #3a9a4a; } .clean { fill: #f2c14e; } .unexpected { fill: #8b0000; }\n"
           ".unknown { fill: #e4e4e4; } .boot { fill: #1b5e20; } .request { fill: #555; }\n"
           ".bluescreen { fill: #1565c0; }\n"
           "text.scale { font-size: 12px; fill: #333; } text.end { text-anchor: end; }\n"
           "ul.legend { list-style: none; padding: 0; display: flex; flex-wrap: wrap; "
           "gap: 0 1.5em; }\n"
           "svg.swatch { width: 16px; height: 12px; vertical-align: middle; }\n"
           ".failure { color: #8b0000; font-weight: bold; }\n"
           "@page { size: A4 landscape; margin: 12mm; }\n"
           "@media print {\n"
           "  body { margin: 0; font-size: 10pt; }\n"
           "  tr, svg.timeline, ul.figures { break-inside: avoid; }\n"
           "  thead { display: table-header-group; } h2 { break-after: avoid; }\n"
           "  * { print-color-adjust: exact; -webkit-print-color-adjust: exact; }\n"
           "}\n";
}

std::string Instant(const LocalClock& clock, UtcSeconds time) {
    return clock.DateText(time) + " " + clock.TimeText(time);
}

std::string MachineName(const std::string& name) {
    return "\\\\" + HtmlLogText(name);
}

// "99.9985%": the share of the accounted time the machine was up, as the text summary gives it.
std::string Availability(const MachineFigures& figures) {
    const std::int64_t accounted = figures.uptime + figures.downtime;
    if (accounted <= 0) {
        return "not known";
    }
    const std::int64_t units = (2 * figures.uptime * 1000000 + accounted) / (2 * accounted);
    const std::string fraction = std::to_string(units % 10000);
    return std::to_string(units / 10000) + "." + std::string(4 - fraction.size(), '0') + fraction +
           "%";
}

std::string Cell(const std::string& text) {
    return "<td class=\"number\">" + text + "</td>";
}

std::string LastShutdownText(const LastShutdown& last, const LocalClock& clock) {
    const std::string detail = last.detail.empty() ? "" : ": " + HtmlLogText(last.detail);
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

// Failures first, in the order given; then by availability, lowest (or not known) first.
std::vector<std::size_t> SummaryOrder(const RunModel& model) {
    std::vector<std::size_t> order(model.machines.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    const auto rank = [&](std::size_t i) {
        const MachineRun& run = model.machines[i];
        return run.figures ? run.figures->availability.value_or(-1.0) : -2.0;
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
    return order;
}

std::string SummaryRow(const MachineRun& run, std::size_t index) {
    std::string row = "<tr><th scope=\"row\"><a href=\"#machine-" + std::to_string(index) + "\">" +
                      MachineName(run.name) + "</a></th>";
    if (!run.figures) {
        const std::string what = run.failure.empty() && run.upFor
                                     ? "up for " + LongDuration(*run.upFor)
                                     : "failed: " + HtmlLogText(run.failure);
        return row + "<td colspan=\"6\"" + (run.failure.empty() ? "" : " class=\"failure\"") + ">" +
               what + "</td></tr>\n";
    }
    const MachineFigures& figures = *run.figures;
    return row + Cell(Availability(figures)) + "<td>" + ShortDuration(figures.downtime) + "</td>" +
           Cell(std::to_string(figures.reboots)) +
           Cell(std::to_string(figures.unexpectedShutdowns)) +
           Cell(std::to_string(figures.powerLosses)) + Cell(std::to_string(figures.bluescreens)) +
           "</tr>\n";
}

std::string SummaryTable(const RunModel& model) {
    std::string table =
        "<table class=\"summary\">\n<caption>Machines, failures first, then by availability, "
        "lowest first</caption>\n<thead><tr><th scope=\"col\" rowspan=\"2\">Machine</th>"
        "<th scope=\"col\" rowspan=\"2\">Availability</th>"
        "<th scope=\"col\" rowspan=\"2\">Downtime</th><th scope=\"col\" rowspan=\"2\">Reboots</th>"
        "<th scope=\"colgroup\" colspan=\"2\">Unexpected shutdowns</th>"
        "<th scope=\"col\" rowspan=\"2\">Bluescreens</th></tr>\n"
        "<tr><th scope=\"col\">6008</th><th scope=\"col\">41</th></tr></thead>\n<tbody>\n";
    for (const std::size_t index : SummaryOrder(model)) {
        table += SummaryRow(model.machines[index], index);
    }
    return table + "</tbody>\n</table>\n";
}

// The figures the timeline draws, as words: the text alternative to the picture.
std::string FigureList(const MachineRun& run, const LocalClock& clock) {
    const MachineFigures& figures = *run.figures;
    std::string list =
        "<ul class=\"figures\">\n<li>Period: " + Instant(clock, figures.periodStart) + " to " +
        Instant(clock, figures.asOf) + "</li>\n<li>Availability: " + Availability(figures) +
        "</li>\n<li>Uptime: " + ShortDuration(figures.uptime) +
        "</li>\n<li>Downtime: " + ShortDuration(figures.downtime) +
        "</li>\n<li>Not known: " + ShortDuration(figures.unaccounted) +
        "</li>\n<li>Reboots: " + std::to_string(figures.reboots) +
        "</li>\n<li>Unexpected shutdowns (6008): " + std::to_string(figures.unexpectedShutdowns) +
        "</li>\n<li>Power losses (41): " + std::to_string(figures.powerLosses) +
        "</li>\n<li>Bluescreens: " + std::to_string(figures.bluescreens) + "</li>\n";
    std::string downs;
    for (const StateSpan& span : run.spans) {
        if (span.state == SpanState::DownClean || span.state == SpanState::DownUnexpected) {
            downs += "<li>" + Instant(clock, span.from) + " to " + Instant(clock, span.to) +
                     (span.state == SpanState::DownClean ? ", after a clean shutdown"
                                                         : ", after an unexpected shutdown") +
                     "</li>\n";
        }
    }
    if (!downs.empty()) {
        list += "<li>Down:\n<ul>\n" + downs + "</ul></li>\n";
    }
    return list + "</ul>\n";
}

std::string EventsTable(const MachineRun& run, const LocalClock& clock) {
    if (run.rows.empty()) {
        return "<p>No events of these kinds were logged in this period.</p>\n";
    }
    std::string table = "<table class=\"events\">\n<caption>System events of " +
                        MachineName(run.name) +
                        "</caption>\n<thead><tr><th scope=\"col\">Date</th><th scope=\"col\">"
                        "Time</th><th scope=\"col\">Event</th><th scope=\"col\">Comment</th>"
                        "</tr></thead>\n<tbody>\n";
    for (const HistoryRow& row : run.rows) {
        table += "<tr><td>" + clock.DateText(row.event.time) + "</td><td>" +
                 clock.TimeText(row.event.time) + "</td><td>" + EventLabel(row.event.kind) +
                 "</td><td>" + HtmlLogText(EventComment(row)) + "</td></tr>\n";
    }
    return table + "</tbody>\n</table>\n";
}

struct Period {
    UtcSeconds from = 0;
    UtcSeconds to = 0;
};

std::string MachineSection(const MachineRun& run, std::size_t index,
                           const std::optional<Period>& period, const LocalClock& clock) {
    const std::string id = "machine-" + std::to_string(index);
    std::string section =
        "<section class=\"machine\" id=\"" + id + "\">\n<h2>" + MachineName(run.name) + "</h2>\n";
    if (!run.earlierNames.empty()) {
        std::string names;
        for (const std::string& earlier : run.earlierNames) {
            names += (names.empty() ? "" : ", ") + MachineName(earlier);
        }
        section += "<p>Earlier names: " + names +
                   (run.guess.empty() ? "" : "<br>" + HtmlLogText(run.guess)) + "</p>\n";
    }
    if (!run.failure.empty()) {
        section += "<p class=\"failure\">Failed: " + HtmlLogText(run.failure) + "</p>\n";
    }
    if (!run.figures) {
        if (run.upFor) {
            section += "<p>Up for " + LongDuration(*run.upFor) + ".</p>\n";
        }
        return section + "</section>\n";
    }
    const MachineFigures& figures = *run.figures;
    section +=
        "<p>As of " + Instant(clock, figures.asOf) + ", last boot " +
        (figures.lastBoot ? Instant(clock, *figures.lastBoot) : "not known") +
        (figures.upFor ? ", up " + ShortDuration(static_cast<std::int64_t>(*figures.upFor)) : "") +
        ".<br>Last shutdown: " + LastShutdownText(figures.lastShutdown, clock) + ".</p>\n";
    if (period) {
        section += SvgTimeline(run, period->from, period->to, clock, id) + "\n";
    }
    return section + FigureList(run, clock) + EventsTable(run, clock) + "</section>\n";
}

// The one period all timelines share: from the earliest start to the latest end.
std::optional<Period> SharedPeriod(const RunModel& model) {
    std::optional<Period> period;
    for (const MachineRun& run : model.machines) {
        if (!run.figures) {
            continue;
        }
        const Period own{run.figures->periodStart, run.figures->asOf};
        period =
            period ? Period{std::min(period->from, own.from), std::max(period->to, own.to)} : own;
    }
    return period && period->from < period->to ? period : std::nullopt;
}

}  // namespace

std::string HtmlReport(const RunModel& model, const LocalClock& clock,
                       const std::string& timeZone) {
    std::size_t failed = 0;
    for (const MachineRun& run : model.machines) {
        failed += run.figures || (run.failure.empty() && run.upFor) ? 0 : 1;
    }
    const std::size_t count = model.machines.size();
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>Uptime report</title>\n<style>\n" +
        Style() +
        "</style>\n</head>\n<body>\n<h1>Uptime report</h1>\n<p>Machines: " + std::to_string(count) +
        ", " + std::to_string(count - failed) + " reported, " + std::to_string(failed) +
        " failed." + (timeZone.empty() ? "" : " Times are shown in " + HtmlText(timeZone) + ".") +
        "</p>\n";
    page.reserve(count * 4096);
    page += SummaryTable(model);
    if (!model.notRead.empty()) {
        page += "<ul class=\"problems\">\n";
        for (const std::string& problem : model.notRead) {
            page += "<li class=\"failure\">" + HtmlLogText(problem) + "</li>\n";
        }
        page += "</ul>\n";
    }
    const std::optional<Period> period = SharedPeriod(model);
    if (period) {
        page += "<h2>Timelines</h2>\n<p>Each machine's timeline covers " +
                Instant(clock, period->from) + " to " + Instant(clock, period->to) + ".</p>\n" +
                TimelineLegend() + "\n";
    }
    for (std::size_t index = 0; index < count; ++index) {
        page += MachineSection(model.machines[index], index, period, clock);
    }
    return page + "</body>\n</html>\n";
}

}  // namespace uptime
