// An exported log read into what the report needs: its events, and where and whose it ends.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "uptime/events/system_events.h"
#include "uptime/logs/export_file.h"
#include "uptime/logs/log_sources.h"

namespace uptime {

struct LogDigest {
    std::size_t records = 0;     // read or not
    std::size_t unreadable = 0;  // cut short or not well-formed
    std::size_t systemRecords = 0;
    std::size_t applicationRecords = 0;
    std::vector<SystemEvent> systemEvents;       // what the System records tell the report
    std::vector<SystemEvent> applicationEvents;  // the application failures and hangs
    std::optional<UtcSeconds> systemBegins;      // the oldest System record's time
    // The newest record of any log (the later one in the file among equals): the log's end
    // and the name of its machine.
    std::optional<UtcSeconds> end;
    std::string computer;
};

// Reads each record it is given into its digest.
class LogDigester final : public RecordSink {
  public:
    void Take(std::string_view xml) override;
    LogDigest& Digest() { return digest_; }

  private:
    LogDigest digest_;
};

// Hands every record of the exported log at `path` to the sink, in the order of the file: XML,
// or .evtx through the system's event log reader. Given a text sink, the text of an XML export
// goes there instead, to be split by it. The failure says why the file cannot be read, is no
// event export or (split here) holds no record; records handed on before a failure stay handed
// on.
ombrix::base::Result<void> ReadExportRecords(const std::string& path, const LogSources& sources,
                                             RecordSink& sink, ExportText* text = nullptr);

// Reads the exported log at `path`: XML, or .evtx through the system's event log reader. The
// failure says why it gives no report (the file cannot be read, is no event export, or holds no
// record that could be read).
ombrix::base::Result<LogDigest> ReadLogFile(const std::string& path, const LogSources& sources);

}  // namespace uptime
