// The Windows Event Log (wevtapi) behind the tool's EventLogReader.
#pragma once

#include <memory>
#include <string>

#include "uptime/event_log.h"

namespace uptime::win32 {

// This computer's event log when `remoteMachine` is empty, else a remote session to it.
std::unique_ptr<EventLogReader> OpenWindowsEventLog(const std::string& remoteMachine);

}  // namespace uptime::win32
