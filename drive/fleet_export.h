// Fleets of machines built from one real log, for the tests and the benchmark: each machine a
// run of the log's records under its own name, moved in time, and all of them interleaved by
// time as a Windows Event Forwarding collector holds them. Also a machine renamed the way
// Windows set-up leaves one, and the files such exports are read from.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "uptime/logs/log_sources.h"

namespace ombrix::drive {

// The records of an export in wevtutil's form (one <Event> a line), each with its line end.
std::vector<std::string> ExportRecords(const std::string& text);

// The record with its Computer renamed, its SystemTime moved `shift` seconds on (the fraction of
// the second kept) and its EventRecordID raised by `numberShift`.
std::string MovedRecord(std::string_view record, std::string_view computer, std::int64_t shift,
                        std::int64_t numberShift = 0);

// One machine of a fleet: the sample's records [first, first + count), renamed and moved.
struct FleetMachine {
    std::string name;
    std::size_t first = 0;
    std::size_t count = 0;
    std::int64_t shift = 0;  // seconds added to every time
};

// The machines of `count` built the benchmark's way: FLEET00001, FLEET00002, ..., each a run of
// about `recordsEach` records from its own place in the sample, each a few minutes after the one
// before.
std::vector<FleetMachine> SpreadFleet(std::size_t sampleRecords, std::size_t count,
                                      std::size_t recordsEach);

// The machines' records, oldest first across the machines (in the order given among records of
// one time), handed to `write` one by one.
void WriteFleetExport(const std::vector<std::string>& sample,
                      const std::vector<FleetMachine>& machines,
                      const std::function<void(std::string_view)>& write);
std::string FleetExport(const std::vector<std::string>& sample,
                        const std::vector<FleetMachine>& machines);

// A machine renamed as Windows set-up leaves one: the sample's records before `firstRenamed`
// under `setupName` (WIN-...), the rest under `newName`, and after the first EventLog 6005 of
// the new name, at its time, the EventLog 6011 that tells the change. The records after it are
// numbered one on.
std::vector<std::string> RenamedMachine(const std::vector<std::string>& sample,
                                        std::size_t firstRenamed, const std::string& setupName,
                                        const std::string& newName);

// Exported logs read from files as they are, through the C library; .evtx files are refused.
class PlainFileSources final : public uptime::LogSources {
  public:
    std::unique_ptr<uptime::EventLogReader> OpenEventLog(const std::string&) const override;
    base::Result<std::unique_ptr<uptime::ByteSource>> OpenLogFile(
        const std::string& path) const override;
    base::Result<void> ReadEvtxFile(const std::string& path,
                                    uptime::RecordSink& sink) const override;
};

}  // namespace ombrix::drive
