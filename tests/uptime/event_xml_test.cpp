// Rendered event XML, as recorded from the System and Application logs, read into records.
#include <gtest/gtest.h>

#include <cstdio>

#include "uptime/event_xml.h"
#include "uptime/recorded_events.h"

namespace uptime {
namespace {

using test::Utc;

// EvtRender's output for a 6008 on a Windows 7 machine in UTC+1: the last time it ran was
// 11/08/2013 01:30:17.500 local, 00:30:17.500 UTC (a Sunday).
const char* const kUnexpectedShutdown =
    "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>"
    "<Provider Name='EventLog'/><EventID Qualifiers='32768'>6008</EventID><Level>2</Level>"
    "<Task>0</Task><Keywords>0x80000000000000</Keywords>"
    "<TimeCreated SystemTime='2013-08-11T00:33:42.000000000Z'/>"
    "<EventRecordID>40213</EventRecordID><Channel>System</Channel>"
    "<Computer>SRV01.contoso.local</Computer><Security/></System><EventData>"
    "<Data>1:30:17</Data><Data>\xE2\x80\x8E"
    "11/\xE2\x80\x8E"
    "08/\xE2\x80\x8E"
    "2013</Data><Data></Data><Data></Data><Data>1617</Data><Data></Data><Data></Data>"
    "<Binary>DD07080000000B0001001E001100F401DD07080000000B0000001E001100F401</Binary>"
    "</EventData></Event>";

// A 1074 as Event Viewer's XML view shows it: declaration, line breaks, indentation,
// double quotes.
const char* const kRestartRequest = R"(<?xml version="1.0" encoding="utf-16"?>
<Event xmlns="http://schemas.microsoft.com/win/2004/08/events/event">
  <System>
    <Provider Name="User32" Guid="{b0aa8734-56f7-41cc-b2f4-de228e98b946}" EventSourceName="User32" />
    <EventID Qualifiers="32768">1074</EventID>
    <Version>0</Version>
    <Level>4</Level>
    <TimeCreated SystemTime="2013-07-14T02:02:11.804669300Z" />
    <EventRecordID>39877</EventRecordID>
    <Correlation />
    <Execution ProcessID="560" ThreadID="2768" />
    <Channel>System</Channel>
    <Computer>SRV01.contoso.local</Computer>
    <Security UserID="S-1-5-18" />
  </System>
  <EventData>
    <Data Name="param1">C:\Windows\system32\wuauclt.exe (SRV01)</Data>
    <Data Name="param2">SRV01</Data>
    <Data Name="param3">Operating System: Service pack (Planned)</Data>
    <Data Name="param4">0x80020010</Data>
    <Data Name="param5">restart</Data>
    <Data Name="param6">
    </Data>
    <Data Name="param7">NT AUTHORITY\SYSTEM</Data>
  </EventData>
</Event>)";

const char* const kLogCleared =
    "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>"
    "<Provider Name='Microsoft-Windows-Eventlog' "
    "Guid='{fc65ddd8-d6ef-4962-83d5-6e5cfe9ce148}'/><EventID>104</EventID><Version>0</Version>"
    "<Level>4</Level><Task>104</Task><Opcode>0</Opcode><Keywords>0x8000000000000000</Keywords>"
    "<TimeCreated SystemTime='2013-03-01T05:59:00.968750000Z'/>"
    "<EventRecordID>1</EventRecordID><Correlation/>"
    "<Execution ProcessID='904' ThreadID='3124'/><Channel>System</Channel>"
    "<Computer>SRV01</Computer><Security UserID='S-1-5-21-1004336348-1177238915-682003330-500'/>"
    "</System><UserData><LogFileCleared "
    "xmlns:auto-ns3='http://schemas.microsoft.com/win/2004/08/events' "
    "xmlns='http://manifests.microsoft.com/win/2004/08/windows/eventlog'>"
    "<SubjectUserName>admin</SubjectUserName><SubjectDomainName>CONTOSO</SubjectDomainName>"
    "<Channel>System</Channel><BackupPath></BackupPath></LogFileCleared></UserData></Event>";

TEST(EventXml, ReadsTheSystemPartAndTheData) {
    const auto record = ParseEventXml(kUnexpectedShutdown);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->provider, "EventLog");
    EXPECT_EQ(record->eventId, 6008u) << "Qualifiers are not part of the ID";
    EXPECT_EQ(record->timeCreated, Utc("2013-08-11T00:33:42Z"));
    EXPECT_EQ(record->channel, "System");
    ASSERT_EQ(record->fields.size(), 7u);
    EXPECT_EQ(record->FieldAt(0), "1:30:17");
    EXPECT_EQ(record->FieldAt(4), "1617");
    EXPECT_EQ(record->FieldAt(7), "") << "past the end";
    ASSERT_EQ(record->binary.size(), 32u);
    EXPECT_EQ(record->binary[0], 0xDD);
    EXPECT_EQ(record->binary[1], 0x07);
    EXPECT_EQ(record->binary[31], 0x01);
}

