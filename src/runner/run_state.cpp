#include "runner/run_state.h"

#include "platform/process_files.h"

namespace ombrix::runner {

std::optional<ActiveRun> ActiveRun::Begin(RunState& state) {
    if (state.active_) {
        return std::nullopt;
    }
    return ActiveRun(state);
}

void ActiveRun::End() {
    if (state_ == nullptr) {
        return;
    }
    if (!outputPath_.empty()) {
        static_cast<void>(platform::RemoveFile(outputPath_));
        outputPath_.clear();
    }
    std::exchange(state_, nullptr)->active_ = false;
}

}  // namespace ombrix::runner
