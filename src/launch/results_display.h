// The results window as the launch sees it.
#pragma once

#include <string>

namespace ombrix::launch {

class ResultsDisplay {
  public:
    virtual ~ResultsDisplay() = default;
    // Shows `output` and returns once the user has closed the window. The window takes the
    // output over: a large report is not copied.
    virtual void ShowModal(std::string output) = 0;
};

}  // namespace ombrix::launch
