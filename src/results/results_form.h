// The results window's logic: copying what it shows, and the end of the launch.
#pragma once

#include <string>

#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "runner/run_state.h"

namespace ombrix::results {

inline constexpr const char* kResultsCaption = "System Uptime Results Summary";
inline constexpr const char* kCloseCaption = "O.K";

class ResultsForm {
  public:
    ResultsForm(runner::RunState& runState, platform::Clipboard& clipboard,
                platform::MessageBoxes& messages)
        : runState_(runState), clipboard_(clipboard), messages_(messages) {}

    // Copy: `shown`, the whole text the window shows, whatever part of it is selected.
    void Copy(const std::string& shown);

    // The window closes, by "O.K" or its frame: the next launch may go ahead.
    void Closed() { runState_.Dismiss(); }

  private:
    runner::RunState& runState_;
    platform::Clipboard& clipboard_;
    platform::MessageBoxes& messages_;
};

}  // namespace ombrix::results
