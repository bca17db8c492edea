// One event record as the event log renders it in XML, reduced to what the report reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "uptime/common/utc_time.h"

namespace uptime {

struct EventField {
    std::string name;  // the Data element's Name, or the element's own name under UserData
    std::string value;
};

struct EventRecord {
    std::string provider;    // System/Provider/@Name
    std::string sourceName;  // System/Provider/@EventSourceName, for classic sources
    unsigned eventId = 0;
    UtcSeconds timeCreated = 0;
    std::string channel;
    std::string computer;
    std::optional<std::uint64_t> recordId;  // System/EventRecordID: the record's number in its log
    std::vector<EventField> fields;         // EventData/Data in order, then the leaves of UserData
    std::vector<std::uint8_t> binary;       // EventData/Binary

    // The value of the named field, or empty.
    std::string Field(std::string_view name) const;
    // The value of the index-th field, or empty: classic events number their data.
    std::string FieldAt(std::size_t index) const;
};

// Nothing when the text is not well-formed XML or lacks the event's ID or time.
std::optional<EventRecord> ParseEventXml(std::string_view xml);

}  // namespace uptime
