// One machine's period drawn as an inline SVG timeline: a bar coloured by what the system was
// (up, down after a clean shutdown, down after an unexpected one, not known), and under it a
// mark for each boot, shutdown request and bluescreen, whose title gives its time and comment
// (a mark at either end is kept whole inside the picture).
#pragma once

#include <string>

#include "uptime/common/utc_time.h"
#include "uptime/report/local_clock.h"
#include "uptime/report/run_model.h"

namespace uptime {

// The timeline's geometry in its viewBox units. The bar spans the whole width, so that an
// instant t of the period [from, to) stands at x = (t - from) / (to - from) * kTimelineWidth.
constexpr int kTimelineWidth = 1000;
constexpr int kTimelineHeight = 58;
constexpr int kBarHeight = 24;  // from the top
// A down stretch narrower than this is drawn this wide, centred on it, so that no outage of a
// long period vanishes.
constexpr double kLeastDownWidth = 4.0;

// The timeline of `run` over [from, to), as <svg role="img"> with a <title> and a <desc>; its
// data-from and data-to give the period in ISO 8601 (UTC). `id` makes its element ids unique in
// the page.
std::string SvgTimeline(const MachineRun& run, UtcSeconds from, UtcSeconds to,
                        const LocalClock& clock, const std::string& id);

// What the colours and marks mean, as a list with a swatch for each.
std::string TimelineLegend();

}  // namespace uptime
