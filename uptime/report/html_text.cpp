#include "uptime/report/html_text.h"

#include <cstdint>

#include "uptime/common/utf8.h"

namespace uptime {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

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
        const std::size_t length = bytes[at] == '\0' ? 0 : Utf8SequenceAt(bytes, at, code);
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
