// Text from a log, made safe to stand in an HTML page: in an element or in a quoted attribute.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace uptime {

// The text escaped for HTML text and attribute values (& < > " '). Whatever is not UTF-8, and
// NUL, becomes U+FFFD, one for each bad byte; other control characters are dropped (tab and line
// ends become blanks), and so are the bidirectional embeddings, overrides and isolates
// (U+202A-202E, U+2066-2069), so that a log's text cannot reorder the page around it.
std::string HtmlText(std::string_view bytes);

// The same, isolated in <bdi>, for text from a log that stands amid the page's own words: a
// right-to-left name stays in its place.
std::string HtmlLogText(std::string_view bytes);

// Appends the pieces in turn: a page is written a line a call, without a temporary a piece,
// which keeps the tool small.
void Append(std::string& out, std::initializer_list<std::string_view> pieces);

}  // namespace uptime
