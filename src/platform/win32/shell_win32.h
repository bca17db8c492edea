// Starting other programs through the system: a program by its path, an address in the browser.
#pragma once

#include <string>

namespace ombrix::platform::win32 {

// Starts exactly the file at `path` (blanks included) in a normal, activated window and does not
// wait for it; false when the path is empty or no program can be started from it.
bool StartProgram(const std::string& path);

// Hands the address to the user's default browser (ShellExecuteA "Open"); false when no program
// could be started for it. What the browser then does with it is not reported.
bool OpenSiteLink(const std::string& address);

}  // namespace ombrix::platform::win32
