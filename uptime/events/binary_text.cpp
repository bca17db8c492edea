#include "uptime/events/binary_text.h"

#include <optional>
#include <utility>

#include "base/digits.h"
#include "base/text.h"

namespace uptime {
namespace {

using ombrix::base::IsBlank;

// Hex digits, blanks allowed between them; nothing when the text is not whole bytes of hex.
std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    int high = -1;
    for (const char c : text) {
        const int nibble = ombrix::base::DigitValue(c, 16);
        if (nibble < 0) {
            if (IsBlank(c)) {
                continue;
            }
            return std::nullopt;
        }
        if (high < 0) {
            high = nibble;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high * 16 + nibble));
            high = -1;
        }
    }
    return high < 0 ? std::optional(std::move(bytes)) : std::nullopt;
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    return c == '+' ? 62 : c == '/' ? 63 : -1;
}

// Base64 with its "=" padding, blanks allowed; nothing when the text is not that.
std::optional<std::vector<std::uint8_t>> Base64Bytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 3 / 4);
    std::uint32_t bits = 0;
    int count = 0;    // base64 digits read
    int padding = 0;  // "=" read
    for (const char c : text) {
        if (IsBlank(c)) {
            continue;
        }
        if (c == '=') {
            ++padding;
            continue;
        }
        const int value = Base64Value(c);
        if (value < 0 || padding > 0) {
            return std::nullopt;
        }
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        if (++count % 4 == 0) {
            bytes.push_back(static_cast<std::uint8_t>(bits >> 16));
            bytes.push_back(static_cast<std::uint8_t>(bits >> 8));
            bytes.push_back(static_cast<std::uint8_t>(bits));
            bits = 0;
        }
    }
    const int rest = count % 4;
    if (rest == 1 || padding > 2 || (rest + padding) % 4 != 0) {
        return std::nullopt;
    }
    if (rest == 2) {
        bytes.push_back(static_cast<std::uint8_t>(bits >> 4));
    } else if (rest == 3) {
        bytes.push_back(static_cast<std::uint8_t>(bits >> 10));
        bytes.push_back(static_cast<std::uint8_t>(bits >> 2));
    }
    return bytes;
}

}  // namespace

std::vector<std::uint8_t> DecodeBinary(std::string_view text) {
    if (auto hex = HexBytes(text)) {
        return std::move(*hex);
    }
    return Base64Bytes(text).value_or(std::vector<std::uint8_t>{});
}

}  // namespace uptime
