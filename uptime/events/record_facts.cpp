#include "uptime/events/record_facts.h"

#include "base/digits.h"
#include "base/text.h"

namespace uptime {
namespace {

using ombrix::base::TrimBlanks;

// The text of <name>...</name> within `part`, when it is there once in that plain form. Sets
// `unsure` for anything else that could be the element (attributes, an empty element, markup or
// entities in its text).
std::optional<std::string_view> PlainText(std::string_view part, std::string_view open,
                                          std::string_view close, bool& unsure) {
    const auto start = part.find(open);
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    const auto textStart = start + open.size();
    const auto end = part.find('<', textStart);
    if (end == std::string_view::npos || part.substr(end, close.size()) != close) {
        unsure = true;
        return std::nullopt;
    }
    const std::string_view text = part.substr(textStart, end - textStart);
    if (text.find('&') != std::string_view::npos) {
        unsure = true;
        return std::nullopt;
    }
    return TrimBlanks(text);
}

// The value of SystemTime in <TimeCreated SystemTime='...'>.
std::optional<std::string_view> SystemTimeValue(std::string_view part) {
    const auto tag = part.find("<TimeCreated ");
    if (tag == std::string_view::npos) {
        return std::nullopt;
    }
    const auto tagEnd = part.find('>', tag);
    const auto name = part.find("SystemTime=", tag);
    if (tagEnd == std::string_view::npos || name == std::string_view::npos || name > tagEnd) {
        return std::nullopt;
    }
    const auto valueStart = name + 12;
    if (valueStart >= tagEnd) {
        return std::nullopt;
    }
    const char quote = part[valueStart - 1];
    const auto valueEnd = part.find(quote, valueStart);
    if ((quote != '\'' && quote != '"') || valueEnd == std::string_view::npos ||
        valueEnd > tagEnd) {
        return std::nullopt;
    }
    return part.substr(valueStart, valueEnd - valueStart);
}

std::optional<std::int64_t> Number(std::optional<std::string_view> text, std::size_t digits) {
    return text ? ombrix::base::ReadDigits(*text, digits) : std::nullopt;
}

}  // namespace

std::optional<RecordFacts> ReadRecordFacts(std::string_view xml) {
    // The whole record, as the event log writes it: <Event xmlns=...> to </Event>.
    const std::string_view record = TrimBlanks(xml);
    if (!record.starts_with("<Event ") && !record.starts_with("<Event>")) {
        return std::nullopt;
    }
    if (!record.ends_with("</Event>")) {
        return std::nullopt;
    }
    const auto systemStart = record.find("<System>");
    const auto systemEnd = record.find("</System>");
    if (systemStart == std::string_view::npos || systemEnd == std::string_view::npos ||
        systemEnd < systemStart) {
        return std::nullopt;
    }
    const std::string_view system = record.substr(systemStart, systemEnd - systemStart);
    if (system.find("<!") != std::string_view::npos ||
        system.find("<?") != std::string_view::npos) {
        return std::nullopt;
    }
    bool unsure = false;
    RecordFacts facts;
    const auto computer = PlainText(system, "<Computer>", "</Computer>", unsure);
    const auto channel = PlainText(system, "<Channel>", "</Channel>", unsure);
    const auto recordId = PlainText(system, "<EventRecordID>", "</EventRecordID>", unsure);
    if (unsure || !computer || system.find("<Channel/>") != std::string_view::npos) {
        return std::nullopt;
    }
    // <EventID Qualifiers='...'>6005</EventID>
    const auto idTag = system.find("<EventID");
    const auto idStart = idTag == std::string_view::npos ? idTag : system.find('>', idTag);
    const auto idEnd = idStart == std::string_view::npos ? idStart : system.find('<', idStart);
    if (idEnd == std::string_view::npos || (system[idTag + 8] != ' ' && system[idTag + 8] != '>') ||
        system[idStart - 1] == '/' || !system.substr(idEnd).starts_with("</EventID>")) {
        return std::nullopt;
    }
    const auto eventId = Number(TrimBlanks(system.substr(idStart + 1, idEnd - idStart - 1)), 5);
    const auto timeText = SystemTimeValue(system);
    const auto time = timeText ? ParseSystemTime(*timeText) : std::nullopt;
    if (!eventId || *eventId > 0xFFFF || !time) {
        return std::nullopt;
    }
    facts.computer = *computer;
    facts.channel = channel.value_or(std::string_view());
    facts.eventId = static_cast<unsigned>(*eventId);
    facts.timeCreated = *time;
    if (recordId) {
        const auto number = Number(recordId, 18);
        if (!number) {
            return std::nullopt;
        }
        facts.recordId = static_cast<std::uint64_t>(*number);
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
