#include "uptime/fleet/machine_names.h"

#include <cstdint>
#include <optional>

#include "uptime/common/utf8.h"

namespace uptime {
namespace {

struct Decoded {
    std::uint32_t code = 0;
    std::size_t length = 0;
};

// The code point at `pos`; nothing for a byte that starts no well-formed sequence.
std::optional<Decoded> DecodeAt(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || pos + length > text.size()) {
        return std::nullopt;
    }
    std::uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[pos + k]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        code = code << 6 | (next & 0x3Fu);
    }
    return Decoded{code, length};
}

// The lower case of the letters that computer names in practice carry.
std::uint32_t Lower(std::uint32_t code) {
    if ((code >= 'A' && code <= 'Z') || (code >= 0xC0 && code <= 0xDE && code != 0xD7) ||
        (code >= 0x391 && code <= 0x3AB && code != 0x3A2) || (code >= 0x410 && code <= 0x42F)) {
        return code + 0x20;
    }
    if (code >= 0x400 && code <= 0x40F) {
        return code + 0x50;
    }
    // Latin Extended-A: the capital, then its small letter, except for a few.
    const bool evenPairs = (code >= 0x100 && code <= 0x137) || (code >= 0x14A && code <= 0x177);
    const bool oddPairs = (code >= 0x139 && code <= 0x148) || (code >= 0x179 && code <= 0x17E);
    if ((evenPairs && code % 2 == 0) || (oddPairs && code % 2 == 1)) {
        return code + 1;
    }
    if (code == 0x178) {
        return 0xFF;
    }
    return code;
}

}  // namespace

std::string NameKey(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    for (std::size_t pos = 0; pos < name.size();) {
        const std::optional<Decoded> decoded = DecodeAt(name, pos);
        if (!decoded) {
            key += name[pos++];
            continue;
        }
        AppendUtf8(key, Lower(decoded->code));
        pos += decoded->length;
    }
    return key;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::optional<Decoded> decoded = DecodeAt(text, pos);
        if (!decoded) {
            return false;
        }
        pos += decoded->length;
    }
    return true;
}

std::string_view HostPart(std::string_view name) {
    const bool address = name.find(':') != std::string_view::npos ||
                         name.find_first_not_of("0123456789.") == std::string_view::npos;
    const std::size_t dot = name.find('.');
    return address || dot == std::string_view::npos ? name : name.substr(0, dot);
}

bool SameMachineName(std::string_view a, std::string_view b) {
    const std::string keyA = NameKey(a);
    const std::string keyB = NameKey(b);
    return keyA == keyB || keyA == HostPart(keyB) || HostPart(keyA) == keyB;
}

}  // namespace uptime
