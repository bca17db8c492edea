// The report as one self-contained HTML page for people: no scripts, nothing loaded from
// elsewhere, its CSS inline, printable on A4 landscape.
#pragma once

#include <string>

#include "uptime/report/local_clock.h"
#include "uptime/report/run_model.h"

namespace uptime {

// The page's side margins in CSS pixels on the screen; a timeline spans the width between them.
constexpr int kPageMarginTop = 16;
constexpr int kPageMarginSide = 24;

// The summary table (the text summary's columns and order: failures first, then by availability,
// lowest first), then each machine in the run's order: its figures, its timeline over one period
// shared by all machines, the same figures as a list, and its events table. `timeZone` names the
// zone the times are shown in (empty when not known).
std::string HtmlReport(const RunModel& model, const LocalClock& clock, const std::string& timeZone);

}  // namespace uptime
