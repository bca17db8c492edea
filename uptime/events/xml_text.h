// The text rules of XML that event records need: character data and attribute values with their
// entities replaced, and names without their namespace prefix.
#pragma once

#include <string>
#include <string_view>

namespace uptime {

// Appends `raw` with its predefined and numeric entities replaced onto `out`, or only checks it
// when `out` is null; false when an entity is broken or stands for a character XML lacks.
bool AppendDecoded(std::string_view raw, std::string* out);

// The local part of a qualified name: "Event" for "e:Event" and for "Event".
std::string_view LocalName(std::string_view name);

}  // namespace uptime
