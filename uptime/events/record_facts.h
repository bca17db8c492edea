// Where a record belongs, read from its System part without a full parse: enough to file a
// record the report has no use for, and to pick the few that need the full parse.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "uptime/common/utc_time.h"

namespace uptime {

struct RecordFacts {
    std::string_view computer;  // as written, without blanks around it
    std::string_view channel;   // empty when the record names none
    unsigned eventId = 0;
    UtcSeconds timeCreated = 0;
    std::optional<std::uint64_t> recordId;
};

// Nothing whenever the quick reading is unsure (namespace prefixes, entities, comments, a field
// missing or written otherwise than the event log writes it): the full parse then decides.
std::optional<RecordFacts> ReadRecordFacts(std::string_view xml);

// Whether records of this event ID may be one the report or a machine's names read: those take
// the full parse.
bool MayBeReportEvent(unsigned eventId);

}  // namespace uptime
