// LaunchActive: whether a run of the tool has begun whose output has not been dismissed yet.
// The main window owns the one RunState; the runner, the launch sequence and the results
// window hold it by reference.
#pragma once

namespace ombrix::runner {

class RunState {
  public:
    RunState() = default;
    RunState(const RunState&) = delete;
    RunState& operator=(const RunState&) = delete;

    bool LaunchActive() const { return active_; }

    // A run begins. False, changing nothing, while an earlier run's output is still up.
    bool Begin() {
        if (active_) {
            return false;
        }
        active_ = true;
        return true;
    }

    // The run's output has been dismissed, or the run never got going: the next may begin.
    void Dismiss() { active_ = false; }

  private:
    bool active_ = false;
};

}  // namespace ombrix::runner
