// The walk over one machine's history: whether the system was up or down between its events,
// each row's prior uptime or downtime, and the totals, as numbers and times. The text report
// and the figures are both made from it, so that they cannot disagree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "uptime/common/utc_time.h"
#include "uptime/events/system_events.h"
#include "uptime/history/report_input.h"

namespace uptime {

// What a boot or a shutdown row says of the time before it.
enum class Prior {
    None,                    // nothing: another kind of row, or no time passed
    Downtime,                // down since the shutdown before it
    DowntimeNotKnown,        // a boot with no shutdown logged before it
    Uptime,                  // up since the boot before it
    UptimeSinceLogBegins,    // up at least since the log's first record: its boot is older
    UptimeSincePeriodStart,  // up at least since the period began: its boot is older
    UptimeNotKnown,          // a shutdown with no boot logged before it
};

struct HistoryRow {
    SystemEvent event;
    Prior prior = Prior::None;
    std::int64_t priorSeconds = 0;
    std::int64_t asleep = 0;  // of a prior Uptime, at least (by the system's own count)
};

// How the system spent a stretch of the period.
enum class SpanState {
    Up,
    DownClean,       // after a clean shutdown (6006)
    DownUnexpected,  // after a 6008, or ended by a boot whose own records (Kernel-Power 41,
                     // a bluescreen, an undated 6008) say the stop before it was unclean
    Unaccounted,     // the log does not tell
};

struct StateSpan {
    UtcSeconds from = 0;
    UtcSeconds to = 0;  // exclusive
    SpanState state = SpanState::Unaccounted;
};

struct HistoryTotals {
    std::int64_t uptime = 0;
    std::int64_t downtime = 0;
    std::int64_t asleep = 0;       // of the uptime, at least
    std::int64_t unaccounted = 0;  // time the log does not tell about
    int reboots = 0;
    int unexpectedShutdowns = 0;  // EventLog 6008, dated or not
    int powerLosses = 0;          // Kernel-Power 41
    int bluescreens = 0;
    int applicationFailures = 0;  // failures and hangs
};

struct HistoryReading {
    std::string osName;            // as given, or from the newest 6009 event
    std::vector<HistoryRow> rows;  // the report's table, in time order
    // The period counts from the first row, or from the log's first record when that comes
    // earlier within the period asked for; it ends at the input's `now`.
    UtcSeconds periodStart = 0;
    bool periodFromLogBegin = false;
    // The period from its start to `now`, every second in one span, in time order. Empty when
    // the period has no rows: no event then tells the figures.
    std::vector<StateSpan> spans;
    HistoryTotals totals;  // the sums of the spans, and the rows counted
    // How long the system has been up: its own count if given, else since the last boot event.
    std::optional<std::uint64_t> upFor;
    std::int64_t asleepSinceLastBoot = 0;  // at least, by the system's own count
};

HistoryReading ReadHistory(const ReportInput& input);

// Seconds since the newest boot, when no shutdown is logged after it and it is not in the future.
std::optional<std::uint64_t> SecondsSinceLastBoot(const std::vector<SystemEvent>& events,
                                                  UtcSeconds now);

// How long, at least, the system slept or hibernated between its boot at `boot` and `end`: the
// time that passed by the clock up to its last uptime record (6013) in that span, less the
// seconds the system counted itself. Nothing below ten minutes, which clock corrections
// explain as well.
std::int64_t TimeAsleep(const std::vector<SystemEvent>& events, UtcSeconds boot, UtcSeconds end);

}  // namespace uptime
