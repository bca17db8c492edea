#include "uptime/events/event_xml.h"

#include <utility>

#include "base/digits.h"
#include "base/text.h"
#include "uptime/events/binary_text.h"
#include "uptime/events/xml_text.h"

namespace uptime {
namespace {

using ombrix::base::IsBlank;
using ombrix::base::TrimBlanks;

// What an element means to the record, told by its name and its parent's kind.
enum class Kind {
    Document,  // above the root
    Event,
    System,
    Provider,
    EventId,
    TimeCreated,
    Channel,
    Computer,
    RecordId,
    EventData,
    Data,
    Binary,
    UserData,
    UserDataNode,  // anything below UserData: its leaves are fields
    Other,         // read only to check that it is well-formed
};

// Just enough XML for rendered events, read in one pass without building a tree: elements,
// attributes, character data, the predefined and numeric entities, CDATA, comments and
// processing instructions. No DTDs. Only what the record keeps is copied.
class EventParser {
  public:
    explicit EventParser(std::string_view text) : in_(text) {}

    std::optional<EventRecord> Parse() {
        if (in_.substr(0, 3) == "\xEF\xBB\xBF") {
            pos_ = 3;
        }
        if (!SkipMisc() || !Peek('<') || !ReadElement(0, Kind::Document) || !SkipMisc() ||
            pos_ != in_.size()) {
            return std::nullopt;
        }
        // Event IDs are 16-bit numbers.
        const auto number = ombrix::base::ReadDigits(TrimBlanks(eventIdText_), 5);
        const std::optional<UtcSeconds> time = ParseSystemTime(systemTime_);
        if (!number || *number > 0xFFFF || !time) {
            return std::nullopt;
        }
        record_.eventId = static_cast<unsigned>(*number);
        // A record number that cannot be read is left out rather than failing the record.
        if (const auto recordId = ombrix::base::ReadDigits(TrimBlanks(recordIdText_), 18)) {
            record_.recordId = static_cast<std::uint64_t>(*recordId);
        }
        record_.timeCreated = *time;
        return std::move(record_);
    }

  private:
    static constexpr int kMaxDepth = 32;

    bool Peek(char c) const { return pos_ < in_.size() && in_[pos_] == c; }
    bool StartsWith(std::string_view prefix) const {
        return in_.substr(pos_, prefix.size()) == prefix;
    }
    void SkipSpace() {
        while (pos_ < in_.size() && IsBlank(in_[pos_])) {
            ++pos_;
        }
    }
    bool SkipPast(std::string_view terminator) {
        const auto end = in_.find(terminator, pos_);
        if (end == std::string_view::npos) {
            return false;
        }
        pos_ = end + terminator.size();
        return true;
    }
    // Blanks, comments and processing instructions around the root element.
    bool SkipMisc() {
        for (;;) {
            SkipSpace();
            if (StartsWith("<?")) {
                if (!SkipPast("?>")) {
                    return false;
                }
            } else if (StartsWith("<!--")) {
                if (!SkipPast("-->")) {
                    return false;
                }
            } else {
                return true;
            }
        }
    }

    std::string_view Name() {
        const std::size_t start = pos_;
        while (pos_ < in_.size()) {
            const char c = in_[pos_];
            if (IsBlank(c) || c == '/' || c == '>' || c == '=' || c == '<') {
                break;
            }
            ++pos_;
        }
        return in_.substr(start, pos_ - start);
    }

    Kind KindOf(Kind parent, std::string_view name) {
        const auto first = [](bool& seen) {
            const bool isFirst = !seen;
            seen = true;
            return isFirst;
        };
        switch (parent) {
            case Kind::Document:
                return name == "Event" ? Kind::Event : Kind::Other;
            case Kind::Event:
                if (name == "System" && first(seenSystem_)) {
                    return Kind::System;
                }
                if (name == "EventData" && first(seenEventData_)) {
                    return Kind::EventData;
                }
                if (name == "UserData" && first(seenUserData_)) {
                    return Kind::UserData;
                }
                return Kind::Other;
            case Kind::System:
                if (name == "Provider" && first(seenProvider_)) {
                    return Kind::Provider;
                }
                if (name == "EventID" && first(seenEventId_)) {
                    return Kind::EventId;
                }
                if (name == "TimeCreated" && first(seenTimeCreated_)) {
                    return Kind::TimeCreated;
                }
                if (name == "Channel" && first(seenChannel_)) {
                    return Kind::Channel;
                }
                if (name == "Computer" && first(seenComputer_)) {
                    return Kind::Computer;
                }
                if (name == "EventRecordID" && first(seenRecordId_)) {
                    return Kind::RecordId;
                }
                return Kind::Other;
            case Kind::EventData:
                return name == "Data" ? Kind::Data : name == "Binary" ? Kind::Binary : Kind::Other;
            case Kind::UserData:
            case Kind::UserDataNode:
                return Kind::UserDataNode;
            default:
                return Kind::Other;
        }
    }

    // Where the value of the named attribute of an element of this kind goes, if it is kept.
    std::string* AttributeTarget(Kind kind, std::string_view name) {
        switch (kind) {
            case Kind::Provider:
                return name == "Name"              ? &record_.provider
                       : name == "EventSourceName" ? &record_.sourceName
                                                   : nullptr;
            case Kind::TimeCreated:
                return name == "SystemTime" ? &systemTime_ : nullptr;
            case Kind::Data:
                return name == "Name" ? &record_.fields.back().name : nullptr;
            default:
                return nullptr;
        }
    }

