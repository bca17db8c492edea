// Rendered event XML, as recorded from the event log, read into records. The report goldens feed
// the whole tool hand-built records, 6008's binary among them.
#include <gtest/gtest.h>

#include "uptime/events/binary_text.h"
#include "uptime/events/event_xml.h"
#include "uptime/events/xml_text.h"

namespace uptime {
namespace {

// A 1074 as Event Viewer's XML view shows it: declaration, line breaks, double quotes.
const char* const kRestartRequest = R"(<?xml version="1.0" encoding="utf-16"?>
<Event xmlns="http://schemas.microsoft.com/win/2004/08/events/event">
  <System>
    <Provider Name="User32" Guid="{b0aa8734-56f7-41cc-b2f4-de228e98b946}" EventSourceName="User32" />
    <EventID Qualifiers="32768">1074</EventID>
    <TimeCreated SystemTime="2013-07-14T02:02:11.804669300Z" />
  </System>
  <EventData>
    <Data Name="param1">C:\Windows\system32\wuauclt.exe (SRV01)</Data>
    <Data Name="param6">
new disk, see ticket 4711
</Data>
    <Data Name="param7">NT AUTHORITY\SYSTEM &amp; &#x20AC;</Data>
  </EventData>
</Event>)";

// A cleared log: its data are the leaves of UserData.
const char* const kLogCleared =
    "<Event><System><Provider Name='Microsoft-Windows-Eventlog'/><EventID>104</EventID>"
    "<TimeCreated SystemTime='2013-03-01T05:59:00Z'/></System><UserData><LogFileCleared "
    "xmlns='http://manifests.microsoft.com/win/2004/08/windows/eventlog'><SubjectUserName>admin"
    "</SubjectUserName><Channel>System</Channel></LogFileCleared></UserData></Event>";

TEST(EventXml, ReadsRecordedSamplesAndRejectsBrokenOnes) {
    struct Sample {
        std::string xml;
        unsigned id;  // 0: rejected
        const char* time = "";
        std::vector<std::pair<std::string, std::string>> fields = {};  // by name, or "#" and place
    };
    const std::string head = "<Event><System><EventID>6005</EventID>";
    const std::string timed = head + "<TimeCreated SystemTime='2013-03-01T06:00:00Z'/>";
    std::string deep;  // nested far beyond any record: refused, without a stack overflow
    for (int i = 0; i < 1000000; ++i) {
        deep += "<a>";
    }
    const Sample samples[] = {
        {kRestartRequest,
         1074,
         "2013-07-14T02:02:11Z",
         {{"param1", "C:\\Windows\\system32\\wuauclt.exe (SRV01)"},
          {"param6", "\nnew disk, see ticket 4711\n"},  // a value keeps its line breaks
          {"param7", "NT AUTHORITY\\SYSTEM & \xE2\x82\xAC"},
          {"param9", ""}}},
        {kLogCleared, 104, "2013-03-01T05:59:00Z", {{"SubjectUserName", "admin"}}},
        {timed + "</System>", 0},  // unclosed
        {head + "<TimeCreated SystemTime='2013-02-30T06:00:00Z'/></System></Event>", 0},
        // Open and close tags instead of empty ones, unnamed Data, an empty Binary (a 6008's is
        // in the report goldens).
        {head + "<TimeCreated SystemTime='2013-03-01T06:00:00.1234567Z'></TimeCreated>"
                "<Computer>\r\n SRV01 </Computer></System><EventData><Data></Data><Data>x</Data>"
                "<Binary></Binary></EventData></Event>",
         6005,
         "2013-03-01T06:00:00Z",
         {{"#0", ""}, {"#1", "x"}}},
        // Not well-formed: each is refused whole.
        {timed + "</Sys></Event>", 0},
        {timed + "</System></Event><Event/>", 0},
        {head + "<TimeCreated SystemTime=2013-03-01T06:00:00Z/></System></Event>", 0},
        {timed + "</System>" + deep + "</Event>", 0},
        {"<Events>" + timed + "</System></Event>", 0},
    };
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.xml.substr(0, 300));
        const auto record = ParseEventXml(s.xml);
        ASSERT_EQ(record ? record->eventId : 0u, s.id);
        if (!record) {
            continue;
        }
        EXPECT_EQ(record->timeCreated, ParseSystemTime(s.time));
        for (const auto& [key, value] : s.fields) {
            EXPECT_EQ(
                key[0] == '#' ? record->FieldAt(std::stoul(key.substr(1))) : record->Field(key),
                value)
                << key;
        }
        EXPECT_TRUE(record->binary.empty());
    }
}

TEST(EventXml, EntitiesStandForTheCharactersXmlHas) {
    const std::pair<const char*, const char*> cases[] = {
        {"&lt;&gt;&amp;&quot;&apos;", "<>&\"'"},
        {"A&#66;&#x43;&#x4a;&#x4A;", "ABCJJ"},
        {"&#x10FFFF;", "\xF4\x8F\xBF\xBF"},
        {"&#1a;", nullptr},  // hex digits, or an upper-case X, in a decimal number
        {"&#X41;", nullptr},
        {"&#x;", nullptr},
        {"&#xD800;", nullptr},  // no surrogate halves, nothing past U+10FFFF
        {"&#x110000;", nullptr},
        {"&nbsp;", nullptr},
        {"&amp", nullptr},
    };
    for (const auto& [raw, decoded] : cases) {
        std::string out;
        EXPECT_EQ(AppendDecoded(raw, &out), decoded != nullptr) << raw;
        EXPECT_EQ(AppendDecoded(raw, nullptr), decoded != nullptr) << raw;
        if (decoded != nullptr) {
            EXPECT_EQ(out, decoded) << raw;
        }
    }
}

TEST(EventXml, BinaryIsHexElseBase64) {
    const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
        {"DD0708000000", {0xDD, 0x07, 0x08, 0x00, 0x00, 0x00}},  // as wevtutil writes it
        {"dd 07\r\n08", {0xDD, 0x07, 0x08}},
        {"4gcHAAUABg==", {0xE2, 0x07, 0x07, 0x00, 0x05, 0x00, 0x06}},  // as converters write it
        {"QUI=", {0x41, 0x42}},
        {"DD0", {}},   // half a byte of hex, and base64 without its padding
        {"QU=I", {}},  // padding in the middle
        {"Q===", {}},
    };
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(DecodeBinary(text), bytes) << text;
    }
}

}  // namespace
}  // namespace uptime
