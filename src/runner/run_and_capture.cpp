#include "runner/run_and_capture.h"

namespace ombrix::runner {
namespace {

class UnlimitedWait final : public ExitWaiter {
  public:
    bool WaitForExit(platform::CapturedProcess& child) override {
        child.WaitForExit();
        return true;
    }
};

}  // namespace

RunOutcome RunAndCapture(const RunRequest& request, bool& launchActive,
                         platform::MessageBoxes& messages, ExitWaiter* waiter) {
    RunOutcome outcome;
    if (launchActive) {
        messages.Show(kTwoCopiesMessage, platform::MessageStyle::OkExclamation);
        outcome.kind = RunOutcome::Kind::Refused;
        return outcome;
    }
    launchActive = true;

    using Status = platform::CapturedProcess::StartStatus;
    auto start = platform::CapturedProcess::Start(request.outputPath, request.programPath,
                                                  request.argumentTail);
    if (start.status != Status::Started) {
        // Nothing ran, so nothing waits to be dismissed.
        launchActive = false;
        if (start.status == Status::ProgramNotStarted) {
            platform::RemoveFile(request.outputPath);
        }
        outcome.kind = start.status == Status::OutputNotCreated ? RunOutcome::Kind::OutputNotCreated
                                                                : RunOutcome::Kind::NotStarted;
        outcome.reason = std::move(start.reason);
        return outcome;
    }

    UnlimitedWait unlimited;
    ExitWaiter& wait = waiter != nullptr ? *waiter : unlimited;
    const bool ended = wait.WaitForExit(*start.process);
    if (!ended) {
        start.process->Terminate();
    }
    outcome.exitCode = start.process->Finish();
    if (!ended) {
        launchActive = false;
        platform::RemoveFile(request.outputPath);
        outcome.kind = RunOutcome::Kind::Cancelled;
        return outcome;
    }
    outcome.kind = RunOutcome::Kind::Finished;
    return outcome;
}

}  // namespace ombrix::runner
