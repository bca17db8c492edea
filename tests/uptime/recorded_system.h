// A system for the tool whose logs are recorded: a System log of given records, exported log
// files held in memory and served in small pieces, and a clock at a fixed offset from UTC.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "uptime/tool.h"

namespace uptime::test {

// Serves a text in pieces of at most `pieceSize` bytes, as a file might be read.
class TextSource final : public ByteSource {
  public:
    TextSource(std::string text, std::size_t pieceSize)
        : text_(std::move(text)), pieceSize_(pieceSize) {}
    ombrix::base::Result<std::size_t> Read(char* buffer, std::size_t size) override {
        const std::size_t count = std::min({size, pieceSize_, text_.size() - pos_});
        std::copy_n(text_.data() + pos_, count, buffer);
        pos_ += count;
        return count;
    }

  private:
    std::string text_;
    std::size_t pieceSize_;
    std::size_t pos_ = 0;
};

class RecordedSystem final : public ToolSystem, public EventLogReader {
  public:
    RecordedSystem(UtcSeconds now, std::vector<std::string> systemRecords,
                   FixedFormatClock::OffsetRule offset)
        : now_(now), system_{LogStatus::Read, std::move(systemRecords), {}, {}}, clock_(offset) {}

    // The System log (and any other) cannot be read, for the reason given.
    void FailLogs(LogStatus status, std::string reason) {
        system_ = {status, {}, {}, std::move(reason)};
        othersFail_ = true;
    }

    // The System log's oldest record, which may be one the report has no use for.
    void SetOldestRecord(std::string xml) { system_.oldestRecord = std::move(xml); }

    // A file /l: can read; its bytes come in pieces of `pieceSize`.
    void AddFile(const std::string& path, std::string bytes, std::size_t pieceSize = 1 << 16) {
        files_[path] = {std::move(bytes), pieceSize};
    }

    UtcSeconds Now() const override { return now_; }
    const LocalClock& Clock() const override { return clock_; }
    std::unique_ptr<EventLogReader> OpenEventLog(const std::string&) const override {
        return std::make_unique<RecordedSystem>(*this);
    }
    LogReading Read(const LogQuery& query) override {
        return query.channel == "System" || othersFail_ ? system_ : LogReading{};
    }
    ombrix::base::Result<std::unique_ptr<ByteSource>> OpenLogFile(
        const std::string& path) const override {
        const auto file = files_.find(path);
        if (file == files_.end()) {
            return ombrix::base::Failure{"The system cannot find the file specified, error 2"};
        }
        return std::unique_ptr<ByteSource>(
            std::make_unique<TextSource>(file->second.first, file->second.second));
    }
    ombrix::base::Result<void> ReadEvtxFile(const std::string&, RecordSink&) const override {
        return ombrix::base::Failure{"no event log service here"};
    }

  private:
    UtcSeconds now_;
    LogReading system_;
    FixedFormatClock clock_;
    bool othersFail_ = false;
    std::map<std::string, std::pair<std::string, std::size_t>> files_;
};

}  // namespace uptime::test
