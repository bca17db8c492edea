#include "options/launch_sequence.h"

#include <cstdint>
#include <cstdio>

#include "base/digits.h"
#include "options/command_line.h"
#include "platform/process_files.h"
#include "runner/file_name_generator.h"
#include "shared/shared_routines.h"

namespace ombrix::options {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A part of the date: digits only once the blanks around them are gone, at most `maxDigits`.
std::optional<int> ReadDatePart(std::string_view text, std::size_t maxDigits,
                                std::size_t* digitCount = nullptr) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    if (text.empty() || text.size() > maxDigits || base::ContainsNonDigit(text)) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    if (digitCount != nullptr) {
        *digitCount = text.size();
    }
    return value;
}

void Warn(platform::MessageBoxes& messages, const std::string& text) {
    messages.Show(text, platform::MessageStyle::OkExclamation);
}

// Codes such as 0xC0000005 mean more to a reader in hexadecimal.
std::string ExitCodeText(std::int32_t code) {
    std::string text = std::to_string(code);
    if (code < 0) {
        char hex[16] = {};
        std::snprintf(hex, sizeof hex, " (0x%08X)", static_cast<unsigned>(code));
        text += hex;
    }
    return text;
}

// The message for the first check the choices fail, or null when the launch may go on.
const char* FailedCheck(const LaunchEnvironment& environment) {
    const OptionView& view = environment.view;
    if (environment.uptimePath.empty()) {
        return kLocateMessage;
    }
    if (view.Value(Control::Server) == kChecked) {
        const std::string name = view.Text(Control::NameIPAddress);
        if (name.empty() || name == kMachinePlaceholder) {
            return kMachineMessage;
        }
    }
    if (view.Value(Control::DoDates) == kChecked) {
        const auto date = ReadDayFirstDate(view.Text(Control::DD), view.Text(Control::MM),
                                           view.Text(Control::YYYY));
        if (!date) {
            return kInvalidDateMessage;
        }
        if (base::DaysBetween(*date, environment.today) < 0) {
            return kFutureDateMessage;
        }
    }
    return nullptr;
}

// The switches are whatever follows the tool's word in the displayed line.
std::string CommandTail(const std::string& commandLine) {
    return commandLine.size() > kToolWord.size() ? commandLine.substr(kToolWord.size())
                                                 : std::string();
}

std::string FreeOutputPath() {
    const std::string directory = shared::GetTempDirectory();
    std::string path;
    do {
        path = shared::JoinPath(directory, runner::MakeTempFileName());
    } while (shared::FileExists(path));
    return path;
}

// However the run's output is dealt with, even by an exception, the temporary file goes and
// the run is dismissed. After a successful run the results window has dismissed it already.
class RunCleanup {
  public:
    RunCleanup(const std::string& outputPath, runner::RunState& runState)
        : outputPath_(outputPath), runState_(runState) {}
    ~RunCleanup() {
        static_cast<void>(platform::RemoveFile(outputPath_));
        runState_.Dismiss();
    }
    RunCleanup(const RunCleanup&) = delete;
    RunCleanup& operator=(const RunCleanup&) = delete;

  private:
    const std::string& outputPath_;
    runner::RunState& runState_;
};

void ShowOutput(LaunchEnvironment& environment, std::int32_t exitCode,
                const std::string& outputPath) {
    platform::MessageBoxes& messages = environment.messages;
    if (!shared::FileExists(outputPath)) {
        Warn(messages, kMissingOutputMessage);
        return;
    }
    const base::Result<std::string> content = platform::ReadWholeFile(outputPath);
    if (!content) {
        Warn(messages, base::WithReason("Ombrix could not read the temporary file " + outputPath +
                                            ", which holds what UPTIME.EXE printed.",
                                        content.Reason()));
        return;
    }
    if (exitCode == 0) {
        environment.results.ShowModal(*content);
        return;
    }
    if (content->empty()) {
        Warn(messages,
             "UPTIME.EXE ended with exit code " + ExitCodeText(exitCode) + " and printed nothing.");
        return;
    }
    Warn(messages, *content);
}

}  // namespace

std::optional<base::CalendarDate> ReadDayFirstDate(std::string_view dd, std::string_view mm,
                                                   std::string_view yyyy) {
    std::size_t yearDigits = 0;
    const auto day = ReadDatePart(dd, 2);
    const auto month = ReadDatePart(mm, 2);
    const auto year = ReadDatePart(yyyy, 4, &yearDigits);
    if (!day || !month || !year) {
        return std::nullopt;
    }
    const base::CalendarDate date{base::ExpandShortYear(*year, static_cast<int>(yearDigits)),
                                  *month, *day};
    if (!base::IsValidDate(date)) {
        return std::nullopt;
    }
    return date;
}

void LaunchUptime(LaunchEnvironment& environment) {
    if (const char* failed = FailedCheck(environment)) {
        Warn(environment.messages, failed);
        return;
    }

    const std::string outputPath = FreeOutputPath();
    const runner::RunRequest request{outputPath, environment.uptimePath,
                                     CommandTail(environment.view.Text(Control::CmdLine))};
    const base::Result<runner::RunEnd> run =
        runner::RunAndCapture(request, environment.runState, environment.waiter);
    if (!run) {
        // Refused, or never started: the runner has left nothing behind to clean.
        Warn(environment.messages, run.Reason());
        return;
    }
    if (run->cancelled) {
        return;
    }
    RunCleanup cleanup(outputPath, environment.runState);
    ShowOutput(environment, run->exitCode, outputPath);
}

}  // namespace ombrix::options
