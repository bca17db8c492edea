// The tool's ties to the system it runs on: uptime/win32 on Windows, uptime/posix elsewhere.
#pragma once

#include <memory>
#include <string>

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

}  // namespace uptime
