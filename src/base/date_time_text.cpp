#include "base/date_time_text.h"

namespace ombrix::base {

std::string GeneralDateTimeText(const LocalMoment& moment, std::string_view shortDate,
                                std::string_view longTime) {
    std::string text(shortDate);
    if (moment.hour != 0 || moment.minute != 0 || moment.second != 0) {
        text += ' ';
        text += longTime;
    }
    return text;
}

}  // namespace ombrix::base
