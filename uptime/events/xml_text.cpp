#include "uptime/events/xml_text.h"

#include <cstdint>

#include "base/digits.h"
#include "uptime/common/utf8.h"

namespace uptime {
namespace {

// The character an entity's name (between "&" and ";") stands for; false for one XML lacks.
bool AppendEntity(std::string_view name, std::string* out) {
    std::string decoded;
    if (name == "lt") {
        decoded = "<";
    } else if (name == "gt") {
        decoded = ">";
    } else if (name == "amp") {
        decoded = "&";
    } else if (name == "quot") {
        decoded = "\"";
    } else if (name == "apos") {
        decoded = "'";
    } else if (name.size() > 1 && name[0] == '#') {
        const int radix = name[1] == 'x' ? 16 : 10;
        const std::string_view digits = name.substr(radix == 16 ? 2 : 1);
        if (digits.empty()) {
            return false;
        }
        std::uint32_t code = 0;
        for (const char c : digits) {
            const int digit = ombrix::base::DigitValue(c, radix);
            if (digit < 0) {
                return false;
            }
            code = code * static_cast<std::uint32_t>(radix) + static_cast<std::uint32_t>(digit);
            if (code > 0x10FFFF) {
                return false;
            }
        }
        if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        AppendUtf8(decoded, code);
    } else {
        return false;
    }
    if (out != nullptr) {
        *out += decoded;
    }
    return true;
}

}  // namespace

bool AppendDecoded(std::string_view raw, std::string* out) {
    for (;;) {
        const auto amp = raw.find('&');
        if (out != nullptr) {
            out->append(raw.substr(0, amp));
        }
        if (amp == std::string_view::npos) {
            return true;
        }
        const auto semicolon = raw.find(';', amp);
        if (semicolon == std::string_view::npos || semicolon - amp > 10 ||
            !AppendEntity(raw.substr(amp + 1, semicolon - amp - 1), out)) {
            return false;
        }
        raw.remove_prefix(semicolon + 1);
    }
}

std::string_view LocalName(std::string_view name) {
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace uptime
