#include "uptime/logs/log_file.h"

#include "base/text.h"
#include "uptime/events/event_xml.h"

namespace uptime {
namespace {

using ombrix::base::EqualsIgnoringCase;
using ombrix::base::Failure;

constexpr std::size_t kPieceSize = 1 << 20;

bool IsApplicationFailure(EventKind kind) {
    return kind == EventKind::ApplicationFailure || kind == EventKind::ApplicationHang;
}

}  // namespace

void LogDigester::Take(std::string_view xml) {
    ++digest_.records;
    std::optional<EventRecord> record = ParseEventXml(xml);
    if (!record) {
        ++digest_.unreadable;
        return;
    }
    if (!digest_.end || record->timeCreated >= *digest_.end) {
        digest_.end = record->timeCreated;
        digest_.computer = std::move(record->computer);
    }
    // A record without a channel is taken as the System log's, as a hand-trimmed export has it.
    if (record->channel.empty() || EqualsIgnoringCase(record->channel, "System")) {
        ++digest_.systemRecords;
        if (!digest_.systemBegins || record->timeCreated < *digest_.systemBegins) {
            digest_.systemBegins = record->timeCreated;
        }
        std::optional<SystemEvent> event = Classify(*record);
        if (event && !IsApplicationFailure(event->kind)) {
            digest_.systemEvents.push_back(std::move(*event));
        }
    } else if (EqualsIgnoringCase(record->channel, "Application")) {
        ++digest_.applicationRecords;
        std::optional<SystemEvent> event = Classify(*record);
        if (event && IsApplicationFailure(event->kind)) {
            digest_.applicationEvents.push_back(std::move(*event));
        }
    }
}

ombrix::base::Result<void> ReadExportRecords(const std::string& path, const LogSources& sources,
                                             RecordSink& sink, ExportText* text) {
    auto opened = sources.OpenLogFile(path);
    if (!opened) {
        return opened.TakeFailure();
    }
    std::unique_ptr<ByteSource> source = std::move(*opened);
    std::optional<XmlExportReader> reader;
    if (text != nullptr) {
        reader.emplace(*text);
    } else {
        reader.emplace(sink);
    }
    std::string piece(kPieceSize, '\0');
    bool first = true;
    for (;;) {
        const auto got = source->Read(piece.data(), piece.size());
        if (!got) {
            return Failure{"It could not be read to its end: " + got.Reason()};
        }
        if (*got == 0) {
            break;
        }
        const std::string_view bytes(piece.data(), *got);
        if (first && IsEvtxHeader(bytes)) {
            source.reset();
            return sources.ReadEvtxFile(path, sink);
        }
        first = false;
        if (auto fed = reader->Feed(bytes); !fed) {
            return fed;
        }
    }
    if (auto finished = reader->Finish(); !finished) {
        return finished.TakeFailure();
    }
    return {};
}

ombrix::base::Result<LogDigest> ReadLogFile(const std::string& path, const LogSources& sources) {
    LogDigester digester;
    if (auto read = ReadExportRecords(path, sources, digester); !read) {
        return Failure{read.Reason()};
    }
    LogDigest& digest = digester.Digest();
    if (digest.records == 0) {
        return Failure{"It holds no event records."};
    }
    if (digest.unreadable == digest.records) {
        return Failure{"None of its " + std::to_string(digest.records) +
                       " event records could be read: they are not well-formed event XML."};
    }
    return std::move(digest);
}

}  // namespace uptime
