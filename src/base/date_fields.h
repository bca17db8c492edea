// The one date rule of the program and the tool: a date written as three fields of digits.
#pragma once

#include <optional>
#include <string_view>

#include "base/calendar.h"

namespace ombrix::base {

// The date the fields name, when each is digits only (no blank or sign, which would split or
// change a command-line switch): day and month of one or two digits, a year of one or two
// digits (read through Windows' window, 0-29 as 2000-2029) or of four, from 1601 on, and a day
// the calendar has. Nothing otherwise. Windows keeps no time before 1601.
std::optional<CalendarDate> ReadDateFields(std::string_view dayText, std::string_view monthText,
                                           std::string_view yearText);

}  // namespace ombrix::base
