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

std::string WithReason(std::string sentence, const std::string& reason) {
    if (!reason.empty()) {
        sentence += "\r\n\r\n" + reason;
    }
    return sentence;
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
// the next launch is let through. After a successful run the results window has cleared the
// flag already; clearing it again is harmless.
class RunCleanup {
  public:
    RunCleanup(const std::string& outputPath, bool& launchActive)
        : outputPath_(outputPath), launchActive_(launchActive) {}
    ~RunCleanup() {
        platform::RemoveFile(outputPath_);
        launchActive_ = false;
    }
    RunCleanup(const RunCleanup&) = delete;
    RunCleanup& operator=(const RunCleanup&) = delete;

  private:
    const std::string& outputPath_;
    bool& launchActive_;
};

void ShowOutcome(LaunchEnvironment& environment, const runner::RunOutcome& outcome,
                 const std::string& outputPath) {
    using Kind = runner::RunOutcome::Kind;
    platform::MessageBoxes& messages = environment.messages;
    switch (outcome.kind) {
        case Kind::Refused:  // the runner has said why
        case Kind::Cancelled:
            return;
        case Kind::OutputNotCreated:
            Warn(messages,
                 WithReason("Ombrix could not create the temporary file " + outputPath + ".",
                            outcome.reason));
            return;
        case Kind::NotStarted:
            Warn(messages, WithReason("Ombrix could not start " + environment.uptimePath + ".",
                                      outcome.reason));
            return;
        case Kind::Finished:
            break;
    }

    if (!shared::FileExists(outputPath)) {
        Warn(messages, kMissingOutputMessage);
        return;
    }
    const platform::FileContent content = platform::ReadWholeFile(outputPath);
    if (!content.ok) {
        Warn(messages, WithReason("Ombrix could not read the temporary file " + outputPath +
                                      ", which holds what UPTIME.EXE printed.",
                                  content.reason));
        return;
    }
    if (outcome.exitCode == 0) {
        environment.results.ShowModal(content.bytes);
        return;
    }
    if (content.bytes.empty()) {
        Warn(messages, "UPTIME.EXE ended with exit code " + ExitCodeText(outcome.exitCode) +
                           " and printed nothing.");
        return;
    }
    Warn(messages, content.bytes);
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
    const runner::RunOutcome outcome = runner::RunAndCapture(
        request, environment.launchActive, environment.messages, environment.waiter);
    if (outcome.kind == runner::RunOutcome::Kind::Refused) {
        // The earlier run still owns the flag, and nothing of ours was created.
        return;
    }
    RunCleanup cleanup(outputPath, environment.launchActive);
    ShowOutcome(environment, outcome, outputPath);
}

}  // namespace ombrix::options
