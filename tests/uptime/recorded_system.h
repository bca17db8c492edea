// A system for the tool whose logs are recorded: machines' logs of given records, exported log
// files held in memory and served in small pieces, and a clock at a fixed offset from UTC. Also
// the real exported log the tests read (whole and as records), and the UTF-16 that PowerShell
// writes.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "drive/fleet_export.h"
#include "platform/process_files.h"
#include "support/test_support.h"
#include "uptime/events/system_events.h"
#include "uptime/tool/tool.h"

namespace uptime::test {

// The bytes of testdata/events/desktop-system.xml beside the test programs.
inline const std::string& Sample() {
    constexpr char sep = ombrix::platform::kPathSeparator;
    static const std::string bytes =
        ombrix::test::ReadFile(ombrix::platform::ProgramDirectory() + sep + "testdata" + sep +
                               "events" + sep + "desktop-system.xml");
    return bytes;
}

// The sample's records, each with what follows it up to the next one (the line end).
inline const std::vector<std::string>& SampleRecords() {
    static const std::vector<std::string> records = ombrix::drive::ExportRecords(Sample());
    return records;
}

// UTF-8 as UTF-16 of either byte order, with a byte order mark unless `mark` is false.
inline std::string Utf16(const std::string& utf8, bool bigEndian, bool mark = true) {
    std::string bytes;
    const auto unit = [&](std::uint32_t u) {
        bytes += static_cast<char>(bigEndian ? u >> 8 : u & 0xFF);
        bytes += static_cast<char>(bigEndian ? u & 0xFF : u >> 8);
    };
    if (mark) {
        unit(0xFEFF);
    }
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t code = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t k = 1; k < length; ++k) {
            code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        }
        if (code >= 0x10000) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            code = 0xDC00 + (code & 0x3FF);
        }
        unit(code);
        i += length;
    }
    return bytes;
}

// Serves a text in pieces of an odd size, so that records and characters fall across them.
class TextSource final : public ByteSource {
  public:
    explicit TextSource(std::string text) : text_(std::move(text)) {}
    ombrix::base::Result<std::size_t> Read(char* buffer, std::size_t size) override {
        const std::size_t count = text_.copy(buffer, std::min(size, std::size_t{4093}), pos_);
        pos_ += count;
        return count;
    }

  private:
    std::string text_;
    std::size_t pos_ = 0;
};

// Machines' logs by name, files by path, and collectors' channels, all recorded; "*" stands for
// any other machine. Counts the logs open at once, and the cancels.
class RecordedSystem final : public ToolSystem {
  public:
    // No machine answers, no file is found.
    RecordedSystem(UtcSeconds now, FixedFormatClock::OffsetRule offset)
        : now_(now), clock_(std::move(offset)) {}
    // Every machine's System log holds `systemRecords`.
    RecordedSystem(UtcSeconds now, std::vector<std::string> systemRecords,
                   FixedFormatClock::OffsetRule offset)
        : RecordedSystem(now, std::move(offset)) {
        machines.insert_or_assign("*", LogRecords{std::move(systemRecords), {}});
    }

    std::map<std::string, ombrix::base::Result<LogRecords>> machines;  // "" for this computer
    std::map<std::string, std::string> files;
    std::map<std::string, LogRecords> channels;  // by "machine|channel"
    // The logs open now and at most at once, and the cancels given. Readers are opened and
    // cancelled on the asking thread and closed on any, perhaps after the system: they share it.
    struct ReaderCounts {
        std::atomic<int> open = 0;
        int mostOpen = 0;
        int cancels = 0;
    };
    std::shared_ptr<ReaderCounts> readers = std::make_shared<ReaderCounts>();

    // Every log of every machine cannot be read, for the reason given.
    void FailLogs(ombrix::base::FailureKind kind, std::string reason) {
        machines.insert_or_assign("*", ombrix::base::Failure{std::move(reason), kind});
    }
    // The System log's oldest record, which may be one the report has no use for.
    void SetOldestRecord(std::string xml) { machines.at("*")->oldestRecord = std::move(xml); }

    UtcSeconds Now() const override { return now_; }
    const LocalClock& Clock() const override { return clock_; }
    std::unique_ptr<EventLogReader> OpenEventLog(const std::string& machine) const override {
        readers->mostOpen = std::max(readers->mostOpen, ++readers->open);
        return std::make_unique<Reader>(*this, machine);
    }
    ombrix::base::Result<std::unique_ptr<ByteSource>> OpenLogFile(
        const std::string& path) const override {
        const auto file = files.find(path);
        if (file == files.end()) {
            return ombrix::base::Failure{"The system cannot find the file specified."};
        }
        return std::unique_ptr<ByteSource>(std::make_unique<TextSource>(file->second));
    }
    ombrix::base::Result<void> ReadEvtxFile(const std::string&, RecordSink&) const override {
        return ombrix::base::Failure{"no event log service here"};
    }

  private:
    // A machine's logs: the Application log empty. "HANGS" answers nothing until cancelled.
    class Reader final : public EventLogReader {
      public:
        Reader(const RecordedSystem& system, std::string machine)
            : system_(system), machine_(std::move(machine)), counts_(system.readers) {}
        ~Reader() override { --counts_->open; }
        ombrix::base::Result<LogRecords> Read(const LogQuery& query) override {
            if (machine_ == "HANGS") {
                std::unique_lock lock(mutex_);
                wakeUp_.wait(lock, [&] { return cancelled_; });
                return ombrix::base::Failure{"The operation was canceled by the user."};
            }
            // Each log is read only through the query made for it.
            const LogQuery made = query.channel == "System"        ? SystemLogQuery()
                                  : query.channel == "Application" ? ApplicationLogQuery()
                                                                   : CollectorQuery(query.channel);
            if (query.xpath != made.xpath) {
                return ombrix::base::Failure{"The specified query is invalid."};
            }
            auto machine = system_.machines.find(machine_);
            machine = machine != system_.machines.end() ? machine : system_.machines.find("*");
            if (machine != system_.machines.end() && !machine->second) {
                return machine->second;  // a refusal holds for every log of the machine
            }
            if (query.channel == "Application") {
                return LogRecords{};
            }
            if (query.channel != "System") {
                const auto channel = system_.channels.find(machine_ + "|" + query.channel);
                return channel != system_.channels.end()
                           ? ombrix::base::Result<LogRecords>(channel->second)
                           : ombrix::base::Failure{"The specified channel could not be found."};
            }
            return machine != system_.machines.end()
                       ? machine->second
                       : ombrix::base::Failure{"The RPC server is unavailable.",
                                               ombrix::base::FailureKind::Unreachable};
        }
        void Cancel() override {
            {
                const std::lock_guard lock(mutex_);
                cancelled_ = true;
            }
            ++counts_->cancels;
            wakeUp_.notify_all();
        }

      private:
        const RecordedSystem& system_;
        std::string machine_;
        std::shared_ptr<ReaderCounts> counts_;
        std::mutex mutex_;
        std::condition_variable wakeUp_;
        bool cancelled_ = false;
    };

    UtcSeconds now_;
    FixedFormatClock clock_;
};

}  // namespace uptime::test
