#include "uptime/report/html_text.h"

#include <cstdint>

namespace uptime {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence at `at` (no overlong forms, no surrogates), or 0;
// its code point in `code`.
std::size_t SequenceLength(std::string_view text, std::size_t at, std::uint32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i) & 0x3F);
    }
    const bool overlong = (lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xF0 && byte(1) < 0x90);
    const bool beyond = (lead == 0xED && byte(1) >= 0xA0) || (lead == 0xF4 && byte(1) >= 0x90);
    return overlong || beyond ? 0 : length;
}

bool Dropped(std::uint32_t code) {
    const bool control = code < 0x20 || (code >= 0x7F && code < 0xA0);
    const bool bidi = (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
    return control || bidi;
}

}  // namespace

std::string HtmlText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (std::size_t at = 0; at < bytes.size();) {
        std::uint32_t code = 0;
        const std::size_t length = bytes[at] == '\0' ? 0 : SequenceLength(bytes, at, code);
        if (length == 0) {
            out += kReplacement;
            ++at;
            continue;
        }
        switch (code) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            case '\t':
            case '\r':
            case '\n':
                out += ' ';
                break;
            default:
                if (!Dropped(code)) {
                    out += bytes.substr(at, length);
                }
        }
        at += length;
    }
    return out;
}

std::string HtmlLogText(std::string_view bytes) {
    return bytes.empty() ? std::string() : "<bdi>" + HtmlText(bytes) + "</bdi>";
}

void Append(std::string& out, std::initializer_list<std::string_view> pieces) {
    for (const std::string_view piece : pieces) {
        out += piece;
    }
}

}  // namespace uptime
