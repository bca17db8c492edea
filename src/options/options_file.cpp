#include "options/options_file.h"

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "base/digits.h"
#include "options/command_line.h"
#include "platform/process_files.h"
#include "shared/shared_routines.h"

namespace ombrix::options {
namespace {

constexpr std::size_t kLineCount = 14;
constexpr int kLargestNumber = 32767;  // the file's numbers are 16-bit signed
constexpr int kDefaultDayCount = 5;
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

// Digits only, within 0..32767. Leading zeros are read, signs and blanks are not: the writer
// never puts them there.
std::optional<int> ToNumber(std::string_view text) {
    if (text.empty() || base::ContainsNonDigit(text)) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > kLargestNumber) {
            return std::nullopt;
        }
    }
    return value;
}

bool EqualsIgnoringCase(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != word[i]) {
            return false;
        }
    }
    return true;
}

std::optional<bool> ToBoolean(std::string_view text) {
    if (EqualsIgnoringCase(text, "true")) {
        return true;
    }
    if (EqualsIgnoringCase(text, "false")) {
        return false;
    }
    if (const std::optional<int> number = ToNumber(text)) {
        return *number != 0;
    }
    return std::nullopt;
}

const char* BooleanText(bool value) {
    return value ? "True" : "False";
}

// A text box's number as saved: digits give their value, anything else the fallback. A value
// too large for the file counts as "anything else", so that what is saved can be loaded again.
int BoxNumber(const std::string& text, int fallback) {
    if (base::ContainsNonDigit(text)) {
        return fallback;
    }
    return text.empty() ? 0 : ToNumber(text).value_or(fallback);
}

