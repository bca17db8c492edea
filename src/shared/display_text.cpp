#include "shared/display_text.h"

#include <cstdint>
#include <cstring>

namespace ombrix::shared {

std::size_t FindControlByte(std::string_view text, std::size_t from) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    constexpr std::uint64_t kLimit = 0x0E;
    std::size_t at = from;
    // A word with a byte below the limit has a high bit left in (word - limit) & ~word.
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + at, sizeof(word));
        if (((word - kOnes * kLimit) & ~word & kHighBits) != 0) {
            break;
        }
    }
    for (; at < text.size(); ++at) {
        if (static_cast<unsigned char>(text[at]) < kLimit) {
            return at;
        }
    }
    return text.size();
}

std::string DisplayText(std::string_view output) {
    std::string text;
    text.reserve(output.size() + output.size() / 64);
    std::size_t copied = 0;  // the output up to here is in `text`
    std::size_t at = 0;
    // Runs that need no change, CR LF pairs included, are copied whole.
    while ((at = FindControlByte(output, at)) < output.size()) {
        const char c = output[at];
        if (c == '\r' && at + 1 < output.size() && output[at + 1] == '\n') {
            at += 2;
            continue;
        }
        if (c != '\0' && c != '\r' && c != '\n') {
            ++at;
            continue;
        }
        text.append(output, copied, at - copied);
        text += c == '\0' ? " " : "\r\n";
        copied = ++at;
    }
    text.append(output, copied, output.size() - copied);
    return text;
}

std::string ToDisplayText(std::string output) {
    std::size_t at = 0;
    while ((at = FindControlByte(output, at)) < output.size()) {
        const char c = output[at];
        if (c == '\0') {
            output[at] = ' ';
        } else if (c == '\r' && at + 1 < output.size() && output[at + 1] == '\n') {
            ++at;
        } else if (c == '\r' || c == '\n') {
            return DisplayText(output);  // the text grows: made afresh
        }
        ++at;
    }
    return output;
}

}  // namespace ombrix::shared
