// The figures of one machine's history, as numbers and times: what the fleet summary shows and
// the availability strip draws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "uptime/common/utc_time.h"
#include "uptime/history/history_reading.h"
#include "uptime/history/report_input.h"

namespace uptime {

enum class LastShutdownKind { None, Restart, Shutdown, Unexpected };

// The newest stop in the period. A clean shutdown (6006) is a Restart or a Shutdown as the
// request (1074) before it says; with no request logged it counts as a Shutdown with no detail.
// An Unexpected one is dated by the last time the system ran (6008); known only from a record
// written at the next boot (41, a bluescreen, an undated 6008), by that record's time.
struct LastShutdown {
    LastShutdownKind kind = LastShutdownKind::None;
    UtcSeconds time = 0;
    std::string detail;  // for a requested one: by whom and why, as the 1074 says
};

struct MachineFigures {
    UtcSeconds asOf = 0;
    UtcSeconds periodStart = 0;
    // From the time up when that is known (the system's own count, if given), else the newest
    // boot logged.
    std::optional<UtcSeconds> lastBoot;
    std::optional<std::uint64_t> upFor;  // seconds since the last boot, when known
    std::optional<double> availability;  // percent of the accounted time
    std::int64_t uptime = 0;
    std::int64_t downtime = 0;
    std::int64_t unaccounted = 0;
    int reboots = 0;
    int unexpectedShutdowns = 0;  // EventLog 6008
    int powerLosses = 0;          // Kernel-Power 41
    int bluescreens = 0;          // BugCheck 1001
    LastShutdown lastShutdown;
};

// The same reading of the history as the text report's, over the same input.
MachineFigures AnalyseHistory(const ReportInput& input);
// The same from a reading already made of `input`, for a caller that needs its rows too.
MachineFigures AnalyseHistory(const ReportInput& input, const HistoryReading& reading);

// One slice of a period.
enum class Slice : char { Up, DownClean, DownUnexpected, Unknown };

// The period [from, to) cut into `width` equal slices, each showing the state that held most of
// it. Before the history's period, after its end and in unaccounted time the state is Unknown.
// Of states that held a slice equally long, a down one wins over Up, and Up over Unknown. A
// slice shorter than a second shows the state at its start.
std::vector<Slice> AvailabilitySlices(const ReportInput& input, UtcSeconds from, UtcSeconds to,
                                      std::size_t width);
std::vector<Slice> AvailabilitySlices(const HistoryReading& reading, UtcSeconds from, UtcSeconds to,
                                      std::size_t width);

}  // namespace uptime