// Day and month as the date boxes show them: two digits at least.
std::string TwoDigits(int value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

std::string FormatOptionsFile(const StoredOptions& options, std::string_view signature) {
    const std::array<std::string, kLineCount> lines = {
        std::string(signature),       "255",
        options.uptimePath,           BooleanText(options.dateSwitch),
        BooleanText(options.server),  options.nameIPAddress,
        BooleanText(options.sSwitch), BooleanText(options.aSwitch),
        BooleanText(options.doDates), std::to_string(options.dd),
        std::to_string(options.mm),   std::to_string(options.yyyy),
        std::to_string(options.pd),   BooleanText(options.showCommandLine),
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
    if (lines.size() < kLineCount || lines[0] != signature || !ToNumber(lines[1])) {
        return std::nullopt;
    }
    // Everything is converted before anything is kept: a damaged file yields nothing at all.
    const std::optional<bool> dateSwitch = ToBoolean(lines[3]);
    const std::optional<bool> server = ToBoolean(lines[4]);
    const std::optional<bool> sSwitch = ToBoolean(lines[6]);
    const std::optional<bool> aSwitch = ToBoolean(lines[7]);
    const std::optional<bool> doDates = ToBoolean(lines[8]);
    const std::optional<int> dd = ToNumber(lines[9]);
    const std::optional<int> mm = ToNumber(lines[10]);
    const std::optional<int> yyyy = ToNumber(lines[11]);
    const std::optional<int> pd = ToNumber(lines[12]);
    const std::optional<bool> showCommandLine = ToBoolean(lines[13]);
    if (!dateSwitch || !server || !sSwitch || !aSwitch || !doDates || !dd || !mm || !yyyy || !pd ||
        !showCommandLine) {
        return std::nullopt;
    }
    StoredOptions options;
    options.uptimePath = std::string(lines[2]);
    options.dateSwitch = *dateSwitch;
    options.server = *server;
    options.nameIPAddress = std::string(lines[5]);
    options.sSwitch = *sSwitch;
    options.aSwitch = *aSwitch;
    options.doDates = *doDates;
    options.dd = *dd;
    options.mm = *mm;
    options.yyyy = *yyyy;
    options.pd = *pd;
    options.showCommandLine = *showCommandLine;
    return options;
}

StoredOptions CaptureOptions(const OptionView& view, const std::string& uptimePath) {
    const auto checked = [&view](Control c) { return view.Value(c) == kChecked; };
    StoredOptions options;
    options.uptimePath = uptimePath;
    options.server = checked(Control::Server);
    options.sSwitch = checked(Control::SSwitch);
    options.aSwitch = checked(Control::ASwitch);
    options.doDates = checked(Control::DoDates);
    options.dd = BoxNumber(view.Text(Control::DD), 0);
    options.mm = BoxNumber(view.Text(Control::MM), 0);
    options.yyyy = BoxNumber(view.Text(Control::YYYY), 0);
    options.pd = BoxNumber(view.Text(Control::pd), kDefaultDayCount);
    options.nameIPAddress = view.Text(Control::NameIPAddress);
    options.dateSwitch = view.Value(Control::DateSwitch) != 0;
    options.showCommandLine = view.Value(Control::Menu_Settings_Cmdlin) == 1;
    return options;
}

void ApplyOptions(const StoredOptions& options, OptionForm& form, OptionView& view,
                  std::string& uptimePath, const base::CalendarDate& today) {
    uptimePath = options.uptimePath;
    // The check mark comes first, so that the clicks below already show or hide the command
    // line as it was saved.
    view.PutValue(Control::Menu_Settings_Cmdlin, options.showCommandLine ? 1 : 0);

    const std::array<std::pair<Control, bool>, 4> boxes = {{
        {Control::Server, options.server},
        {Control::SSwitch, options.sSwitch},
        {Control::ASwitch, options.aSwitch},
        {Control::DoDates, options.doDates},
    }};
    for (const auto& box : boxes) {
        form.SetValue(box.first, kUnchecked);
    }
    for (const auto& box : boxes) {
        if (box.second) {
            form.SetValue(box.first, kChecked);
        }
    }

    form.SetText(Control::NameIPAddress, options.nameIPAddress);
    form.SetText(Control::pd, std::to_string(options.pd));

    // A day of 0 means no date was kept: today's month and year stand in for the stored ones.
    if (options.dd == 0) {
        form.SetText(Control::DD, "01");
        form.SetText(Control::MM, std::to_string(today.month));
        form.SetText(Control::YYYY, std::to_string(today.year));
    } else {
        form.SetText(Control::DD, TwoDigits(options.dd));
        form.SetText(Control::MM, TwoDigits(options.mm));
        form.SetText(Control::YYYY, std::to_string(options.yyyy));
    }

    // Selecting one option button deselects the other, so exactly one ends up selected.
    form.SetValue(options.dateSwitch ? Control::DateSwitch : Control::PSwitch, 1);
}

bool SaveOptions(const std::string& path, const OptionView& view, const std::string& uptimePath,
                 platform::MessageBoxes& messages) {
    const std::string bytes =
        FormatOptionsFile(CaptureOptions(view, uptimePath), kOptionsSignature);
    const base::Result<> saved = platform::ReplaceFileContent(path, bytes);
    if (saved) {
        return true;
    }
    messages.Show(
        base::WithReason("Ombrix could not save its options to " + path + ".", saved.Reason()),
        platform::MessageStyle::OkExclamation);
    return false;
}

void LoadOptions(const std::string& path, OptionForm& form, OptionView& view,
                 std::string& uptimePath, const base::CalendarDate& today,
                 platform::MessageBoxes& messages) {
    if (!shared::FileExists(path)) {
        return;
    }
    // A file that is there but cannot be read is as unusable as a damaged one.
    const base::Result<std::string> content = platform::ReadWholeFile(path);
    const std::optional<StoredOptions> options =
        content ? ParseOptionsFile(*content, kOptionsSignature) : std::nullopt;
    if (!options) {
        messages.Show(kOptionsRejectedMessage, platform::MessageStyle::OkExclamation);
        return;
    }
    ApplyOptions(*options, form, view, uptimePath, today);
}

}  // namespace ombrix::options
