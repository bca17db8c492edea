#include "launch/launch_sequence.h"

#include <cstdint>
#include <cstdio>
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
const char* FailedCheck(const options::OptionState& options, const std::string& uptimePath,
                        const base::CalendarDate& today) {
    if (uptimePath.empty()) {
        return kLocateMessage;
    }
    if (options.remoteMachine &&
        (options.machineName.empty() || options.machineName == options::kMachinePlaceholder)) {
        return kMachineMessage;
    }
    if (options.restrictPeriod) {
        const auto date = base::ReadDateFields(options.day, options.month, options.year);
        if (!date) {
            return kInvalidDateMessage;
        }
        if (base::DaysBetween(*date, today) < 0) {
            return kFutureDateMessage;
        }
    }
    return nullptr;
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
    if (!content) {
        Warn(messages_, base::WithReason("Ombrix could not read the temporary file " + outputPath +
                                             ", which holds what UPTIME.EXE printed.",
                                         content.Reason()));
        return;
    }
    if (exitCode == 0) {
        results_.ShowModal(std::move(*content));
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
    if (const char* failed = FailedCheck(options, uptimePath, today)) {
        Warn(messages_, failed);
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
