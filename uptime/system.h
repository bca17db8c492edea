// The tool's ties to the system it runs on: uptime/win32 on Windows, uptime/posix elsewhere.
#pragma once

#include <memory>
#include <string>

#include "platform/process_files.h"
#include "uptime/tool.h"

namespace uptime {

// The clock, the local formats and the event log of this computer.
std::unique_ptr<ToolSystem> OpenToolSystem();

// "Windows Server 2008 R2 Enterprise Multiprocessor Free"; empty when not known.
std::string OperatingSystemName();
// The name of the local time zone; empty when not known.
std::string TimeZoneName();

// The tool works in UTF-8; the command line and standard output use the system's code page.
std::string SystemTextToUtf8(const std::string& text);
std::string Utf8ToSystemText(const std::string& text);

// A system error as the tool prints it: the program's own SystemErrorText in UTF-8, without its
// closing period, then the code ("Access is denied, error 5").
inline std::string SystemReason(unsigned long code) {
    std::string words = SystemTextToUtf8(ombrix::platform::SystemErrorText(code));
    while (!words.empty() && words.back() == '.') {
        words.pop_back();
    }
    return words + ", error " + std::to_string(code);
}

}  // namespace uptime
