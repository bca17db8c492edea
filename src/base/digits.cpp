#include "base/digits.h"

#include <algorithm>

namespace ombrix::base {

bool ContainsNonDigit(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c < '0' || c > '9'; });
}

std::optional<std::int64_t> ReadDigits(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > std::min<std::size_t>(maxDigits, 18) ||
        ContainsNonDigit(text)) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

int DigitValue(char c, int radix) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < radix ? value : -1;
}

}  // namespace ombrix::base