    // The attributes and the end of the start tag; `empty` tells "/>".
    bool ReadAttributes(Kind kind, bool& empty) {
        for (;;) {
            const std::size_t before = pos_;
            SkipSpace();
            if (StartsWith("/>")) {
                pos_ += 2;
                empty = true;
                return true;
            }
            if (Peek('>')) {
                ++pos_;
                return true;
            }
            const std::string_view name = Name();
            if (pos_ == before || name.empty()) {
                return false;
            }
            SkipSpace();
            if (!Peek('=')) {
                return false;
            }
            ++pos_;
            SkipSpace();
            if (!Peek('\'') && !Peek('"')) {
                return false;
            }
            const char quote = in_[pos_++];
            const auto end = in_.find(quote, pos_);
            if (end == std::string_view::npos) {
                return false;
            }
            const std::string_view raw = in_.substr(pos_, end - pos_);
            pos_ = end + 1;
            if (raw.find('<') != std::string_view::npos) {
                return false;
            }
            std::string* target = AttributeTarget(kind, LocalName(name));
            if (target != nullptr) {
                target->clear();
            }
            if (!AppendDecoded(raw, target)) {
                return false;
            }
        }
    }

    std::string* TextTarget(Kind kind) {
        switch (kind) {
            case Kind::EventId:
                return &eventIdText_;
            case Kind::Channel:
                return &record_.channel;
            case Kind::Computer:
                return &record_.computer;
            case Kind::RecordId:
                return &recordIdText_;
            case Kind::Data:
                return &record_.fields.back().value;
            case Kind::Binary:
            case Kind::UserDataNode:
                return &scratch_;
            default:
                return nullptr;
        }
    }

    bool ReadElement(int depth, Kind parent) {
        if (depth > kMaxDepth) {
            return false;
        }
        ++pos_;  // '<'
        const std::string_view qualified = Name();
        if (qualified.empty()) {
            return false;
        }
        const Kind kind = KindOf(parent, LocalName(qualified));
        if (parent == Kind::Document && kind != Kind::Event) {
            return false;
        }
        if (kind == Kind::Data) {
            record_.fields.push_back({});
        }
        bool empty = false;
        if (!ReadAttributes(kind, empty)) {
            return false;
        }
        std::string* text = TextTarget(kind);
        if (text == &scratch_) {
            scratch_.clear();
        }
        bool hasChildren = false;
        while (!empty) {
            const auto lt = in_.find('<', pos_);
            if (lt == std::string_view::npos) {
                return false;  // the text ended inside the element
            }
            if (!AppendDecoded(in_.substr(pos_, lt - pos_), text)) {
                return false;
            }
            pos_ = lt;
            if (StartsWith("</")) {
                pos_ += 2;
                if (Name() != qualified) {
                    return false;
                }
                SkipSpace();
                if (!Peek('>')) {
                    return false;
                }
                ++pos_;
                break;
            }
            if (StartsWith("<!--")) {
                if (!SkipPast("-->")) {
                    return false;
                }
            } else if (StartsWith("<![CDATA[")) {
                pos_ += 9;
                const auto end = in_.find("]]>", pos_);
                if (end == std::string_view::npos) {
                    return false;
                }
                if (text != nullptr) {
                    text->append(in_.substr(pos_, end - pos_));
                }
                pos_ = end + 3;
            } else if (StartsWith("<?")) {
                if (!SkipPast("?>")) {
                    return false;
                }
            } else {
                hasChildren = true;
                // A child's text goes to the child: keep what this element has so far.
                std::string saved;
                if (text == &scratch_) {
                    saved = std::move(scratch_);
                }
                if (!ReadElement(depth + 1, kind)) {
                    return false;
                }
                if (text == &scratch_) {
                    scratch_ = std::move(saved);
                }
            }
        }
        if (kind == Kind::Binary) {
            record_.binary = DecodeBinary(scratch_);
        } else if (kind == Kind::UserDataNode && !hasChildren) {
            record_.fields.push_back({std::string(LocalName(qualified)), std::move(scratch_)});
            scratch_.clear();
        }
        return true;
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    EventRecord record_;
    std::string eventIdText_;
    std::string recordIdText_;
    std::string systemTime_;
    std::string scratch_;
    bool seenSystem_ = false;
    bool seenEventData_ = false;
    bool seenUserData_ = false;
    bool seenProvider_ = false;
    bool seenEventId_ = false;
    bool seenTimeCreated_ = false;
    bool seenChannel_ = false;
    bool seenComputer_ = false;
    bool seenRecordId_ = false;
};

}  // namespace

std::string EventRecord::Field(std::string_view name) const {
    for (const EventField& field : fields) {
        if (field.name == name) {
            return field.value;
        }
    }
    return {};
}

std::string EventRecord::FieldAt(std::size_t index) const {
    return index < fields.size() ? fields[index].value : std::string();
}

std::optional<EventRecord> ParseEventXml(std::string_view xml) {
    EventParser parser(xml);
    std::optional<EventRecord> record = parser.Parse();
    if (record) {
        record->channel = std::string(TrimBlanks(record->channel));
        record->computer = std::string(TrimBlanks(record->computer));
    }
    return record;
}

}  // namespace uptime
