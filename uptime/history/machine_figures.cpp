#include "uptime/history/machine_figures.h"

namespace uptime {
namespace {

// The newest stop among the rows (in time order).
LastShutdown LastShutdownOf(const std::vector<HistoryRow>& rows) {
    LastShutdown last;
    const SystemEvent* request = nullptr;  // the newest 1074 since the last boot or stop
    bool stoppedUnclean = false;           // a 6008 since the last boot
    bool uncleanKnown = false;  // the stop before the last boot is known to be unexpected
    for (const HistoryRow& row : rows) {
        const SystemEvent& event = row.event;
        switch (event.kind) {
            case EventKind::RestartRequest:
            case EventKind::ShutdownRequest:
                request = &event;
                break;
            case EventKind::Shutdown:
                last = {request != nullptr && request->kind == EventKind::RestartRequest
                            ? LastShutdownKind::Restart
                            : LastShutdownKind::Shutdown,
                        event.time, request != nullptr ? request->detail : ""};
                request = nullptr;
                break;
            case EventKind::UnexpectedShutdown:
                last = {LastShutdownKind::Unexpected, event.time, event.detail};
                request = nullptr;
                stoppedUnclean = true;
                break;
            case EventKind::Boot:
                request = nullptr;
                uncleanKnown = stoppedUnclean;
                stoppedUnclean = false;
                break;
            case EventKind::UndatedUnexpectedShutdown:
            case EventKind::PowerLoss:
            case EventKind::Bluescreen:
                // Written at the boot after the stop: unless a 6008 dated it already.
                if (!uncleanKnown) {
                    last = {LastShutdownKind::Unexpected, event.time, event.detail};
                    uncleanKnown = true;
                }
                break;
            default:
                break;
        }
    }
    return last;
}

}  // namespace

MachineFigures AnalyseHistory(const ReportInput& input) {
    return AnalyseHistory(input, ReadHistory(input));
}

MachineFigures AnalyseHistory(const ReportInput& input, const HistoryReading& reading) {
    const HistoryTotals& totals = reading.totals;
    MachineFigures figures;
    figures.asOf = input.now;
    figures.periodStart = reading.periodStart;
    figures.upFor = reading.upFor;
    if (reading.upFor) {
        figures.lastBoot = input.now - static_cast<UtcSeconds>(*reading.upFor);
    } else {
        for (const SystemEvent& event : input.events) {
            if (event.kind == EventKind::Boot &&
                (!figures.lastBoot || event.time > *figures.lastBoot)) {
                figures.lastBoot = event.time;
            }
        }
    }
    const std::int64_t accounted = totals.uptime + totals.downtime;
    if (accounted > 0) {
        figures.availability =
            100.0 * static_cast<double>(totals.uptime) / static_cast<double>(accounted);
    }
    figures.uptime = totals.uptime;
    figures.downtime = totals.downtime;
    figures.unaccounted = totals.unaccounted;
    figures.reboots = totals.reboots;
    figures.unexpectedShutdowns = totals.unexpectedShutdowns;
    figures.powerLosses = totals.powerLosses;
    figures.bluescreens = totals.bluescreens;
    figures.lastShutdown = LastShutdownOf(reading.rows);
    return figures;
}

}  // namespace uptime
