// Rendered event XML, as recorded from the System and Application logs, read into records.
#include <gtest/gtest.h>

#include <cstdio>

#include "uptime/event_xml.h"
#include "uptime/recorded_events.h"

namespace uptime {
namespace {

using test::Utc;

// EvtRender's output for a 6008 on a Windows 7 machine in UTC+1.
const char* const kUnexpectedShutdown =
    "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'><System>"
    "<Provider Name='EventLog'/><EventID Qualifiers='32768'>6008</EventID><Level>2</Level>"
    "<TimeCreated SystemTime='2013-08-11T00:33:42.000000000Z'/>"
    "<EventRecordID>40213</EventRecordID><Channel>System</Channel>"
    "<Computer>SRV01.contoso.local</Computer><Security/></System><EventData>"
    "<Data>1:30:17</Data><Data>\u200E11/\u200E08/\u200E2013</Data><Data></Data>"
    "<Data></Data><Data>1617</Data><Data></Data><Data></Data>"
    "<Binary>DD07080000000B0001001E001100F401DD07080000000B0000001E001100F401</Binary>"
    "</EventData></Event>";

// A 1074 as Event Viewer's XML view shows it: declaration, line breaks, double quotes.
const char* const kRestartRequest = R"(<?xml version="1.0" encoding="utf-16"?>
<Event xmlns="http://schemas.microsoft.com/win/2004/08/events/event">
  <System>
    <Provider Name="User32" Guid="{b0aa8734-56f7-41cc-b2f4-de228e98b946}" EventSourceName="User32" />
    <EventID Qualifiers="32768">1074</EventID>
    <TimeCreated SystemTime="2013-07-14T02:02:11.804669300Z" />
    <Correlation />
    <Channel>System</Channel>
  </System>
  <EventData>
    <Data Name="param1">C:\Windows\system32\wuauclt.exe (SRV01)</Data>
    <Data Name="param6">
    </Data>
    <Data Name="param7">NT AUTHORITY\SYSTEM</Data>
  </EventData>
</Event>)";

TEST(EventXml, ReadsTheSystemPartAndTheData) {
    const auto record = ParseEventXml(kUnexpectedShutdown);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->provider, "EventLog");
    EXPECT_EQ(record->eventId, 6008u) << "Qualifiers are not part of the ID";
    EXPECT_EQ(record->timeCreated, Utc("2013-08-11T00:33:42Z"));
    EXPECT_EQ(record->channel, "System");
    ASSERT_EQ(record->fields.size(), 7u);
    EXPECT_EQ(record->FieldAt(4), "1617");
    EXPECT_EQ(record->FieldAt(7), "") << "past the end";
    ASSERT_EQ(record->binary.size(), 32u);
    EXPECT_EQ(record->binary[0], 0xDD);
    EXPECT_EQ(record->binary[31], 0x01);

    const auto viewed = ParseEventXml(kRestartRequest);
    ASSERT_TRUE(viewed);
    EXPECT_EQ(viewed->sourceName, "User32");
    EXPECT_EQ(viewed->eventId, 1074u);
    EXPECT_EQ(viewed->Field("param1"), "C:\\Windows\\system32\\wuauclt.exe (SRV01)");
    EXPECT_EQ(viewed->Field("param7"), "NT AUTHORITY\\SYSTEM");
    EXPECT_EQ(viewed->Field("param9"), "");
}

TEST(EventXml, TakesTheLeavesOfUserData) {
    const auto record = ParseEventXml(
        "<Event><System><EventID>104</EventID><TimeCreated SystemTime='2013-03-01T05:59:00Z'/>"
        "</System><UserData><LogFileCleared xmlns:auto-ns3='http://x' xmlns='http://y'>"
        "<SubjectUserName>admin</SubjectUserName><Channel>System</Channel><BackupPath>"
        "</BackupPath></LogFileCleared></UserData></Event>");
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Field("SubjectUserName"), "admin");
    EXPECT_EQ(record->Field("Channel"), "System");
    EXPECT_TRUE(record->binary.empty());
}

TEST(EventXml, DecodesEntitiesCharacterReferencesAndCdata) {
    const auto record = ParseEventXml(
        "<Event><System><EventID>1000</EventID>"
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
    // Not XML, not one closed root, not an event, no System part, ID or time, a bad ID or
    // time, undefined or invalid references, a bare "&", broken attributes, unclosed sections.
    for (const std::string& xml :
         {std::string(),
          std::string("plain text"),
          head,
          head + "</System></Evnt>",
          head + tail + "<Event/>",
          head + tail + " trailing",
          "<Record><System>" + id + time + "</System></Record>",
          "<Event>" + id + time + "</Event>",
          "<Event><System>" + time + tail,
          "<Event><System>" + id + tail,
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
          head + "<![CDATA[ unclosed" + tail}) {
        EXPECT_FALSE(ParseEventXml(xml)) << xml;
    }
}

TEST(EventXml, ReadsBinaryOnlyWhenItIsWholeBytes) {
    const auto binary = [](const std::string& hex) {
        return ParseEventXml(
                   "<Event><System><EventID>6008</EventID><TimeCreated "
                   "SystemTime='2013-03-01T06:00:00Z'/></System><EventData><Binary>" +
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
    EXPECT_EQ(ParseSystemTime("2013-05-30T23:13:46.999Z"), base) << "fractions are dropped";
    EXPECT_EQ(ParseSystemTime("2013-05-31T00:00:00Z"), base + 46 * 60 + 14);
    EXPECT_EQ(ParseSystemTime("1970-01-01T00:00:00Z"), 0);
    EXPECT_EQ(Utc("2012-03-01T00:00:00Z") - Utc("2012-02-28T00:00:00Z"), 2 * 86400) << "leap day";
    EXPECT_EQ(Utc("2013-03-01T00:00:00Z") - Utc("2013-02-28T00:00:00Z"), 86400);
    for (const char* bad : {"2013-05-30 23:13:46Z", "2013-05-30T23:13:46", "2013-05-30T23:13:46.Z",
                            "2013-05-30T24:00:00Z", "2013-05-30T23:60:00Z", "2013-13-01T00:00:00Z",
                            "2013-05-30T23:13:46+01:00", "2013-5-30T23:13:46Z", ""}) {
        EXPECT_FALSE(ParseSystemTime(bad)) << bad;
    }
    // Back through the calendar, before 1970 and past 2038 too.
    for (const char* text : {"1601-01-01T00:00:00Z", "1969-12-31T23:59:59Z", "2000-02-29T12:34:56Z",
                             "2038-01-19T03:14:08Z"}) {
        const CivilTime civil = ToCivil(Utc(text));
        char back[32];
        std::snprintf(back, sizeof(back), "%04d-%02d-%02dT%02d:%02d:%02dZ", civil.date.year,
                      civil.date.month, civil.date.day, civil.hour, civil.minute, civil.second);
        EXPECT_EQ(std::string(back), text);
    }
}

TEST(UptimeClock, WestOfUtcTheLocalDayBeginsLater) {
    const FixedFormatClock newYork([](UtcSeconds) { return -5 * 3600; });
    EXPECT_EQ(newYork.StartOfLocalDay({2013, 1, 15}), Utc("2013-01-15T05:00:00Z"));
    EXPECT_EQ(newYork.DateText(Utc("2013-01-15T04:59:59Z")), "14/01/2013");
    EXPECT_EQ(newYork.TimeText(Utc("2013-01-15T04:59:59Z")), "23:59:59");
}

}  // namespace
}  // namespace uptime
