// The machines a run asks: names on the command line and in /m: list files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace uptime {

// The names of a list file's text, one per line: blank lines and "#" comments are skipped, a
// leading "\\" is dropped. A line that is no machine name fails with its line number.
ombrix::base::Result<std::vector<std::string>> ParseMachineList(std::string_view text);

// The names without repeats (letter case aside), in their first order.
std::vector<std::string> WithoutRepeats(std::vector<std::string> names);

}  // namespace uptime
