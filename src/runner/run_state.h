// LaunchActive, and the scope of one run: the only thing that begins and dismisses a run.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace ombrix::runner {

class ActiveRun;

// Whether a run of the tool has begun whose output has not been dismissed yet. The launch owns
// the one RunState; runs change it only through their ActiveRun.
class RunState {
  public:
    RunState() = default;
    RunState(const RunState&) = delete;
    RunState& operator=(const RunState&) = delete;

    bool LaunchActive() const { return active_; }

  private:
    friend class ActiveRun;
    bool active_ = false;
};

// One run's hold on LaunchActive and, once it is created, on its output file. However the hold
// ends (at the end of the launch, or unwound by an exception), the file is removed and the run
// dismissed, so that no way out leaves a launch stuck or a file behind.
class ActiveRun {
  public:
    // Begins a run; nothing, changing nothing, while an earlier run is still active.
    static std::optional<ActiveRun> Begin(RunState& state);

    ActiveRun(ActiveRun&& other) noexcept
        : state_(std::exchange(other.state_, nullptr)), outputPath_(std::move(other.outputPath_)) {}
    ActiveRun& operator=(ActiveRun&&) = delete;
    ~ActiveRun() { End(); }

    // The output file exists now: it goes when the run ends.
    void OwnOutput(std::string path) { outputPath_ = std::move(path); }
    // Removes the output file and dismisses the run; does nothing the second time.
    void End();

  private:
    explicit ActiveRun(RunState& state) : state_(&state) { state.active_ = true; }

    RunState* state_;
    std::string outputPath_;
};

}  // namespace ombrix::runner
