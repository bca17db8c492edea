// The text face's safety: what a log's texts may not do to the console they are printed on.
#pragma once

#include <string>
#include <string_view>

namespace uptime {

// The text on one line: line breaks and tabs (a typed shutdown comment may hold them) become
// blanks, a run of them one blank.
std::string OneLine(std::string_view text);

// The text report as a console may print it: its CR LF line ends and tabs stay; every other
// control character (C0, DEL, C1), each bidirectional embedding, override or isolate, and each
// byte that is not UTF-8 becomes U+FFFD, so that no record can move the cursor, recolour, clear
// or reorder what the console shows. Text without them is left byte for byte as it is.
std::string ConsoleText(std::string_view text);

}  // namespace uptime
