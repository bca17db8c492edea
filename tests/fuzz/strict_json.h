// A strict reader of JSON text for the tests: the whole text must be one JSON value (RFC 8259)
// in well-formed UTF-8, or it is refused. It keeps every string it reads, decoded, in order.
// Written apart from the writer so that the two do not share a mistake.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::testing {

class StrictJson {
  public:
    // True when `text` is exactly one valid JSON value in valid UTF-8.
    bool Read(std::string_view text) {
        text_ = text;
        at_ = 0;
        strings_.clear();
        return ValidUtf8(text) && Value() && (SkipBlanks(), at_ == text_.size());
    }
    const std::vector<std::string>& Strings() const { return strings_; }

    // Decodes by value, so that overlong forms, surrogates and code points past U+10FFFF fail.
    static bool ValidUtf8(std::string_view text) {
        for (std::size_t at = 0; at < text.size();) {
            const auto lead = static_cast<unsigned char>(text[at]);
            const std::size_t length = lead < 0x80       ? 1
                                       : lead >> 5 == 6  ? 2
                                       : lead >> 4 == 14 ? 3
                                       : lead >> 3 == 30 ? 4
                                                         : 0;
            if (length == 0 || at + length > text.size()) {
                return false;
            }
            std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
            for (std::size_t index = 1; index < length; ++index) {
                const auto next = static_cast<unsigned char>(text[at + index]);
                if (next >> 6 != 2) {
                    return false;
                }
                code = code << 6 | (next & 0x3F);
            }
            constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
            if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
                return false;
            }
            at += length;
        }
        return true;
    }

  private:
    void SkipBlanks() {
        while (at_ < text_.size() && std::string_view(" \t\r\n").find(text_[at_]) != text_.npos) {
            ++at_;
        }
    }
    bool Take(std::string_view wanted, bool blanksFirst = true) {
        if (blanksFirst) {
            SkipBlanks();
        }
        const bool taken = text_.substr(at_, wanted.size()) == wanted;
        at_ += taken ? wanted.size() : 0;
        return taken;
    }
    bool Number() {
        static const std::regex kNumber("-?(0|[1-9][0-9]*)(\\.[0-9]+)?([eE][+-]?[0-9]+)?");
        std::match_results<std::string_view::const_iterator> match;
        if (!std::regex_search(text_.begin() + static_cast<std::ptrdiff_t>(at_), text_.end(), match,
                               kNumber, std::regex_constants::match_continuous)) {
            return false;
        }
        at_ += static_cast<std::size_t>(match.length());
        return true;
    }
    bool Hex4(std::uint32_t& code) {
        const char* first = text_.data() + at_;
        at_ += 4;
        return at_ <= text_.size() && std::from_chars(first, first + 4, code, 16).ptr == first + 4;
    }
    static void Append(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
            return;
        }
        const int length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        out += static_cast<char>((0xF00 >> length) | (code >> (6 * (length - 1))));
        for (int shift = 6 * (length - 2); shift >= 0; shift -= 6) {
            out += static_cast<char>(0x80 | ((code >> shift) & 0x3F));
        }
    }
    static bool High(std::uint32_t code) { return code >= 0xD800 && code <= 0xDBFF; }
    static bool Low(std::uint32_t code) { return code >= 0xDC00 && code <= 0xDFFF; }
    bool String() {
        if (!Take("\"")) {
            return false;
        }
        std::string decoded;
        while (at_ < text_.size()) {
            const char byte = text_[at_++];
            if (byte == '"') {
                strings_.push_back(decoded);
                return true;
            }
            if (static_cast<unsigned char>(byte) < 0x20) {
                return false;  // a raw control character
            }
            if (byte != '\\') {
                decoded += byte;
                continue;
            }
            const std::size_t escape =
                at_ < text_.size() ? std::string_view("\"\\/bfnrtu").find(text_[at_++]) : 9;
            if (escape < 8) {
                decoded += "\"\\/\b\f\n\r\t"[escape];
                continue;
            }
            std::uint32_t code = 0;
            std::uint32_t low = 0xDC00;  // a high half must be followed by its low half
            if (escape != 8 || !Hex4(code) || Low(code) ||
                (High(code) && !(Take("\\u", false) && Hex4(low) && Low(low)))) {
                return false;
            }
            Append(decoded, High(code) ? 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00) : code);
        }
        return false;
    }
    bool Members(char close, bool withKeys) {
        if (Take(std::string_view(&close, 1))) {
            return true;
        }
        do {
            if ((withKeys && (!String() || !Take(":"))) || !Value()) {
                return false;
            }
        } while (Take(","));
        return Take(std::string_view(&close, 1));
    }
    bool Value() {
        SkipBlanks();
        const char first = at_ < text_.size() ? text_[at_] : '\0';
        return first == '{'   ? (++at_, Members('}', true))
               : first == '[' ? (++at_, Members(']', false))
               : first == '"' ? String()
                              : Take("true") || Take("false") || Take("null") || Number();
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::vector<std::string> strings_;
};

}  // namespace ombrix::testing
