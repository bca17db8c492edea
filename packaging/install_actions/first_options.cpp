#include "packaging/install_actions/first_options.h"

#include "base/calendar.h"
#include "options/command_line.h"
#include "options/options_file.h"

namespace ombrix::packaging {

std::string FirstOptionsFile(const std::string& folder) {
    // The start-up values hold a date; a stored day of 0 says none was kept, so the date is
    // never the day of the install.
    options::StoredOptions stored = options::ToStoredOptions(
        options::DefaultOptionState(base::CalendarDate{2000, 1, 1}), folder + "uptime.exe");
    stored.day = 0;
    stored.month = 0;
    stored.year = 0;
    return options::FormatOptionsFile(stored, options::kOptionsSignature);
}

}  // namespace ombrix::packaging
