// RunAndCapture: runs uptime.exe hidden with its output in a file, one run at a time.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dialogs.h"
#include "platform/process_files.h"

namespace ombrix::runner {

inline constexpr const char* kTwoCopiesMessage =
    "You cannot launch two copies of UPTIME.EXE at once.";

struct RunRequest {
    std::string outputPath;    // the file that receives the tool's standard output
    std::string programPath;   // exactly the file to run (UptimePath)
    std::string argumentTail;  // the switches: empty or starting with a blank
};

struct RunOutcome {
    enum class Kind {
        Finished,          // the tool ran and ended; exitCode holds its code
        Refused,           // an earlier run's output has not been dismissed yet
        OutputNotCreated,  // the output file could not be created; nothing ran
        NotStarted,        // the program could not be started; nothing ran
        Cancelled,         // the user stopped the tool before it ended
    };
    Kind kind = Kind::Refused;
    std::int32_t exitCode = 0;
    std::string reason;  // the system's reason, for OutputNotCreated and NotStarted
};

// Decides how the wait for the tool goes. The default waits without a time limit.
class ExitWaiter {
  public:
    virtual ~ExitWaiter() = default;
    // Returns true once the child has ended, false when the user chose to stop it.
    virtual bool WaitForExit(platform::CapturedProcess& child) = 0;
};

// A second run while `launchActive` is set is refused with its message and creates nothing.
// Otherwise the flag is set and stays set after a finished run until its output is dismissed;
// a run that could not start or was cancelled clears it again and leaves no output file.
RunOutcome RunAndCapture(const RunRequest& request, bool& launchActive,
                         platform::MessageBoxes& messages, ExitWaiter* waiter = nullptr);

}  // namespace ombrix::runner
