#include "base/leading_number.h"

#include <string>

#include "base/text.h"

namespace ombrix::base {

bool ReadsAsZero(std::string_view text) {
    std::string packed;
    for (char c : text) {
        if (!IsBlank(c)) {
            packed += c;
        }
    }
    std::size_t i = 0;
    if (i < packed.size() && (packed[i] == '+' || packed[i] == '-')) {
        ++i;
    }
    // Only the mantissa decides whether the number is zero; an exponent cannot change that.
    bool seenPoint = false;
    for (; i < packed.size(); ++i) {
        const char c = packed[i];
        if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (c >= '1' && c <= '9') {
            return false;
        } else if (c != '0') {
            break;
        }
    }
    return true;
}

}  // namespace ombrix::base
