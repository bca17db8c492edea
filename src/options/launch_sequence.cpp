#include "options/launch_sequence.h"

#include <cstdint>
#include <cstdio>
#include <new>
#include <utility>

#include "base/digits.h"
#include "platform/process_files.h"
#include "runner/file_name_generator.h"
#include "shared/display_text.h"
#include "shared/shared_routines.h"

namespace ombrix::options {
namespace {

// Windows keeps no time before 1601, and the tool refuses earlier years.
constexpr int kFirstYear = 1601;

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

// Whether the choices let the launch go on; the first check they fail gives its message.
base::Result<> CheckChoices(const LaunchEnvironment& environment) {
    const auto refused = [](const char* message) {
        return base::Failure{message, base::FailureKind::BadRequest};
    };
    const OptionState& options = environment.options;
    if (environment.uptimePath.empty()) {
        return refused(kLocateMessage);
    }
    if (options.remoteMachine &&
        (options.machineName.empty() || options.machineName == kMachinePlaceholder)) {
        return refused(kMachineMessage);
    }
    if (options.restrictPeriod) {
        const auto date = ReadDayFirstDate(options.day, options.month, options.year);
        if (!date) {
            return refused(kInvalidDateMessage);
        }
        if (base::DaysBetween(*date, environment.today) < 0) {
            return refused(kFutureDateMessage);
        }
    }
    return {};
}

// The switches are whatever follows the tool's word in the command line.
std::string CommandTail(const OptionState& options) {
    return ComposeCommandLine(options).substr(kToolWord.size());
}

std::string FreeOutputPath() {
    const std::string directory = shared::GetTempDirectory();
    std::string path;
    do {
        path = shared::JoinPath(directory, runner::MakeTempFileName());
    } while (shared::FileExists(path));
    return path;
}

void ShowOutput(LaunchEnvironment& environment, std::int32_t exitCode,
                const std::string& outputPath) {
    platform::MessageBoxes& messages = environment.messages;
    if (!shared::FileExists(outputPath)) {
        Warn(messages, kMissingOutputMessage);
        return;
    }
    base::Result<std::string> content = platform::ReadWholeFile(outputPath);
    if (!content && content.Kind() == base::FailureKind::OutOfMemory) {
        Warn(messages, kReportTooLargeMessage);
        return;
    }
    if (!content) {
        Warn(messages, base::WithReason("Ombrix could not read the temporary file " + outputPath +
                                            ", which holds what UPTIME.EXE printed.",
                                        content.Reason()));
        return;
    }
    if (exitCode == 0) {
        try {
            environment.results.ShowModal(std::move(*content));
        } catch (const std::bad_alloc&) {
            // Laying the report out for the window takes more memory than reading it did.
            Warn(messages, kReportTooLargeMessage);
        }
        return;
    }
    if (content->empty()) {
        Warn(messages,
             "UPTIME.EXE ended with exit code " + ExitCodeText(exitCode) + " and printed nothing.");
        return;
    }
    // Shown as the results window would show it, so that a NUL does not cut it short.
    Warn(messages, shared::DisplayText(*content));
}

}  // namespace

std::optional<base::CalendarDate> ReadDayFirstDate(std::string_view dayText,
                                                   std::string_view monthText,
                                                   std::string_view yearText) {
    const auto day = base::ReadDigits(dayText, 2);
    const auto month = base::ReadDigits(monthText, 2);
    const auto year = base::ReadDigits(yearText, 4);
    // The tool reads a year of one, two or four digits; three it refuses.
    if (!day || !month || !year || yearText.size() == 3) {
        return std::nullopt;
    }
    const base::CalendarDate date{
        base::ExpandShortYear(static_cast<int>(*year), static_cast<int>(yearText.size())),
        static_cast<int>(*month), static_cast<int>(*day)};
    if (date.year < kFirstYear || !base::IsValidDate(date)) {
        return std::nullopt;
    }
    return date;
}

void LaunchUptime(LaunchEnvironment& environment) {
    if (const base::Result<> checked = CheckChoices(environment); !checked) {
        Warn(environment.messages, checked.Reason());
        return;
    }

    const std::string outputPath = FreeOutputPath();
    const runner::RunRequest request{outputPath, environment.uptimePath,
                                     CommandTail(environment.options)};
    const base::Result<runner::RunEnd> run =
        runner::RunAndCapture(request, environment.runState, environment.waiter);
    if (!run) {
        // Refused, or never started: nothing was left behind.
        Warn(environment.messages, run.Reason());
        return;
    }
    if (!run->cancelled) {
        ShowOutput(environment, run->exitCode, outputPath);
    }
    // The run goes here, however ShowOutput ended: its file is deleted and the run dismissed.
    // After a successful run the results window has dismissed it already.
}

}  // namespace ombrix::options
