// RunAndCapture: runs uptime.exe hidden with its output in a file, one run at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/result.h"
#include "platform/process_files.h"
#include "runner/run_state.h"

namespace ombrix::runner {

inline constexpr const char* kTwoCopiesMessage =
    "You cannot launch two copies of UPTIME.EXE at once.";

// What Windows starts: an ANSI program name of at most 259 characters (MAX_PATH, its end mark
// included) and a command line of at most 32,766 (32,767 with its end mark).
inline constexpr std::size_t kMaxProgramPathLength = 259;
inline constexpr std::size_t kMaxCommandLineLength = 32766;

struct RunRequest {
    std::string outputPath;    // the file that receives the tool's standard output
    std::string programPath;   // exactly the file to run (UptimePath)
    std::string argumentTail;  // the switches: empty or starting with a blank
};

// How a run that got going ended. While it is kept, the run stays active and its output file
// stays; the launch keeps it until the output has been shown.
struct RunEnd {
    bool cancelled = false;  // the user stopped the tool; its output is gone already
    std::int32_t exitCode = 0;
    ActiveRun run;
};

// Decides how the wait for the tool goes. The default waits without a time limit.
class ExitWaiter {
  public:
    virtual ~ExitWaiter() = default;
    // Returns true once the child has ended, false when the user chose to stop it.
    virtual bool WaitForExit(platform::CapturedProcess& child) = 0;
};

// A second run while the state is active is refused with the two-copies message, and a program
// path or command line longer than Windows takes with a message that says so; in both cases
// nothing is created or changed. A run that cannot start fails with a message that says what and
// why, leaving the state dismissed and no file behind.
base::Result<RunEnd> RunAndCapture(const RunRequest& request, RunState& state,
                                   ExitWaiter* waiter = nullptr);

}  // namespace ombrix::runner
