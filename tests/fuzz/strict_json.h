// A strict reader of JSON text for the tests: the whole text must be one JSON value (RFC 8259)
// in well-formed UTF-8, or it is refused. It keeps every string it reads, decoded, in order.
// Written apart from the writer so that the two do not share a mistake.
#pragma once

#include <cstddef>
#include <cstdint>
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
        return ValidUtf8(text) && Value(0) && (SkipBlanks(), at_ == text_.size());
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
    static constexpr int kDeepest = 64;

    void SkipBlanks() {
        while (at_ < text_.size() &&
               std::string_view(" \t\r\n").find(text_[at_]) != std::string_view::npos) {
            ++at_;
        }
    }
    bool Take(char wanted) {
        SkipBlanks();
        if (at_ < text_.size() && text_[at_] == wanted) {
            ++at_;
            return true;
        }
        return false;
    }
    bool Word(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) {
            return false;
        }
        at_ += word.size();
        return true;
    }
    bool Digits() {
        const std::size_t start = at_;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
            ++at_;
        }
        return at_ > start;
    }
    bool Number() {
        if (at_ < text_.size() && text_[at_] == '-') {
            ++at_;
        }
        if (at_ < text_.size() && text_[at_] == '0') {
            ++at_;
        } else if (!Digits()) {
            return false;
        }
        if (at_ < text_.size() && text_[at_] == '.' && (++at_, !Digits())) {
            return false;
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) {
                ++at_;
            }
            return Digits();
        }
        return true;
    }
    bool Hex4(std::uint32_t& code) {
        code = 0;
        for (int index = 0; index < 4; ++index, ++at_) {
            if (at_ >= text_.size()) {
                return false;
            }
            const char digit = text_[at_];
            const std::size_t value = std::string_view("0123456789abcdefABCDEF").find(digit);
            if (value == std::string_view::npos) {
                return false;
            }
            code = code << 4 | static_cast<std::uint32_t>(value < 16 ? value : value - 6);
        }
        return true;
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
    bool String() {
        if (!Take('"')) {
            return false;
        }
        std::string decoded;
        while (at_ < text_.size()) {
            const auto byte = static_cast<unsigned char>(text_[at_++]);
            if (byte == '"') {
                strings_.push_back(decoded);
                return true;
            }
            if (byte < 0x20) {
                return false;  // a raw control character
            }
            if (byte != '\\') {
                decoded += static_cast<char>(byte);
                continue;
            }
            if (at_ >= text_.size()) {
                return false;
            }
            const char escape = text_[at_++];
            const std::size_t simple = std::string_view("\"\\/bfnrt").find(escape);
            if (simple != std::string_view::npos) {
                decoded += "\"\\/\b\f\n\r\t"[simple];
                continue;
            }
            std::uint32_t code = 0;
            if (escape != 'u' || !Hex4(code) || (code >= 0xDC00 && code <= 0xDFFF)) {
                return false;
            }
            if (code >= 0xD800 && code <= 0xDBFF) {  // must be followed by its low half
                std::uint32_t low = 0;
                if (!Word("\\u") || !Hex4(low) || low < 0xDC00 || low > 0xDFFF) {
                    return false;
                }
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            }
            Append(decoded, code);
        }
        return false;
    }
    bool Members(char close, int depth, bool withKeys) {
        if (Take(close)) {
            return true;
        }
        do {
            if ((withKeys && (!String() || !Take(':'))) || !Value(depth + 1)) {
                return false;
            }
        } while (Take(','));
        return Take(close);
    }
    bool Value(int depth) {
        SkipBlanks();
        if (depth > kDeepest || at_ >= text_.size()) {
            return false;
        }
        switch (text_[at_]) {
            case '{':
                ++at_;
                return Members('}', depth, true);
            case '[':
                ++at_;
                return Members(']', depth, false);
            case '"':
                return String();
            case 't':
                return Word("true");
            case 'f':
                return Word("false");
            case 'n':
                return Word("null");
            default:
                return Number();
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::vector<std::string> strings_;
};

}  // namespace ombrix::testing
