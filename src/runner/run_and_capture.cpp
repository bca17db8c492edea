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

base::Result<RunEnd> RunAndCapture(const RunRequest& request, RunState& state, ExitWaiter* waiter) {
    if (!state.Begin()) {
        return base::Failure{kTwoCopiesMessage};
    }

    auto output = platform::OutputFile::Create(request.outputPath);
    if (!output) {
        // Nothing ran, so nothing waits to be dismissed.
        state.Dismiss();
        return base::Failure{base::WithReason(
            "Ombrix could not create the temporary file " + request.outputPath + ".",
            output.Reason())};
    }
    auto child = platform::CapturedProcess::Start(std::move(*output), request.programPath,
                                                  request.argumentTail);
    if (!child) {
        state.Dismiss();
        static_cast<void>(platform::RemoveFile(request.outputPath));
        return base::Failure{base::WithReason("Ombrix could not start " + request.programPath + ".",
                                              child.Reason())};
    }

    UnlimitedWait unlimited;
    ExitWaiter& wait = waiter != nullptr ? *waiter : unlimited;
    const bool ended = wait.WaitForExit(**child);
    if (!ended) {
        (*child)->Terminate();
    }
    RunEnd end;
    end.exitCode = (*child)->Finish();
    if (!ended) {
        state.Dismiss();
        static_cast<void>(platform::RemoveFile(request.outputPath));
        end.cancelled = true;
    }
    return end;
}

}  // namespace ombrix::runner
