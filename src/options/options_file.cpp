#include "options/options_file.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "base/digits.h"
#include "base/text.h"
#include "platform/process_files.h"
#include "shared/shared_routines.h"
#include "shared/whole_number.h"

namespace ombrix::options {
namespace {

constexpr std::size_t kLineCount = 14;
constexpr int kSmallestNumber = -32768;  // the file's numbers are 16-bit signed
constexpr int kLargestNumber = 32767;
constexpr const char* kLineEnd = "\r\n";

// Lines 1 to 14 of the file, line ends removed; fewer when the file is shorter. A line ends at
// LF, with a CR right before it dropped; the last line may lack its line end.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty() && lines.size() < kLineCount) {
        const std::size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
    }
    return lines;
}

// A number line's value: a whole number that fits the file's 16 bits.
std::optional<int> ToNumber(std::string_view text) {
    const auto value = shared::ReadWholeNumber(text, kSmallestNumber, kLargestNumber);
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

// "True" or "False", or a number as older versions wrote a Boolean: 0 is False, any other number
// (True was -1) True.
std::optional<bool> ToBoolean(std::string_view text) {
    const std::string_view word = base::TrimBlanks(text);
    if (base::EqualsIgnoringCase(word, "true")) {
        return true;
    }
    if (base::EqualsIgnoringCase(word, "false")) {
        return false;
    }
    if (shared::IsWholeNumber(text)) {
        return !shared::ReadWholeNumber(text, 0, 0);
    }
    return std::nullopt;
}

const char* BooleanText(bool value) {
    return value ? "True" : "False";
}

// A text box's number as saved: digits give their value and an empty box 0; anything else,
// including a value too large for the file, gives nothing, so that what is saved loads again.
std::optional<int> BoxNumber(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const std::optional<std::int64_t> value = base::ReadDigits(text, 18);
    if (!value || *value > kLargestNumber) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

// Day and month as the date boxes show them: 0 to 9 with a leading zero (7 shows as 07). A value
// the boxes were never meant to hold (a negative day, a month above 12) shows as plain decimal,
// for the launch's date check to refuse as it stands.
std::string DatePartText(int value) {
    return (value >= 0 && value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

std::string FormatOptionsFile(const StoredOptions& options, std::string_view signature) {
    const std::array<std::string, kLineCount> lines = {
        std::string(signature),
        "255",
        options.uptimePath,
        BooleanText(options.sinceDate),
        BooleanText(options.remoteMachine),
        options.machineName,
        BooleanText(options.showEvents),
        BooleanText(options.showAppFailures),
        BooleanText(options.restrictPeriod),
        std::to_string(options.day),
        std::to_string(options.month),
        std::to_string(options.year),
        std::to_string(options.dayCount),
        BooleanText(options.showCommandLine),
    };
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line;
        bytes += kLineEnd;
    }
    return bytes;
}

std::optional<StoredOptions> ParseOptionsFile(std::string_view bytes, std::string_view signature) {
    const std::vector<std::string_view> lines = SplitLines(bytes);
    // Line 2's value never mattered, so any whole number will do there.
    if (lines.size() < kLineCount || lines[0] != signature || !shared::IsWholeNumber(lines[1])) {
        return std::nullopt;
    }
    // Everything is converted before anything is kept: a damaged file yields nothing at all.
    const std::optional<bool> sinceDate = ToBoolean(lines[3]);
    const std::optional<bool> remoteMachine = ToBoolean(lines[4]);
    const std::optional<bool> showEvents = ToBoolean(lines[6]);
    const std::optional<bool> showAppFailures = ToBoolean(lines[7]);
    const std::optional<bool> restrictPeriod = ToBoolean(lines[8]);
    const std::optional<int> day = ToNumber(lines[9]);
    const std::optional<int> month = ToNumber(lines[10]);
    const std::optional<int> year = ToNumber(lines[11]);
    const std::optional<int> dayCount = ToNumber(lines[12]);
    const std::optional<bool> showCommandLine = ToBoolean(lines[13]);
    if (!sinceDate || !remoteMachine || !showEvents || !showAppFailures || !restrictPeriod ||
        !day || !month || !year || !dayCount || !showCommandLine) {
        return std::nullopt;
    }
    StoredOptions options;
    options.uptimePath = std::string(lines[2]);
    options.sinceDate = *sinceDate;
    options.remoteMachine = *remoteMachine;
    options.machineName = std::string(lines[5]);
    options.showEvents = *showEvents;
    options.showAppFailures = *showAppFailures;
    options.restrictPeriod = *restrictPeriod;
    options.day = *day;
    options.month = *month;
    options.year = *year;
    options.dayCount = *dayCount;
    options.showCommandLine = *showCommandLine;
    return options;
}

StoredOptions ToStoredOptions(const OptionState& state, const std::string& uptimePath) {
    StoredOptions options;
    options.uptimePath = uptimePath;
    options.sinceDate = state.sinceDate;
    options.remoteMachine = state.remoteMachine;
    options.machineName = state.machineName;
    options.showEvents = state.showEvents;
    options.showAppFailures = state.showAppFailures;
    options.restrictPeriod = state.restrictPeriod;
    options.day = BoxNumber(state.day).value_or(0);
    options.month = BoxNumber(state.month).value_or(0);
    options.year = BoxNumber(state.year).value_or(0);
    options.dayCount = BoxNumber(state.dayCount).value_or(*BoxNumber(kDefaultDayCount));
    options.showCommandLine = state.showCommandLine;
    return options;
}

LoadedOptions ToLoadedOptions(const StoredOptions& options, const base::CalendarDate& today) {
    LoadedOptions loaded;
    loaded.uptimePath = options.uptimePath;
    OptionState& state = loaded.state;
    state.remoteMachine = options.remoteMachine;
    state.machineName = options.machineName;
    state.showEvents = options.showEvents;
    state.showAppFailures = options.showAppFailures;
    state.restrictPeriod = options.restrictPeriod;
    state.sinceDate = options.sinceDate;
    state.periodChosen = true;
    const DateTexts date = options.day == 0
                               ? DefaultDate(today)
                               : DateTexts{DatePartText(options.day), DatePartText(options.month),
                                           std::to_string(options.year)};
    state.day = date.day;
    state.month = date.month;
    state.year = date.year;
    state.dayCount = std::to_string(options.dayCount);
    state.showCommandLine = options.showCommandLine;
    return loaded;
}

base::Result<> SaveOptions(const std::string& path, const OptionState& state,
                           const std::string& uptimePath) {
    // Whoever marked the file read-only meant to keep these settings.
    if (platform::IsReadOnlyFile(path)) {
        return base::Failure{"Ombrix has not saved its options: " + path +
                                 " is read-only, so it stays as it is.\r\n\r\nTo let Ombrix save "
                                 "its options again, clear the file's read-only mark.",
                             base::FailureKind::AccessDenied};
    }
    const std::string bytes =
        FormatOptionsFile(ToStoredOptions(state, uptimePath), kOptionsSignature);
    base::Result<> saved = platform::ReplaceFileContent(path, bytes);
    if (saved) {
        return saved;
    }
    std::string sentence = "Ombrix could not save its options to " + path + ".";
    // Only a refusal is the folder's doing; a full disk or a locked file has its own remedy,
    // which the system's reason tells.
    if (saved.Kind() == base::FailureKind::AccessDenied) {
        sentence +=
            "\r\n\r\nOmbrix keeps its options in that file, beside the program. Windows lets "
            "only administrators write in some folders, such as C:\\Program Files. To keep your "
            "options, move the Ombrix folder to a folder where you may write, such as your "
            "Documents folder, and start Ombrix from there.";
    }
    return base::Failure{base::WithReason(std::move(sentence), saved.Reason()), saved.Kind()};
}

std::optional<LoadedOptions> LoadOptions(const std::string& path, const base::CalendarDate& today,
                                         platform::MessageBoxes& messages) {
    // A save cut short (the program killed mid-write) leaves its new file beside the old one.
    platform::RemoveAbandonedReplacements(path);
    if (!shared::FileExists(path)) {
        return std::nullopt;
    }
    // A file that is there but cannot be read is as unusable as a damaged one.
    const base::Result<std::string> content = platform::ReadWholeFile(path);
    const std::optional<StoredOptions> options =
        content ? ParseOptionsFile(*content, kOptionsSignature) : std::nullopt;
    if (!options) {
        messages.Show(kOptionsRejectedMessage, platform::MessageStyle::OkExclamation);
        return std::nullopt;
    }
    return ToLoadedOptions(*options, today);
}

}  // namespace ombrix::options
