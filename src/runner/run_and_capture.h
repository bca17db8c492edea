// RunAndCapture: runs uptime.exe hidden with its output in a file, one run at a time.
#pragma once

#include <cstdint>
#include <string>

#include "base/result.h"
#include "platform/process_files.h"
#include "runner/run_state.h"

namespace ombrix::runner {

inline constexpr const char* kTwoCopiesMessage =
    "You cannot launch two copies of UPTIME.EXE at once.";

struct RunRequest {
    std::string outputPath;    // the file that receives the tool's standard output
    std::string programPath;   // exactly the file to run (UptimePath)
    std::string argumentTail;  // the switches: empty or starting with a blank
};

// How a run that got going ended.
struct RunEnd {
    bool cancelled = false;  // the user stopped the tool; its output is gone
    std::int32_t exitCode = 0;
};

// Decides how the wait for the tool goes. The default waits without a time limit.
class ExitWaiter {
  public:
    virtual ~ExitWaiter() = default;
    // Returns true once the child has ended, false when the user chose to stop it.
    virtual bool WaitForExit(platform::CapturedProcess& child) = 0;
};

// A second run while the state is active is refused: the failure carries the two-copies
// message, and nothing is created or changed. A run that cannot start fails with a message
// that says what and why, after the state is dismissed and any output file removed, as after a
// cancelled run. A finished run leaves the state active until its output is dismissed.
base::Result<RunEnd> RunAndCapture(const RunRequest& request, RunState& state,
                                   ExitWaiter* waiter = nullptr);

}  // namespace ombrix::runner
