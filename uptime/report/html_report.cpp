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

void AppendNumber(std::string& out, std::int64_t number) {
    Append(out, {"<td class=\"number\">", std::to_string(number), "</td>"});
}

void AppendLastShutdown(std::string& out, const LastShutdown& last, const LocalClock& clock) {
    switch (last.kind) {
        case LastShutdownKind::Restart:
        case LastShutdownKind::Shutdown:
            Append(out,
                   {last.kind == LastShutdownKind::Restart ? "a restart on " : "a shutdown on ",
                    Instant(clock, last.time), last.detail.empty() ? "" : ": ",
                    HtmlLogText(last.detail)});
            return;
        case LastShutdownKind::Unexpected:
            Append(out, {"unexpected, on ", Instant(clock, last.time)});
            return;
        case LastShutdownKind::None:
            break;
    }
    out += "none logged";
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

void AppendSummaryRow(std::string& out, const MachineRun& run, std::size_t index) {
    Append(out, {"<tr><th scope=\"row\"><a href=\"#machine-", std::to_string(index), "\">",
                 MachineName(run.name), "</a></th>"});
    if (!run.figures) {
        if (run.failure.empty() && run.upFor) {
            Append(out, {"<td colspan=\"6\">up for ", LongDuration(*run.upFor), "</td></tr>\n"});
        } else {
            Append(out, {"<td colspan=\"6\" class=\"failure\">failed: ", HtmlLogText(run.failure),
                         "</td></tr>\n"});
        }
        return;
    }
    const MachineFigures& figures = *run.figures;
    Append(out, {"<td class=\"number\">", Availability(figures), "</td><td>",
                 ShortDuration(figures.downtime), "</td>"});
    AppendNumber(out, figures.reboots);
    AppendNumber(out, figures.unexpectedShutdowns);
    AppendNumber(out, figures.powerLosses);
    AppendNumber(out, figures.bluescreens);
    out += "</tr>\n";
}

void AppendSummaryTable(std::string& out, const RunModel& model) {
    out +=
        "<table class=\"summary\">\n<caption>Machines, failures first, then by availability, "
        "lowest first</caption>\n<thead><tr><th scope=\"col\" rowspan=\"2\">Machine</th>"
        "<th scope=\"col\" rowspan=\"2\">Availability</th>"
        "<th scope=\"col\" rowspan=\"2\">Downtime</th><th scope=\"col\" rowspan=\"2\">Reboots</th>"
        "<th scope=\"colgroup\" colspan=\"2\">Unexpected shutdowns</th>"
        "<th scope=\"col\" rowspan=\"2\">Bluescreens</th></tr>\n"
        "<tr><th scope=\"col\">6008</th><th scope=\"col\">41</th></tr></thead>\n<tbody>\n";
    for (const std::size_t index : SummaryOrder(model)) {
        AppendSummaryRow(out, model.machines[index], index);
    }
    out += "</tbody>\n</table>\n";
}

// The figures the timeline draws, as words: the text alternative to the picture.
void AppendFigureList(std::string& out, const MachineRun& run, const LocalClock& clock) {
    const MachineFigures& figures = *run.figures;
    Append(out, {"<ul class=\"figures\">\n<li>Period: ",
                 Instant(clock, figures.periodStart),
                 " to ",
                 Instant(clock, figures.asOf),
                 "</li>\n<li>Availability: ",
                 Availability(figures),
                 "</li>\n<li>Uptime: ",
                 ShortDuration(figures.uptime),
                 "</li>\n<li>Downtime: ",
                 ShortDuration(figures.downtime),
                 "</li>\n<li>Not known: ",
                 ShortDuration(figures.unaccounted),
                 "</li>\n<li>Reboots: ",
                 std::to_string(figures.reboots),
                 "</li>\n<li>Unexpected shutdowns (6008): ",
                 std::to_string(figures.unexpectedShutdowns),
                 "</li>\n<li>Power losses (41): ",
                 std::to_string(figures.powerLosses),
                 "</li>\n<li>Bluescreens: ",
                 std::to_string(figures.bluescreens),
                 "</li>\n"});
    bool downs = false;
    for (const StateSpan& span : run.spans) {
        if (span.state == SpanState::DownClean || span.state == SpanState::DownUnexpected) {
            Append(out, {downs ? "" : "<li>Down:\n<ul>\n", "<li>", Instant(clock, span.from),
                         " to ", Instant(clock, span.to),
                         span.state == SpanState::DownClean ? ", after a clean shutdown"
                                                            : ", after an unexpected shutdown",
                         "</li>\n"});
            downs = true;
        }
    }
    out += downs ? "</ul></li>\n</ul>\n" : "</ul>\n";
}

void AppendEventsTable(std::string& out, const MachineRun& run, const LocalClock& clock) {
    if (run.rows.empty()) {
        out += "<p>No events of these kinds were logged in this period.</p>\n";
        return;
    }
    Append(out, {"<table class=\"events\">\n<caption>System events of ", MachineName(run.name),
                 "</caption>\n<thead><tr><th scope=\"col\">Date</th><th scope=\"col\">Time</th>"
                 "<th scope=\"col\">Event</th><th scope=\"col\">Comment</th></tr></thead>\n"
                 "<tbody>\n"});
    for (const HistoryRow& row : run.rows) {
        Append(out, {"<tr><td>", clock.DateText(row.event.time), "</td><td>",
                     clock.TimeText(row.event.time), "</td><td>", EventLabel(row.event.kind),
                     "</td><td>", HtmlLogText(EventComment(row)), "</td></tr>\n"});
    }
    out += "</tbody>\n</table>\n";
}

void AppendMachine(std::string& out, const MachineRun& run, std::size_t index,
                   const std::optional<RunPeriod>& period, const LocalClock& clock) {
    const std::string id = "machine-" + std::to_string(index);
    Append(out,
           {"<section class=\"machine\" id=\"", id, "\">\n<h2>", MachineName(run.name), "</h2>\n"});
    if (!run.earlierNames.empty()) {
        out += "<p>Earlier names: ";
        for (std::size_t i = 0; i < run.earlierNames.size(); ++i) {
            Append(out, {i == 0 ? "" : ", ", MachineName(run.earlierNames[i])});
        }
        Append(out, {run.guess.empty() ? "" : "<br>", HtmlLogText(run.guess), "</p>\n"});
    }
    if (!run.failure.empty()) {
        Append(out, {"<p class=\"failure\">Failed: ", HtmlLogText(run.failure), "</p>\n"});
    }
    if (!run.figures) {
        if (run.upFor) {
            Append(out, {"<p>Up for ", LongDuration(*run.upFor), ".</p>\n"});
        }
        out += "</section>\n";
        return;
    }
    const MachineFigures& figures = *run.figures;
    Append(out, {"<p>As of ", Instant(clock, figures.asOf), ", last boot ",
                 figures.lastBoot ? Instant(clock, *figures.lastBoot) : "not known",
                 figures.upFor ? ", up " : "",
                 figures.upFor ? ShortDuration(static_cast<std::int64_t>(*figures.upFor)) : "",
                 ".<br>Last shutdown: "});
    AppendLastShutdown(out, figures.lastShutdown, clock);
    out += ".</p>\n";
    if (period) {
        Append(out, {SvgTimeline(run, period->from, period->to, clock, id), "\n"});
    }
    AppendFigureList(out, run, clock);
    AppendEventsTable(out, run, clock);
    out += "</section>\n";
}

// The one period all timelines share: from the earliest start to the latest end.
// The period every timeline shares; none where it has no length to draw.
std::optional<RunPeriod> SharedPeriod(const RunModel& model) {
    const std::optional<RunPeriod> period = PeriodOf(model);
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
    std::string page;
    page.reserve(4096 + count * 2048);
    Append(page,
           {"<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            "<title>Uptime report</title>\n<style>\n",
            Style(), "</style>\n</head>\n<body>\n<h1>Uptime report</h1>\n<p>Machines: ",
            std::to_string(count), ", ", std::to_string(count - failed), " reported, ",
            std::to_string(failed), " failed.", timeZone.empty() ? "" : " Times are shown in ",
            HtmlText(timeZone), timeZone.empty() ? "" : ".", "</p>\n"});
    AppendSummaryTable(page, model);
    if (!model.notRead.empty()) {
        page += "<ul class=\"problems\">\n";
        for (const NotRead& problem : model.notRead) {
            Append(page, {"<li class=\"failure\">Not read: ",
                          HtmlLogText(problem.source + ": " + problem.reason), "</li>\n"});
        }
        page += "</ul>\n";
    }
    const std::optional<RunPeriod> period = SharedPeriod(model);
    if (period) {
        Append(page, {"<h2>Timelines</h2>\n<p>Each machine's timeline covers ",
                      Instant(clock, period->from), " to ", Instant(clock, period->to), ".</p>\n",
                      TimelineLegend(), "\n"});
    }
    for (std::size_t index = 0; index < count; ++index) {
        AppendMachine(page, model.machines[index], index, period, clock);
    }
    page += "</body>\n</html>\n";
    return page;
}

}  // namespace uptime
