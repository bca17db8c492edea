// The tool's ties to the system it runs on: tool/win32 on Windows, tool/posix elsewhere.
#pragma once

#include <memory>
#include <string>

#include "uptime/common/system_text.h"
#include "uptime/tool/tool.h"

namespace uptime {

// The clock, the local formats and the event log of this computer.
std::unique_ptr<ToolSystem> OpenToolSystem();

// "Windows Server 2008 R2 Enterprise Multiprocessor Free"; empty when not known.
std::string OperatingSystemName();
// The name of the local time zone; empty when not known.
std::string TimeZoneName();

}  // namespace uptime