TEST(EventXml, ReadsWhatEventViewerShows) {
    const auto record = ParseEventXml(kRestartRequest);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->provider, "User32");
    EXPECT_EQ(record->sourceName, "User32");
    EXPECT_EQ(record->eventId, 1074u);
    EXPECT_EQ(record->timeCreated, Utc("2013-07-14T02:02:11Z"));
    EXPECT_EQ(record->Field("param1"), "C:\\Windows\\system32\\wuauclt.exe (SRV01)");
    EXPECT_EQ(record->Field("param7"), "NT AUTHORITY\\SYSTEM");
    EXPECT_EQ(record->Field("param9"), "");
}

TEST(EventXml, TakesTheLeavesOfUserData) {
    const auto record = ParseEventXml(kLogCleared);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->eventId, 104u);
    EXPECT_EQ(record->Field("SubjectUserName"), "admin");
    EXPECT_EQ(record->Field("SubjectDomainName"), "CONTOSO");
    EXPECT_EQ(record->Field("Channel"), "System");
    EXPECT_TRUE(record->binary.empty());
}

TEST(EventXml, DecodesEntitiesCharacterReferencesAndCdata) {
    const auto record = ParseEventXml(
        "<Event><System><Provider Name='Application Error'/><EventID>1000</EventID>"
        "<TimeCreated SystemTime='2013-03-01T09:15:00.1Z'/></System><EventData>"
        "<Data>R&amp;D &lt;tool&gt; &quot;x&quot; &apos;y&apos;</Data>"
        "<Data>caf&#233; &#x20AC; &#x1F600;</Data>"
        "<Data><![CDATA[<raw> & more]]></Data>"
        "<!-- a comment --><Data Name='a&amp;b'>kept</Data></EventData></Event>");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->FieldAt(0), "R&D <tool> \"x\" 'y'");
    EXPECT_EQ(record->FieldAt(1), "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(record->FieldAt(2), "<raw> & more");
    EXPECT_EQ(record->Field("a&b"), "kept");
}

TEST(EventXml, RejectsBrokenRecords) {
    const std::string id = "<EventID>6005</EventID>";
    const std::string time = "<TimeCreated SystemTime='2013-03-01T06:00:00Z'/>";
    const std::string head = "<Event><System>" + id + time;
    const std::string tail = "</System></Event>";
    ASSERT_TRUE(ParseEventXml(head + tail)) << "the base case must parse";
    const std::string broken[] = {
        "",
        "plain text",
        head,                                                   // never closed
        head + "</System></Evnt>",                              // wrong end tag
        head + tail + "<Event/>",                               // two roots
        head + tail + " trailing",                              // text after the root
        "<Record><System>" + id + time + "</System></Record>",  // not an event
        "<Event>" + id + time + "</Event>",                     // no System part
        "<Event><System>" + time + tail,                        // no ID
        "<Event><System>" + id + tail,                          // no time
        "<Event><System><EventID>60a5</EventID>" + time + tail,
        "<Event><System><EventID>70000</EventID>" + time + tail,
        "<Event><System>" + id + "<TimeCreated SystemTime='2013-02-30T06:00:00Z'/>" + tail,
        head + "<Data>&unknown;</Data>" + tail,
        head + "<Data>&#0;</Data>" + tail,
        head + "<Data>&#xD800;</Data>" + tail,
        head + "<Data>a & b</Data>" + tail,
        head + "<Data Name=unquoted>x</Data>" + tail,
        head + "<Data Name='a<b'>x</Data>" + tail,
        head + "<!-- unclosed comment" + tail,
        head + "<![CDATA[ unclosed" + tail,
    };
    for (const std::string& xml : broken) {
        EXPECT_FALSE(ParseEventXml(xml)) << xml;
    }
}

TEST(EventXml, ReadsBinaryOnlyWhenItIsWholeBytes) {
    const auto binary = [](const std::string& hex) {
        return ParseEventXml(
                   "<Event><System><EventID>6008</EventID>"
                   "<TimeCreated SystemTime='2013-03-01T06:00:00Z'/></System><EventData>"
                   "<Binary>" +
                   hex + "</Binary></EventData></Event>")
            ->binary;
    };
    EXPECT_EQ(binary("00ff7Fa0"), (std::vector<std::uint8_t>{0x00, 0xFF, 0x7F, 0xA0}));
    EXPECT_EQ(binary("00 ff\n7F"), (std::vector<std::uint8_t>{0x00, 0xFF, 0x7F}));
    EXPECT_TRUE(binary("00f").empty());
    EXPECT_TRUE(binary("0g").empty());
}

