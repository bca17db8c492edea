// The quick reading of a record's System part, against the full parse, on the forms writers give;
// the collector's query.
#include <gtest/gtest.h>

#include <tuple>

#include "uptime/events/event_xml.h"
#include "uptime/events/record_facts.h"
#include "uptime/events/system_events.h"

namespace uptime {
namespace {

TEST(RecordFacts, LeaveWhatTheyAreUnsureOfToTheFullParse) {
    const std::string head =
        "<Event xmlns='http://schemas.microsoft.com/win/2004/08/events/event'>";
    const std::string time = "<TimeCreated SystemTime='2013-08-11T00:33:42.000000000Z'/>";
    // A boot with a time, and `rest` to end its System part.
    const auto boot = [&](const std::string& rest) {
        return head + "<System><EventID>6005</EventID>" + time + rest + "</System></Event>";
    };
    // What the record is, its XML, and whether it is read quickly.
    const std::tuple<const char*, std::string, bool> cases[] = {
        {"EvtRender's empty elements",
         head + "<System><Provider Name='EventLog'/><EventID Qualifiers='32768'>6008</EventID>" +
             time +
             "<EventRecordID>40213</EventRecordID><Channel>System</Channel><Computer>SRV01</"
             "Computer><Security/></System></Event>",
         true},
        {"Event Viewer's blanks and quotes",
         "<Event xmlns=\"x\">\r\n  <System>\r\n    <EventID>6005</EventID>\r\n    <TimeCreated "
         "SystemTime=\"2013-08-11T00:33:42Z\" />\r\n    <Computer> SRV01 </Computer>\r\n  "
         "</System>\r\n</Event>\r\n",
         true},
        {"a prefixed name", boot("<e:Computer>SRV01</e:Computer>"), false},
        {"an entity in the name", boot("<Computer>S&amp;R</Computer>"), false},
        {"a comment", boot("<!-- <Computer>X</Computer> --><Computer>SRV01</Computer>"), false},
        {"no computer", boot(""), false},
        {"an empty channel", boot("<Channel/><Computer>SRV01</Computer>"), false},
        {"cut short",
         head + "<System><EventID>6005</EventID>" + time + "<Computer>SRV01</Computer></System>",
         false},
        {"no time",
         head + "<System><EventID>6005</EventID><Computer>SRV01</Computer></System></Event>",
         false},
    };
    for (const auto& [what, xml, read] : cases) {
        SCOPED_TRACE(what);
        const std::optional<RecordFacts> facts = ReadRecordFacts(xml);
        ASSERT_EQ(facts.has_value(), read);
        if (facts) {  // what it reads is what the full parse reads
            const std::optional<EventRecord> record = ParseEventXml(xml);
            ASSERT_TRUE(record);
            EXPECT_EQ(std::tie(facts->computer, facts->channel, facts->eventId, facts->timeCreated,
                               facts->recordId),
                      std::tie(record->computer, record->channel, record->eventId,
                               record->timeCreated, record->recordId));
        }
    }
}

TEST(CollectorQuery, SelectsEachLogsEventsByTheLogTheyName) {
    // The filters of the logs' own queries, unchanged, each for the records of its log.
    const auto filter = [](const LogQuery& query) {
        const std::string_view xpath = query.xpath;
        EXPECT_TRUE(xpath.starts_with("*[System[") && xpath.ends_with("]]")) << xpath;
        return std::string(xpath.substr(9, xpath.size() - 11));
    };
    EXPECT_EQ(CollectorQuery("ForwardedEvents").xpath,
              "*[System[(Channel='System' and " + filter(SystemLogQuery()) +
                  ") or (Channel='Application' and " + filter(ApplicationLogQuery()) + ")]]");
    // Every event the queries select gets the full parse.
    std::size_t ids = 0;
    for (const std::string& xpath : {SystemLogQuery().xpath, ApplicationLogQuery().xpath}) {
        for (auto at = xpath.find("EventID="); at != std::string::npos;
             at = xpath.find("EventID=", at + 1), ++ids) {
            const unsigned id = static_cast<unsigned>(std::stoul(xpath.substr(at + 8)));
            EXPECT_TRUE(MayBeReportEvent(id)) << id;
        }
    }
    EXPECT_EQ(ids, 12u);  // 41, 104, 1001, 1074, 6005, 6006, 6008, 6009, 6011, 6013; 1000, 1002
}

}  // namespace
}  // namespace uptime
