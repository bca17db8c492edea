#include "shared/whole_number.h"

#include "base/digits.h"
#include "base/text.h"

namespace ombrix::shared {
namespace {

struct SignedDigits {
    bool negative = false;
    std::string_view digits;
};

std::optional<SignedDigits> Split(std::string_view text) {
    text = base::TrimBlanks(text);
    SignedDigits parts;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        parts.negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || base::ContainsNonDigit(text)) {
        return std::nullopt;
    }
    parts.digits = text;
    return parts;
}

}  // namespace

bool IsWholeNumber(std::string_view text) {
    return Split(text).has_value();
}

std::optional<std::int64_t> ReadWholeNumber(std::string_view text, std::int64_t least,
                                            std::int64_t most) {
    const std::optional<SignedDigits> parts = Split(text);
    if (!parts) {
        return std::nullopt;
    }
    std::string_view digits = parts->digits;
    const std::size_t significant = digits.find_first_not_of('0');
    digits = significant == std::string_view::npos ? "0" : digits.substr(significant);
    // More digits than ReadDigits takes lie outside every range the program reads.
    const std::optional<std::int64_t> magnitude = base::ReadDigits(digits, 18);
    if (!magnitude) {
        return std::nullopt;
    }
    const std::int64_t value = parts->negative ? -*magnitude : *magnitude;
    if (value < least || value > most) {
        return std::nullopt;
    }
    return value;
}

}  // namespace ombrix::shared
