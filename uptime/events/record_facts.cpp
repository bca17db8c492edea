#include "uptime/events/record_facts.h"

#include "base/digits.h"
#include "base/text.h"

namespace uptime {
namespace {

using ombrix::base::TrimBlanks;

std::optional<std::int64_t> Number(std::string_view text, std::size_t digits) {
    return ombrix::base::ReadDigits(TrimBlanks(text), digits);
}

// The value of SystemTime among the attributes of <TimeCreated ...>.
std::optional<std::string_view> SystemTimeValue(std::string_view attributes) {
    const auto name = attributes.find("SystemTime=");
    if (name == std::string_view::npos || name + 12 > attributes.size()) {
        return std::nullopt;
    }
    const char quote = attributes[name + 11];
    const auto end = attributes.find(quote, name + 12);
    if ((quote != '\'' && quote != '"') || end == std::string_view::npos) {
        return std::nullopt;
    }
    return attributes.substr(name + 12, end - name - 12);
}

// The System part read tag by tag, once: the first of each element the facts need.
class SystemReader {
  public:
    explicit SystemReader(std::string_view system) : system_(system) {}

    // False when unsure.
    bool Read(RecordFacts& facts) {
        std::optional<std::string_view> computer, channel, eventId, recordId, time;
        for (std::size_t pos = 0;;) {
            const auto lt = system_.find('<', pos);
            if (lt == std::string_view::npos) {
                break;
            }
            const auto gt = system_.find('>', lt);
            if (gt == std::string_view::npos) {
                return false;
            }
            const std::string_view tag = system_.substr(lt + 1, gt - lt - 1);
            pos = gt + 1;
            if (tag.empty() || tag[0] == '/') {
                continue;
            }
            const std::string_view name = tag.substr(0, tag.find_first_of(" \t\r\n/"));
            if (tag[0] == '!' || tag[0] == '?' || name.find(':') != std::string_view::npos) {
                return false;  // comments, instructions, prefixed names: for the full parse
            }
            std::optional<std::string_view>* target = name == "Computer"        ? &computer
                                                      : name == "Channel"       ? &channel
                                                      : name == "EventID"       ? &eventId
                                                      : name == "EventRecordID" ? &recordId
                                                                                : nullptr;
            if (name == "TimeCreated" && !time) {
                time = SystemTimeValue(tag);
                if (!time) {
                    return false;
                }
            }
            if (target == nullptr || *target) {
                continue;
            }
            if (tag.back() == '/') {
                return false;  // an empty element
            }
            // Its text, which must be plain: no entity, no child.
            const auto end = system_.find('<', pos);
            if (end == std::string_view::npos || system_.substr(end + 1, 1) != "/" ||
                system_.substr(end + 2, name.size()) != name ||
                system_.substr(pos, end - pos).find('&') != std::string_view::npos) {
                return false;
            }
            *target = system_.substr(pos, end - pos);
            pos = end;
        }
        if (!computer || !eventId || !time) {
            return false;
        }
        const auto id = Number(*eventId, 5);
        const auto created = ParseSystemTime(*time);
        if (!id || *id > 0xFFFF || !created) {
            return false;
        }
        facts.computer = TrimBlanks(*computer);
        facts.channel = channel ? TrimBlanks(*channel) : std::string_view();
        facts.eventId = static_cast<unsigned>(*id);
        facts.timeCreated = *created;
        if (recordId) {
            const auto number = Number(*recordId, 18);
            if (!number) {
                return false;
            }
            facts.recordId = static_cast<std::uint64_t>(*number);
        }
        return true;
    }

  private:
    std::string_view system_;
};

}  // namespace

std::optional<RecordFacts> ReadRecordFacts(std::string_view xml) {
    // The whole record, as the event log writes it: <Event xmlns=...> to </Event>.
    const std::string_view record = TrimBlanks(xml);
    if ((!record.starts_with("<Event ") && !record.starts_with("<Event>")) ||
        !record.ends_with("</Event>")) {
        return std::nullopt;
    }
    const auto systemStart = record.find("<System>");
    const auto systemEnd = record.find("</System>", systemStart);
    if (systemStart == std::string_view::npos || systemEnd == std::string_view::npos) {
        return std::nullopt;
    }
    RecordFacts facts;
    SystemReader reader(record.substr(systemStart + 8, systemEnd - systemStart - 8));
    if (!reader.Read(facts)) {
        return std::nullopt;
    }
    return facts;
}

bool MayBeReportEvent(unsigned eventId) {
    // The IDs of the logs' queries (system_events): Classify and ReadHostRename read no other.
    switch (eventId) {
        case 41:
        case 104:
        case 1000:
        case 1001:
        case 1002:
        case 1074:
        case 6005:
        case 6006:
        case 6008:
        case 6009:
        case 6011:
        case 6013:
            return true;
        default:
            return false;
    }
}

}  // namespace uptime
