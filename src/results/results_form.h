// The results window's logic: copying what it shows.
#pragma once

#include <string>

#include "platform/clipboard.h"
#include "platform/dialogs.h"

namespace ombrix::results {

inline constexpr const char* kResultsCaption = "System Uptime Results Summary";
inline constexpr const char* kCloseCaption = "O.K";

class ResultsForm {
  public:
    ResultsForm(platform::Clipboard& clipboard, platform::MessageBoxes& messages)
        : clipboard_(clipboard), messages_(messages) {}

    // Copy: `shown`, the whole text the window shows, whatever part of it is selected.
    void Copy(const std::string& shown);

  private:
    platform::Clipboard& clipboard_;
    platform::MessageBoxes& messages_;
};

}  // namespace ombrix::results
