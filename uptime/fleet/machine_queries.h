// Asks many machines' live logs at once: a bounded number at a time, each within a time limit.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/result.h"
#include "uptime/logs/event_log.h"
#include "uptime/logs/log_sources.h"

namespace uptime {

struct QueryLimits {
    std::size_t parallel = 16;                    // machines asked at a time (/t:)
    std::chrono::milliseconds perMachine{60000};  // each machine's time limit (/w:)
    // How long a Read may take to give up after it was cancelled at the limit, before the
    // machine is given up on and its place goes to the next.
    std::chrono::milliseconds afterCancel{1000};
};

// What one machine's logs gave: the System log, and the Application log when asked.
struct MachineAnswer {
    std::string machine;
    ombrix::base::Result<LogRecords> systemLog = ombrix::base::Failure{"not asked"};
    ombrix::base::Result<LogRecords> applicationLog = ombrix::base::Failure{"not asked"};
};

// The answers in the order of `machines`. A machine that does not answer within its limit is
// cancelled and gets an Unreachable failure that says so; the others are not held up. The
// Application log, when asked, is read after the System log within the same limit, and only
// when the System log could be read.
// Each machine is asked on a thread of its own. A Read that has not returned soon after its
// Cancel is given up on: its thread is let go (detached) and owns its reader from then on, so
// that nothing it still touches is freed under it, and the call returns without it. Such a
// thread ends with the process when main returns; a reader must therefore not refer to the
// LogSources that opened it, and nothing may wait for these threads. The readers are opened
// and cancelled on the calling thread: OpenEventLog and Cancel must not wait on the machine.
std::vector<MachineAnswer> QueryMachines(const LogSources& sources,
                                         const std::vector<std::string>& machines,
                                         bool applicationLog, const QueryLimits& limits);

}  // namespace uptime
