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

// A run Windows would refuse (or, under Wine, fail in ways of its own): say why first.
base::Failure Refusal(std::string message) {
    return {std::move(message), base::FailureKind::BadRequest};
}

base::Result<> CheckLengths(const RunRequest& request) {
    const std::size_t pathLength = request.programPath.size();
    if (pathLength > kMaxProgramPathLength) {
        return Refusal(
            "Ombrix cannot start UPTIME.EXE: its path is " + std::to_string(pathLength) +
            " characters long, and Windows starts programs only from paths of at most " +
            std::to_string(kMaxProgramPathLength) +
            " characters.\r\n\r\nMove UPTIME.EXE to a folder with a shorter path, and locate "
            "it there through Program Location.");
    }
    const std::size_t lineLength =
        platform::ChildCommandLine(request.programPath, request.argumentTail).size();
    if (lineLength > kMaxCommandLineLength) {
        return Refusal("Ombrix cannot start UPTIME.EXE: its command line would be " +
                       std::to_string(lineLength) +
                       " characters long, and Windows takes command lines of at most " +
                       std::to_string(kMaxCommandLineLength) +
                       " characters.\r\n\r\nUse a shorter remote machine name.");
    }
    return {};
}

}  // namespace

base::Result<RunEnd> RunAndCapture(const RunRequest& request, RunState& state, ExitWaiter* waiter) {
    std::optional<ActiveRun> begun = ActiveRun::Begin(state);
    if (!begun) {
        return Refusal(kTwoCopiesMessage);
    }
    // Refused here, the run ends as it began: nothing was created, nothing stays changed.
    if (base::Result<> lengths = CheckLengths(request); !lengths) {
        return lengths.TakeFailure();
    }
    ActiveRun& active = *begun;

    auto output = platform::OutputFile::Create(request.outputPath);
    if (!output) {
        return base::Failure{base::WithReason(
            "Ombrix could not create the temporary file " + request.outputPath + ".",
            output.Reason())};
    }
    active.OwnOutput(request.outputPath);
    auto child = platform::CapturedProcess::Start(std::move(*output), request.programPath,
                                                  request.argumentTail);
    if (!child) {
        return base::Failure{base::WithReason("Ombrix could not start " + request.programPath + ".",
                                              child.Reason())};
    }

    UnlimitedWait unlimited;
    ExitWaiter& wait = waiter != nullptr ? *waiter : unlimited;
    const bool ended = wait.WaitForExit(**child);
    if (!ended) {
        (*child)->Terminate();
    }
    const std::int32_t exitCode = (*child)->Finish();
    if (!ended) {
        active.End();
    }
    return RunEnd{!ended, exitCode, std::move(active)};
}

}  // namespace ombrix::runner
