// Where the tool's logs come from: the live event logs and exported files.
#pragma once

#include <memory>
#include <string>

#include "base/result.h"
#include "uptime/logs/event_log.h"
#include "uptime/logs/export_file.h"

namespace uptime {

class LogSources {
  public:
    virtual ~LogSources() = default;
    // This computer's event log when `remoteMachine` is empty.
    virtual std::unique_ptr<EventLogReader> OpenEventLog(
        const std::string& remoteMachine) const = 0;
    // An exported log, to be read front to back; the failure says why it cannot be opened.
    virtual ombrix::base::Result<std::unique_ptr<ByteSource>> OpenLogFile(
        const std::string& path) const = 0;
    // Every record of an .evtx file in its order, through the system's event log reader; a
    // failure where there is none.
    virtual ombrix::base::Result<void> ReadEvtxFile(const std::string& path,
                                                    RecordSink& sink) const = 0;
};

}  // namespace uptime
