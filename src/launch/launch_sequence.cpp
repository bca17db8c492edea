#include "launch/launch_sequence.h"

#include <cstdint>
#include <cstdio>
#include <new>
#include <utility>

#include "base/date_fields.h"
#include "platform/process_files.h"
#include "runner/file_name_generator.h"
#include "shared/display_text.h"
#include "shared/shared_routines.h"

namespace ombrix::launch {
namespace {

void Warn(platform::MessageBoxes& messages, const std::string& text) {
    messages.Show(text, platform::MessageStyle::OkExclamation);
}

// Our uptime.exe ends with this code when some of several machines could not be read and the
// others are reported: its output is a report, with the failures in it.
constexpr std::int32_t kSomeMachinesFailed = 6;

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
base::Result<> CheckChoices(const options::OptionState& options, const std::string& uptimePath,
                            const base::CalendarDate& today) {
    const auto refused = [](const char* message) {
        return base::Failure{message, base::FailureKind::BadRequest};
    };
    if (uptimePath.empty()) {
        return refused(kLocateMessage);
    }
    if (options.remoteMachine &&
        (options.machineName.empty() || options.machineName == options::kMachinePlaceholder)) {
        return refused(kMachineMessage);
    }
    if (options.restrictPeriod) {
        const auto date = base::ReadDateFields(options.day, options.month, options.year);
        if (!date) {
            return refused(kInvalidDateMessage);
        }
        if (base::DaysBetween(*date, today) < 0) {
            return refused(kFutureDateMessage);
        }
    }
    return {};
}

// The switches are whatever follows the tool's word in the command line.
std::string CommandTail(const options::OptionState& options) {
    return options::ComposeCommandLine(options).substr(options::kToolWord.size());
}

std::string FreeOutputPath() {
    const std::string directory = shared::GetTempDirectory();
    std::string path;
    do {
        path = shared::JoinPath(directory, runner::MakeTempFileName());
    } while (shared::FileExists(path));
    return path;
}

}  // namespace

void LaunchSequence::ShowOutput(std::int32_t exitCode, const std::string& outputPath) {
    if (!shared::FileExists(outputPath)) {
        Warn(messages_, kMissingOutputMessage);
        return;
    }
    base::Result<std::string> content = platform::ReadWholeFile(outputPath);
    if (!content && content.Kind() == base::FailureKind::OutOfMemory) {
        Warn(messages_, kReportTooLargeMessage);
        return;
    }
    if (!content) {
        Warn(messages_, base::WithReason("Ombrix could not read the temporary file " + outputPath +
                                             ", which holds what UPTIME.EXE printed.",
                                         content.Reason()));
        return;
    }
    if (exitCode == 0 || (exitCode == kSomeMachinesFailed && !content->empty())) {
        try {
            results_.ShowModal(std::move(*content));
        } catch (const std::bad_alloc&) {
            // Laying the report out for the window takes more memory than reading it did.
            Warn(messages_, kReportTooLargeMessage);
        }
        return;
    }
    if (content->empty()) {
        Warn(messages_,
             "UPTIME.EXE ended with exit code " + ExitCodeText(exitCode) + " and printed nothing.");
        return;
    }
    // Shown as the results window would show it, so that a NUL does not cut it short.
    Warn(messages_, shared::DisplayText(*content));
}

void LaunchSequence::Launch(const options::OptionState& options, const std::string& uptimePath,
                            const base::CalendarDate& today) {
    if (const base::Result<> checked = CheckChoices(options, uptimePath, today); !checked) {
        Warn(messages_, checked.Reason());
        return;
    }

    const std::string outputPath = FreeOutputPath();
    const runner::RunRequest request{outputPath, uptimePath, CommandTail(options)};
    const base::Result<runner::RunEnd> run = runner::RunAndCapture(request, runState_, waiter_);
    if (!run) {
        // Refused, or never started: nothing was left behind.
        Warn(messages_, run.Reason());
        return;
    }
    if (!run->cancelled) {
        ShowOutput(run->exitCode, outputPath);
    }
    // The run ends here with its scope, however ShowOutput ended: once the results window has
    // closed, or after a message, its file is deleted and the run dismissed.
}

}  // namespace ombrix::launch