TEST(ParseSystemTime, TheFormsEventsCarry) {
    const UtcSeconds base = Utc("2013-05-30T23:13:46Z");
    EXPECT_EQ(ParseSystemTime("2013-05-30T23:13:46.123456700Z"), base);
    EXPECT_EQ(ParseSystemTime("2013-05-30T23:13:46.1234567Z"), base);
    EXPECT_EQ(ParseSystemTime("2013-05-30T23:13:46.999Z"), base) << "fractions are dropped";
    EXPECT_EQ(ParseSystemTime("2013-05-31T00:00:00Z"), base + 46 * 60 + 14);
    // 1970-01-01 is second 0; a leap day counts.
    EXPECT_EQ(ParseSystemTime("1970-01-01T00:00:00Z"), 0);
    EXPECT_EQ(*ParseSystemTime("2012-03-01T00:00:00Z") - *ParseSystemTime("2012-02-28T00:00:00Z"),
              2 * 86400);
    EXPECT_EQ(*ParseSystemTime("2013-03-01T00:00:00Z") - *ParseSystemTime("2013-02-28T00:00:00Z"),
              86400);
    for (const char* bad : {"2013-05-30 23:13:46Z", "2013-05-30T23:13:46", "2013-05-30T23:13:46.Z",
                            "2013-05-30T24:00:00Z", "2013-05-30T23:60:00Z", "2013-13-01T00:00:00Z",
                            "2013-05-30T23:13:46+01:00", "2013-5-30T23:13:46Z", ""}) {
        EXPECT_FALSE(ParseSystemTime(bad)) << bad;
    }
}

TEST(ParseSystemTime, RoundTripsThroughTheCalendar) {
    for (const char* text : {"1601-01-01T00:00:00Z", "1969-12-31T23:59:59Z", "2000-02-29T12:34:56Z",
                             "2038-01-19T03:14:08Z"}) {
        const UtcSeconds seconds = Utc(text);
        const CivilTime civil = ToCivil(seconds);
        char back[32];
        std::snprintf(back, sizeof(back), "%04d-%02d-%02dT%02d:%02d:%02dZ", civil.date.year,
                      civil.date.month, civil.date.day, civil.hour, civil.minute, civil.second);
        EXPECT_EQ(std::string(back), text);
    }
}

TEST(ReportDurations, WrittenAsTheClassicToolDid) {
    EXPECT_EQ(ShortDuration(0), "0d 0h:0m:0s");
    EXPECT_EQ(ShortDuration(173), "0d 0h:2m:53s");
    EXPECT_EQ(ShortDuration(171 * 86400 + 6 * 3600 + 8 * 60 + 39), "171d 6h:8m:39s");
    EXPECT_EQ(LongDuration(86399), "0 day(s), 23 hour(s), 59 minute(s), 59 second(s)");
    EXPECT_EQ(LongDuration(400 * 86400ull + 3600),
              "400 day(s), 1 hour(s), 0 minute(s), 0 second(s)");
}

TEST(UptimeClock, FixedFormatsAtTheRuleOffset) {
    const FixedFormatClock london(test::LondonOffset);
    const UtcSeconds winter = Utc("2012-12-10T16:02:14Z");
    const UtcSeconds summer = Utc("2013-05-30T22:13:46Z");
    EXPECT_EQ(london.DateText(winter), "10/12/2012");
    EXPECT_EQ(london.TimeText(winter), "16:02:14");
    EXPECT_EQ(london.DateText(summer), "30/05/2013");
    EXPECT_EQ(london.TimeText(summer), "23:13:46");
    // An hour into BST the local day has already turned.
    EXPECT_EQ(london.DateText(Utc("2013-05-30T23:30:00Z")), "31/05/2013");
    EXPECT_EQ(london.TimeText(Utc("2013-05-30T23:30:00Z")), "00:30:00");

    // Midnight in BST is 23:00 UTC the evening before; in GMT it is midnight UTC.
    EXPECT_EQ(london.StartOfLocalDay({2013, 8, 1}), Utc("2013-07-31T23:00:00Z"));
    EXPECT_EQ(london.StartOfLocalDay({2013, 1, 15}), Utc("2013-01-15T00:00:00Z"));
    // West of UTC the day begins later.
    const FixedFormatClock newYork([](UtcSeconds) { return -5 * 3600; });
    EXPECT_EQ(newYork.StartOfLocalDay({2013, 1, 15}), Utc("2013-01-15T05:00:00Z"));
    EXPECT_EQ(newYork.DateText(Utc("2013-01-15T04:59:59Z")), "14/01/2013");
}

}  // namespace
}  // namespace uptime
