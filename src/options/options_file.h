// The options file "ombrixopts.cfg": the option state, the tool's location and the Show
// Command Line state, kept between runs as 14 lines of ANSI text with CR LF.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/calendar.h"
#include "base/result.h"
#include "options/command_line.h"
#include "platform/dialogs.h"

namespace ombrix::options {

inline constexpr const char* kOptionsFileName = "ombrixopts.cfg";
inline constexpr const char* kOptionsSignature = "Ombrix_OptsN";
inline constexpr const char* kOptionsRejectedMessage =
    "Options file cannot be loaded! Assuming default values.";

// The values of lines 3 to 14, converted.
struct StoredOptions {
    std::string uptimePath;        // line 3
    bool sinceDate = false;        // line 4
    bool remoteMachine = false;    // line 5
    std::string machineName;       // line 6
    bool showEvents = false;       // line 7
    bool showAppFailures = false;  // line 8
    bool restrictPeriod = false;   // line 9
    int day = 0;                   // line 10
    int month = 0;                 // line 11
    int year = 0;                  // line 12
    int dayCount = 0;              // line 13
    bool showCommandLine = true;   // line 14
    friend bool operator==(const StoredOptions&, const StoredOptions&) = default;
};

// The whole file: `signature`, "255", then lines 3 to 14, each line ending in CR LF. Numbers are
// written in plain decimal, a minus sign before a negative one.
std::string FormatOptionsFile(const StoredOptions& options, std::string_view signature);

// The file's values, or nothing when it is to be rejected: a first line other than `signature`
// (exactly), fewer than 14 lines, or a line its form does not allow. A Boolean line holds "True"
// or "False" in any letter case, or a number (0 is False, any other True); a number line a
// decimal whole number from -32768 to 32767; line 2 any whole number. Around a number or a word
// blanks may stand, and a number may carry one sign right before its digits.
std::optional<StoredOptions> ParseOptionsFile(std::string_view bytes, std::string_view signature);

// SaveOptions' values: the state's check boxes, the date and day boxes as numbers (digits give
// their value, an empty box 0; a box with anything else gives 0, dayCount the default day count).
StoredOptions ToStoredOptions(const OptionState& state, const std::string& uptimePath);

// What a loaded file restores: the option state, exactly one period chosen, and the tool's
// location.
struct LoadedOptions {
    OptionState state;
    std::string uptimePath;
};

// The file's values as the boxes show them: numbers in plain decimal, but a day and month below
// 10 with a leading zero; a stored day of 0 means no date was kept, and `today` gives the
// start-up date in its place.
LoadedOptions ToLoadedOptions(const StoredOptions& options, const base::CalendarDate& today);

// SaveOptions: writes the file at `path` as ReplaceFileContent does. A read-only file is left as
// it is; any other failure leaves the previous file intact. The failure's reason is the message
// to show: it names the file and gives the system's reason, and where the system refused access
// it also says how to give Ombrix a place to write.
base::Result<> SaveOptions(const std::string& path, const OptionState& state,
                           const std::string& uptimePath);

// LoadOptions: no file, nothing; a rejected file, the rejection message and nothing; otherwise
// the file's values as ToLoadedOptions gives them, for the window to apply. Leftovers of saves
// cut short are cleared away first.
std::optional<LoadedOptions> LoadOptions(const std::string& path, const base::CalendarDate& today,
                                         platform::MessageBoxes& messages);

}  // namespace ombrix::options
