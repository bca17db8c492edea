// Splits a command line into arguments by the rules Windows programs' C runtime uses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ombrix::base {

// Blanks and tabs separate arguments; double quotes group; 2n backslashes before a quote give
// n backslashes and a grouping quote, 2n+1 give n backslashes and a literal quote; "" inside a
// quoted part gives a literal quote; other backslashes are literal.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

}  // namespace ombrix::base
