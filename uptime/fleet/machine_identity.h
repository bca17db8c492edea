// Which computers of the logs are one machine: a machine renamed during its log stays one,
// reported under its newest name.
#pragma once

#include <string>
#include <vector>

#include "uptime/logs/machine_logs.h"

namespace uptime {

struct MachineHistory {
    MachineLog log;                         // merged; log.computer is the newest name
    std::vector<std::string> earlierNames;  // oldest first
    // Set when a name was linked by the shape of the records (one name's records end before
    // the other's begin, across a restart), not by a logged rename: says what was guessed.
    std::string guess;
};

// Links names by the renames the logs record (EventLog 6011), then, where that record is
// missing, by the shape of the records: an old name's records end with a shutdown before the
// new name's begin with a boot. In a fleet that shape may fit several pairs; a pair is linked
// only where neither has another that fits, and names whose records interleave never are.
// Keeps the order in which the machines were first seen.
std::vector<MachineHistory> LinkRenamedMachines(std::vector<MachineLog> logs);

}  // namespace uptime
