// What logged events mean for the report: the sources and forms the report tests do not show.
#include <gtest/gtest.h>

#include <cctype>

#include "uptime/event_xml.h"
#include "uptime/recorded_events.h"
#include "uptime/system_events.h"

namespace uptime {
namespace {

using test::RecordedLog;
using test::Utc;

std::string One(const RecordedLog& log) {
    return log.records().front();
}

std::string Record(const std::string& provider, unsigned id, const std::string& data) {
    return "<Event><System>" + provider + "<EventID>" + std::to_string(id) +
           "</EventID><TimeCreated SystemTime='2013-03-01T06:00:00.000Z'/></System><EventData>" +
           data + "</EventData></Event>";
}

struct Case {
    const char* what;
    std::string xml;
    std::optional<EventKind> kind;  // none: not a record of ours
    const char* detail = nullptr;   // none: not looked at
};

std::vector<Case> Cases() {
    const std::string local = test::SystemTimeHex(Utc("2013-08-11T01:30:17Z"));
    std::string monthThirteen = local + local;
    monthThirteen.replace(32 + 4, 2, "0D");
    const std::string eventLog = "<Provider Name='EventLog'/>";
    return {
        {"6008 with month 13", Record(eventLog, 6008, "<Binary>" + monthThirteen + "</Binary>"),
         EventKind::UndatedUnexpectedShutdown, "the last time the system ran is not recorded"},
        // Windows Server 2003: the source in capitals, the data without names.
        {"power off",
         Record("<Provider Name='USER32'/>", 1074,
                "<Data>winlogon.exe</Data><Data>SRV02</Data><Data>No title for this reason could "
                "be found</Data><Data>0x500ff</Data><Data>power off</Data><Data>moving "
                "racks</Data><Data>CONTOSO\\jdoe</Data>"),
         EventKind::ShutdownRequest,
         "by CONTOSO\\jdoe via winlogon.exe: No title for this reason could be found (moving "
         "racks)"},
        // A type in another language cannot be told apart, so it is kept.
        {"localized request",
         Record("<Provider Name='User32'/>", 1074,
                "<Data>C:\\Windows\\system32\\shutdown.exe</Data><Data>SRV03</Data><Data>Andere "
                "(Geplant)</Data><Data>0x80000000</Data><Data>Neustart</Data><Data></Data>"
                "<Data>SRV03\\admin</Data>"),
         EventKind::ShutdownRequest,
         "Neustart by SRV03\\admin via C:\\Windows\\system32\\shutdown.exe: Andere (Geplant)"},
        {"power loss with a bugcheck", One(RecordedLog().PowerLoss("2013-02-05T09:00:05Z", 159)),
         EventKind::PowerLoss, "rebooted without a clean shutdown, bugcheck 0x9f"},
        // Windows XP's source for the same event.
        {"Save Dump",
         Record("<Provider Name='Save Dump'/>", 1001,
                "<Data>0x1000007e (0xc0000005, 0xf7a4a7c4, 0xf7ae3c54, 0xf7ae3950)</Data>"
                "<Data>C:\\WINDOWS\\Minidump\\Mini081113-01.dmp</Data>"),
         EventKind::Bluescreen, "Stop 0x1000007e, dump C:\\WINDOWS\\Minidump\\Mini081113-01.dmp"},
        {"Application log cleared",
         One(RecordedLog().LogCleared("2013-03-01T05:59:00Z", "Application")),
         EventKind::ApplicationLogCleared},
        // The same numbers from other sources: Winlogon's 6005 and 6006 are about slow
        // notification subscribers, not boots.
        {"Winlogon 6005",
         Record("<Provider Name='Microsoft-Windows-Winlogon' Guid='{DBE9B383-7CF3-4331-91CC-"
                "A3CB16A3B538}'/>",
                6005, "<Data Name='SubscriberName'>GPClient</Data>"),
         {}},
        {"Winlogon 6006",
         Record("<Provider Name='Microsoft-Windows-Winlogon'/>", 6006, "<Data>GPClient</Data>"),
         {}},
        {"Kernel-Power 42",
         Record("<Provider Name='Microsoft-Windows-Kernel-Power'/>", 42, ""),
         {}},
        {"EventLog 6013", Record(eventLog, 6013, "<Data>60</Data>"), {}},
    };
}

TEST(EventClassification, EachRecordMeansWhatTheReportShows) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.what);
        const auto record = ParseEventXml(c.xml);
        ASSERT_TRUE(record) << c.xml;
        const auto event = Classify(*record);
        ASSERT_EQ(event.has_value(), c.kind.has_value());
        if (!event) {
            continue;
        }
        EXPECT_EQ(event->kind, *c.kind);
        if (c.detail != nullptr) {
            EXPECT_EQ(event->detail, c.detail);
        }
    }
}

TEST(EventClassification, TheQueriesAskForEveryNumberClassified) {
    // A number the filter leaves out would never reach the report.
    const auto asks = [](const LogQuery& query, const std::string& id) {
        const std::string term = "EventID=" + id;
        const std::size_t at = query.xpath.find(term);
        const std::size_t end = at + term.size();
        return at != std::string::npos &&
               (end == query.xpath.size() ||
                !std::isdigit(static_cast<unsigned char>(query.xpath[end])));
    };
    for (const char* id : {"41", "104", "1001", "1074", "6005", "6006", "6008", "6009"}) {
        EXPECT_TRUE(asks(SystemLogQuery(), id)) << id;
    }
    EXPECT_FALSE(asks(SystemLogQuery(), "600")) << "the check itself must tell numbers apart";
    EXPECT_EQ(SystemLogQuery().channel, "System");
    EXPECT_TRUE(asks(ApplicationLogQuery(), "1000"));
    EXPECT_TRUE(asks(ApplicationLogQuery(), "1002"));
    EXPECT_EQ(ApplicationLogQuery().channel, "Application");
}

}  // namespace
}  // namespace uptime
