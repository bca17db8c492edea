#include "uptime/report/svg_timeline.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "uptime/common/utc_time.h"
#include "uptime/report/html_text.h"
#include "uptime/report/report.h"

namespace uptime {
namespace {

// A stretch of the bar in viewBox units, of one state's class ("up", "clean", "unexpected").
struct Stretch {
    const char* state;
    UtcSeconds from;
    UtcSeconds to;
};

const char* StateClass(SpanState state) {
    switch (state) {
        case SpanState::Up:
            return "up";
        case SpanState::DownClean:
            return "clean";
        case SpanState::DownUnexpected:
            return "unexpected";
        case SpanState::Unaccounted:
            break;
    }
    return nullptr;  // not known: the bar's own background
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

std::string Instant(const LocalClock& clock, UtcSeconds time) {
    return clock.DateText(time) + " " + clock.TimeText(time);
}

// The spans within [from, to), neighbours of one state joined.
std::vector<Stretch> Stretches(const std::vector<StateSpan>& spans, UtcSeconds from,
                               UtcSeconds to) {
    std::vector<Stretch> stretches;
    for (const StateSpan& span : spans) {
        const char* state = StateClass(span.state);
        const UtcSeconds begin = std::max(span.from, from);
        const UtcSeconds end = std::min(span.to, to);
        if (state == nullptr || begin >= end) {
            continue;
        }
        if (!stretches.empty() && stretches.back().state == state && stretches.back().to == begin) {
            stretches.back().to = end;
        } else {
            stretches.push_back({state, begin, end});
        }
    }
    return stretches;
}

// The mark's outline, centred on x under the bar: a boot points up, a request down, and a
// bluescreen is a diamond.
std::string MarkPath(EventKind kind, double x) {
    const std::string left = Number(x - 5);
    const std::string centre = Number(x);
    switch (kind) {
        case EventKind::Boot:
            return "M" + left + " 40h10l-5-10z";
        case EventKind::Bluescreen:
            return "M" + centre + " 28l6 6-6 6-6-6z";
        default:
            return "M" + left + " 30h10l-5 10z";
    }
}

const char* MarkClass(EventKind kind) {
    switch (kind) {
        case EventKind::Boot:
            return "boot";
        case EventKind::RestartRequest:
        case EventKind::ShutdownRequest:
            return "request";
        case EventKind::Bluescreen:
            return "bluescreen";
        default:
            return nullptr;
    }
}

void AppendDescription(std::string& svg, const MachineRun& run) {
    if (!run.figures) {
        svg += "No figures.";
        return;
    }
    const MachineFigures& figures = *run.figures;
    Append(svg, {"Up ", ShortDuration(figures.uptime), ", down ", ShortDuration(figures.downtime),
                 ", not known ", ShortDuration(figures.unaccounted), "; ",
                 std::to_string(figures.reboots), " reboots, ",
                 std::to_string(figures.unexpectedShutdowns), " unexpected shutdowns (6008), ",
                 std::to_string(figures.powerLosses), " power losses (41), ",
                 std::to_string(figures.bluescreens), " bluescreens."});
}

}  // namespace

std::string SvgTimeline(const MachineRun& run, UtcSeconds from, UtcSeconds to,
                        const LocalClock& clock, const std::string& id) {
    const double scale =
        to > from ? static_cast<double>(kTimelineWidth) / static_cast<double>(to - from) : 0.0;
    const auto xOf = [&](UtcSeconds time) { return static_cast<double>(time - from) * scale; };
    const std::string width = std::to_string(kTimelineWidth);
    const std::string bar = "\" y=\"0\" height=\"" + std::to_string(kBarHeight) + "\"";
    std::string svg;
    Append(svg, {"<svg class=\"timeline\" role=\"img\" viewBox=\"0 0 ",
                 width,
                 " ",
                 std::to_string(kTimelineHeight),
                 "\" aria-labelledby=\"",
                 id,
                 "-title ",
                 id,
                 "-desc\" data-from=\"",
                 IsoUtcTime(from),
                 "\" data-to=\"",
                 IsoUtcTime(to),
                 "\"><title id=\"",
                 id,
                 "-title\">Timeline of \\\\",
                 HtmlText(run.name),
                 " from ",
                 Instant(clock, from),
                 " to ",
                 Instant(clock, to),
                 "</title><desc id=\"",
                 id,
                 "-desc\">"});
    AppendDescription(svg, run);
    Append(svg, {"</desc><rect class=\"unknown\" x=\"0\" width=\"", width, bar, "/>"});

    // Up first, so that a down stretch widened to be seen stands over it.
    const std::vector<Stretch> stretches = Stretches(run.spans, from, to);
    for (const Stretch& up : stretches) {
        if (std::string_view(up.state) == "up") {
            Append(svg, {"<rect class=\"up\" x=\"", Number(xOf(up.from)), "\" width=\"",
                         Number(xOf(up.to) - xOf(up.from)), bar, "/>"});
        }
    }
    for (const Stretch& down : stretches) {
        const std::string_view state = down.state;
        if (state == "up") {
            continue;
        }
        const double wide = std::max(xOf(down.to) - xOf(down.from), kLeastDownWidth);
        const double centre = (xOf(down.from) + xOf(down.to)) / 2;
        const double x = std::clamp(centre - wide / 2, 0.0, kTimelineWidth - wide);
        Append(svg,
               {"<rect class=\"", state, "\" x=\"", Number(x), "\" width=\"", Number(wide), bar,
                "><title>Down from ", Instant(clock, down.from), " to ", Instant(clock, down.to),
                state == "clean" ? " (after a clean shutdown)" : " (after an unexpected shutdown)",
                "</title></rect>"});
    }

    for (const HistoryRow& row : run.rows) {
        const char* mark = MarkClass(row.event.kind);
        if (mark == nullptr || row.event.time < from || row.event.time > to) {
            continue;
        }
        const std::string comment = EventComment(row);
        const double x = std::clamp(xOf(row.event.time), 6.0, kTimelineWidth - 6.0);
        Append(svg, {"<path class=\"", mark, "\" d=\"", MarkPath(row.event.kind, x), "\"><title>",
                     Instant(clock, row.event.time), " ", EventLabel(row.event.kind),
                     comment.empty() ? "" : ": ", HtmlText(comment), "</title></path>"});
    }
    Append(svg, {"<text class=\"scale\" x=\"0\" y=\"56\">", Instant(clock, from),
                 "</text><text class=\"scale end\" x=\"", width, "\" y=\"56\">", Instant(clock, to),
                 "</text></svg>"});
    return svg;
}

std::string TimelineLegend() {
    struct Entry {
        const char* shape;
        const char* meaning;
    };
    const Entry entries[] = {
        {"<rect class=\"up\" width=\"16\" height=\"12\"/>", "up"},
        {"<rect class=\"clean\" width=\"16\" height=\"12\"/>", "down after a clean shutdown"},
        {"<rect class=\"unexpected\" width=\"16\" height=\"12\"/>",
         "down after an unexpected shutdown"},
        {"<rect class=\"unknown\" width=\"16\" height=\"12\"/>", "not known"},
        {"<path class=\"boot\" d=\"M3 12h10l-5-10z\"/>", "boot"},
        {"<path class=\"request\" d=\"M3 1h10l-5 10z\"/>", "shutdown or restart requested"},
        {"<path class=\"bluescreen\" d=\"M8 0l6 6-6 6-6-6z\"/>", "bluescreen"},
    };
    std::string list = "<ul class=\"legend\">";
    for (const Entry& entry : entries) {
        list += "<li><svg class=\"swatch\" viewBox=\"0 0 16 12\" aria-hidden=\"true\">" +
                std::string(entry.shape) + "</svg> " + entry.meaning + "</li>";
    }
    return list + "</ul>";
}

}  // namespace uptime
