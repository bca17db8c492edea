// The availability strip: a period as a line of ASCII marks, one per equal slice, that reads the
// same in a console, in fixed-width windows and on paper. Strips of one period line up, so
// several machines' strips can stand one under another under one scale.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "uptime/common/utc_time.h"
#include "uptime/history/machine_figures.h"
#include "uptime/history/report_input.h"
#include "uptime/report/local_clock.h"

namespace uptime {

constexpr std::size_t kStripWidth = 60;

// '#' up, '-' down after a clean shutdown, 'X' down after an unexpected one, '.' not known.
char SliceMark(Slice slice);
std::string StripMarks(const std::vector<Slice>& slices);

// One machine's strip over the period [from, to) that all the rows share: kStripWidth marks,
// without a line end.
std::string StripLine(const ReportInput& input, UtcSeconds from, UtcSeconds to);

// The strip's scale, to stand above it: the period's first date at its left end and its last
// date ending at its right end (kStripWidth wide, unless the dates are longer).
std::string StripScale(const LocalClock& clock, UtcSeconds from, UtcSeconds to);

// The line that says what the marks mean.
std::string StripLegend();

}  // namespace uptime
