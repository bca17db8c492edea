// The results window's logic: the output it shows, copying it, and the end of the launch.
#pragma once

#include <string>
#include <string_view>

#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "runner/run_state.h"
#include "shared/display_text.h"

namespace ombrix::results {

inline constexpr const char* kResultsCaption = "System Uptime Results Summary";
inline constexpr const char* kCloseCaption = "O.K";

class ResultsForm {
  public:
    ResultsForm(std::string_view output, runner::RunState& runState, platform::Clipboard& clipboard,
                platform::MessageBoxes& messages)
        : text_(shared::DisplayText(output)),
          runState_(runState),
          clipboard_(clipboard),
          messages_(messages) {}

    // The text the window shows; Copy, Save Report and Print use it whole.
    const std::string& Text() const { return text_; }

    // Copy: the whole output, whatever part of it is selected.
    void PopUp_CopyClip_Click();

    // The window closes, by "O.K" or its frame: the next launch may go ahead.
    void Form_Unload() { runState_.Dismiss(); }

  private:
    std::string text_;
    runner::RunState& runState_;
    platform::Clipboard& clipboard_;
    platform::MessageBoxes& messages_;
};

}  // namespace ombrix::results
