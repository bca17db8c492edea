// A system for the tool whose logs are recorded: a System log of given records, an exported log
// file held in memory and served in small pieces, and a clock at a fixed offset from UTC. Also
// the real exported log the tests read (whole and as records), and the UTF-16 that PowerShell
// writes.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "drive/fleet_export.h"
#include "platform/process_files.h"
#include "support/test_support.h"
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
        const auto high = static_cast<char>(u >> 8);
        const auto low = static_cast<char>(u & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
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
        const std::size_t count = std::min({size, std::size_t{4093}, text_.size() - pos_});
        std::copy_n(text_.data() + pos_, count, buffer);
        pos_ += count;
        return count;
    }

  private:
    std::string text_;
    std::size_t pos_ = 0;
};

class RecordedSystem final : public ToolSystem, public EventLogReader {
  public:
    RecordedSystem(UtcSeconds now, std::vector<std::string> systemRecords,
                   FixedFormatClock::OffsetRule offset)
        : now_(now), system_{std::move(systemRecords), {}}, clock_(std::move(offset)) {}

    // The System log (and any other) cannot be read, for the reason given.
    void FailLogs(ombrix::base::FailureKind kind, std::string reason) {
        failure_ = ombrix::base::Failure{std::move(reason), kind};
    }

    // The System log's oldest record, which may be one the report has no use for.
    void SetOldestRecord(std::string xml) { system_.oldestRecord = std::move(xml); }

    // The exported log /l: reads, whatever its path.
    void SetLogFile(std::string bytes) { file_ = std::move(bytes); }

    UtcSeconds Now() const override { return now_; }
    const LocalClock& Clock() const override { return clock_; }

    std::unique_ptr<EventLogReader> OpenEventLog(const std::string&) const override {
        return std::make_unique<RecordedSystem>(*this);
    }
    // Every log but the Application log holds the records given.
    ombrix::base::Result<LogRecords> Read(const LogQuery& query) override {
        if (failure_) {
            return *failure_;
        }
        return query.channel != "Application" ? system_ : LogRecords{};
    }
    void Cancel() override {}
    ombrix::base::Result<std::unique_ptr<ByteSource>> OpenLogFile(
        const std::string&) const override {
        return std::unique_ptr<ByteSource>(std::make_unique<TextSource>(file_));
    }
    ombrix::base::Result<void> ReadEvtxFile(const std::string&, RecordSink&) const override {
        return ombrix::base::Failure{"no event log service here"};
    }

  private:
    UtcSeconds now_;
    LogRecords system_;
    FixedFormatClock clock_;
    std::optional<ombrix::base::Failure> failure_;
    std::string file_;
};

}  // namespace uptime::test
