// The machines a run asks: names on the command line and in /m: list files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace uptime {

// The names of a list file's bytes, one per line, without repeats: blank lines and "#" comments
// (also after a name) are skipped, a leading "\\" is dropped. The bytes are UTF-8, with or
// without a byte order mark, or UTF-16 with one; names keep their letters outside ASCII. A line
// that is no machine name (a switch, a "\" but the leading pair, two names) fails with its
// line number, and so does a list that names no machine.
ombrix::base::Result<std::vector<std::string>> ParseMachineList(std::string_view text);

// The names without repeats (letter case aside), in their first order.
std::vector<std::string> WithoutRepeats(std::vector<std::string> names);

}  // namespace uptime
