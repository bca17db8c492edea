// The report as comma-separated values (RFC 4180), for spreadsheets and scripts.
#pragma once

#include <string>
#include <string_view>

#include "uptime/report/local_clock.h"
#include "uptime/report/run_model.h"

namespace uptime {

// One text cell: quoted when it holds a comma, a quote or a line end, its quotes doubled. A
// cell a spreadsheet would take for a formula (it begins with = + - @, a tab or a CR) is led by
// a ' so that it stays text. Bytes that are not UTF-8, and NUL, become U+FFFD.
std::string CsvTextCell(std::string_view text);

// UTF-8 with a byte order mark, lines ending in CR LF, one header row. Without `events` one
// row a machine with its summary; with it one row an event. Times are ISO 8601 in the local
// time with their offset, durations in seconds, the availability a percentage as a plain number.
std::string CsvReport(const RunModel& model, bool events, const LocalClock& clock);

}  // namespace uptime
