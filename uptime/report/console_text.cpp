#include "uptime/report/console_text.h"

#include "uptime/common/utf8.h"

namespace uptime {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of what is to be replaced at `at` in well-formed UTF-8, 0 for what may stay.
std::size_t UnsafeLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(at + i < text.size() ? text[at + i] : '\0');
    };
    const unsigned char lead = byte(0);
    if (lead == '\r') {
        return byte(1) == '\n' ? 0 : 1;
    }
    if (lead == '\n') {
        return at > 0 && text[at - 1] == '\r' ? 0 : 1;
    }
    if ((lead < 0x20 && lead != '\t') || lead == 0x7F) {
        return 1;
    }
    if (lead == 0xC2 && byte(1) <= 0x9F) {
        return 2;  // U+0080 to U+009F
    }
    const bool embedding = lead == 0xE2 && byte(1) == 0x80 && byte(2) >= 0xAA && byte(2) <= 0xAE;
    const bool isolate = lead == 0xE2 && byte(1) == 0x81 && byte(2) >= 0xA6 && byte(2) <= 0xA9;
    return embedding || isolate ? 3 : 0;
}

}  // namespace

std::string OneLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (const char c : text) {
        const bool breaks = c == '\r' || c == '\n' || c == '\t';
        if (!breaks) {
            line += c;
        } else if (line.empty() || line.back() != ' ') {
            line += ' ';
        }
    }
    return line;
}

std::string ConsoleText(std::string_view text) {
    const std::string wellFormed = WellFormedUtf8(text);
    std::string out;
    out.reserve(wellFormed.size());
    for (std::size_t at = 0; at < wellFormed.size();) {
        const std::size_t unsafe = UnsafeLength(wellFormed, at);
        if (unsafe > 0) {
            out += kReplacement;
            at += unsafe;
        } else {
            out += wellFormed[at++];
        }
    }
    return out;
}

}  // namespace uptime
