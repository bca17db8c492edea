#include "base/date_fields.h"

#include "base/digits.h"

namespace ombrix::base {
namespace {

constexpr int kFirstYear = 1601;

}  // namespace

std::optional<CalendarDate> ReadDateFields(std::string_view dayText, std::string_view monthText,
                                           std::string_view yearText) {
    const auto day = ReadDigits(dayText, 2);
    const auto month = ReadDigits(monthText, 2);
    const auto year = ReadDigits(yearText, 4);
    // A year of three digits has no reading: neither a window nor as it stands.
    if (!day || !month || !year || yearText.size() == 3) {
        return std::nullopt;
    }
    const CalendarDate date{
        ExpandShortYear(static_cast<int>(*year), static_cast<int>(yearText.size())),
        static_cast<int>(*month), static_cast<int>(*day)};
    if (date.year < kFirstYear || !IsValidDate(date)) {
        return std::nullopt;
    }
    return date;
}

}  // namespace ombrix::base
