// What a run found, held as numbers and times: what every face of the report writes out.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "uptime/history/history_reading.h"
#include "uptime/history/machine_figures.h"

namespace uptime {

struct MachineRun {
    std::string name;                       // without "\\"
    std::vector<std::string> earlierNames;  // a renamed machine's, oldest first
    std::string guess;                      // how they were linked, when it was guessed
    std::optional<std::uint64_t> upFor;     // a run that read no history: the system's count
    // Set when its history was read: its figures (as of, period, totals) and its rows, each
    // with the uptime or downtime before it.
    std::optional<MachineFigures> figures;
    std::vector<HistoryRow> rows;
    std::vector<StateSpan> spans;  // how it spent the period, second by second, for a timeline
    std::string failure;           // set when the machine gave nothing: what and why
    int exitCode = 0;              // the kind of its failure, as the tool's exit codes tell it

    std::size_t unreadableRecords = 0;  // of its log, records whose XML could not be read
};

// A list of machines or a log file that gave no machine.
struct NotRead {
    std::string source;  // as given
    std::string reason;
};

struct RunModel {
    std::vector<MachineRun> machines;  // in the order the run reported them
    std::vector<NotRead> notRead;
};

struct RunPeriod {
    UtcSeconds from = 0;
    UtcSeconds to = 0;
};

// The period the run covers: from the earliest start of a machine's period to the latest end;
// none when no machine's history was read.
inline std::optional<RunPeriod> PeriodOf(const RunModel& model) {
    std::optional<RunPeriod> period;
    for (const MachineRun& run : model.machines) {
        if (run.figures) {
            const RunPeriod own{run.figures->periodStart, run.figures->asOf};
            period = period
                         ? RunPeriod{std::min(period->from, own.from), std::max(period->to, own.to)}
                         : own;
        }
    }
    return period;
}

}  // namespace uptime
