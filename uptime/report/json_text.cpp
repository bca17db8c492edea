#include "uptime/report/json_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "uptime/common/utf8.h"

namespace uptime {

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

// The bytes of one well-formed UTF-8 sequence starting at `at`, 0 if none starts there. When
// none does, `badLength` is the maximal bad part to replace: the lead byte and the continuation
// bytes that could still have followed it.
std::size_t SequenceLength(std::string_view bytes, std::size_t at, std::size_t& badLength) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    badLength = 1;
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;  // the range allowed for the second byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;   // no overlong forms
        high = lead == 0xF4 ? 0x8F : 0xBF;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    for (std::size_t index = 1; index < length; ++index) {
        if (at + index >= bytes.size()) {
            return 0;
        }
        const auto next = static_cast<unsigned char>(bytes[at + index]);
        const bool allowed =
            index == 1 ? next >= low && next <= high : next >= 0x80 && next <= 0xBF;
        if (!allowed) {
            return 0;
        }
        badLength = index + 1;
    }
    return length;
}

void AppendEscaped(std::string& out, unsigned char control) {
    constexpr std::string_view kShortControls = "\b\f\n\r\t";
    const std::size_t shortForm = kShortControls.find(static_cast<char>(control));
    if (shortForm != std::string_view::npos) {
        out += '\\';
        out += "bfnrt"[shortForm];
        return;
    }
    constexpr std::string_view kHex = "0123456789abcdef";
    out += "\\u00";
    out += kHex[control >> 4];
    out += kHex[control & 0x0F];
}

}  // namespace

std::string JsonString(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t badLength = 0;
        const std::size_t length = SequenceLength(bytes, at, badLength);
        if (length == 0) {
            AppendUtf8(out, kReplacement);
            at += badLength;
            continue;
        }
        const auto first = static_cast<unsigned char>(bytes[at]);
        if (first == '"' || first == '\\') {
            out += '\\';
            out += static_cast<char>(first);
        } else if (first < 0x20) {
            AppendEscaped(out, first);
        } else {
            out.append(bytes.substr(at, length));
        }
        at += length;
    }
    out += '"';
    return out;
}

void JsonText::BeginObject() {
    Open('{');
}
void JsonText::EndObject() {
    Close('}');
}
void JsonText::BeginArray() {
    Open('[');
}
void JsonText::EndArray() {
    Close(']');
}

void JsonText::Key(std::string_view name) {
    BeforeValue();
    text_ += JsonString(name);
    text_ += ':';
    afterKey_ = true;
}

void JsonText::String(std::string_view text) {
    BeforeValue();
    text_ += JsonString(text);
}

void JsonText::Integer(std::int64_t value) {
    BeforeValue();
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    text_.append(digits.data(), result.ptr);
}

void JsonText::Number(double value) {
    if (!std::isfinite(value)) {
        Null();
        return;
    }
    BeforeValue();
    // The fewest of 15, 16 or 17 digits that read back as the same double. (std::to_chars
    // finds the shortest too, but its tables would be a third of the program's size.)
    std::array<char, 32> digits{};
    for (int precision = 15; precision <= 17; ++precision) {
        std::snprintf(digits.data(), digits.size(), "%.*g", precision, value);
        if (std::strtod(digits.data(), nullptr) == value) {
            break;
        }
    }
    text_ += digits.data();
}

void JsonText::Null() {
    BeforeValue();
    text_ += "null";
}

// A value right after its key takes no comma; any other member or element after the first does.
void JsonText::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasMembers_.empty()) {
        if (hasMembers_.back()) {
            text_ += ',';
        }
        hasMembers_.back() = true;
    }
}

void JsonText::Open(char bracket) {
    BeforeValue();
    text_ += bracket;
    hasMembers_.push_back(false);
}

void JsonText::Close(char bracket) {
    text_ += bracket;
    if (!hasMembers_.empty()) {
        hasMembers_.pop_back();
    }
}

}  // namespace uptime
